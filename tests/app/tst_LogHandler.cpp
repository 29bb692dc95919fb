#include "LogHandler.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

class tst_LogHandler : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fileNameAndFolder();
    void lineFormats_data();
    void lineFormats();
    void linesAppendAcrossRuns();
    void concurrentMessagesAreWhole();

private:
    QStringList logLines() const;
    QtMessageHandler m_testHandler = nullptr;
};

void tst_LogHandler::init()
{
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).removeRecursively();
    m_testHandler = qInstallMessageHandler(logMessageHandler);
}

// Give QtTest its own handler back, so that its checks of messages still work.
void tst_LogHandler::cleanup()
{
    qInstallMessageHandler(m_testHandler);
}

QStringList tst_LogHandler::logLines() const
{
    QFile file(currentLogFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The folder of a fresh profile does not exist yet; the first message makes it.
void tst_LogHandler::fileNameAndFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QVERIFY(folder.endsWith("/MORLData/MORLData"));
    QVERIFY(!QDir(folder).exists());
    qWarning("first");
    QVERIFY(QDir(folder).exists());
    const QString expectedName = QDate::currentDate().toString(Qt::TextDate) + ".log";
    QCOMPARE(QFileInfo(currentLogFilePath()).fileName(), expectedName);
    QCOMPARE(QFileInfo(currentLogFilePath()).absolutePath(), QDir(folder).absolutePath());
    QCOMPARE(logLines().size(), 1);
}

void tst_LogHandler::lineFormats_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("withContext");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    const auto row = [](const char* name, QtMsgType type, bool withContext, const QString& text, const QString& line) {
        QTest::newRow(name) << int(type) << withContext << text << line;
    };
    const QString at = " (%2plot.cpp:42, void plot%5())";
    row("debug", QtDebugMsg, true, "cut", "Debug: cut" + at);
    row("warning", QtWarningMsg, true, "cut", "Warning: cut" + at);
    row("critical", QtCriticalMsg, true, "cut", "Critical: cut" + at);
    row("fatal", QtFatalMsg, true, "cut", "Fatal: cut" + at);
    row("info", QtInfoMsg, true, "cut", "Info: cut" + at);
    row("percent sequences stay", QtDebugMsg, true, "100%1 done %3", "Debug: 100%1 done %3" + at);
    row("no context", QtWarningMsg, false, "no context", "Warning: no context (:0, )");
    row("text ends at NUL", QtDebugMsg, false, QString::fromUtf8("ab\0cd", 5), "Debug: ab (:0, )");
}

void tst_LogHandler::lineFormats()
{
    QFETCH(int, type);
    QFETCH(bool, withContext);
    QFETCH(QString, text);
    const QMessageLogContext context("%2plot.cpp", 42, "void plot%5()", "default");
    const QMessageLogContext none;
    // Call the handler directly: a real fatal message would end the process.
    logMessageHandler(QtMsgType(type), withContext ? context : none, text);
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 1);
    const QRegularExpressionMatch match
        = QRegularExpression("^(\\w{3} \\w{3} +\\d+ \\d\\d:\\d\\d:\\d\\d \\d{4}) (.*)$").match(lines.first());
    QVERIFY2(match.hasMatch(), qPrintable(lines.first()));
    const QDateTime stamp = QDateTime::fromString(match.captured(1), Qt::TextDate);
    QVERIFY(stamp.isValid() && qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 60);
    QTEST(match.captured(2), "line");
}

void tst_LogHandler::linesAppendAcrossRuns()
{
    logMessageHandler(QtDebugMsg, QMessageLogContext(), "one");
    qInstallMessageHandler(nullptr);
    qInstallMessageHandler(logMessageHandler);
    logMessageHandler(QtDebugMsg, QMessageLogContext(), QString::fromUtf8("zwei \xe4\xb8\xad"));
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).contains("Debug: one") && lines.at(1).contains(QString::fromUtf8("Debug: zwei \xe4\xb8\xad")));
}

void tst_LogHandler::concurrentMessagesAreWhole()
{
    const int threads = 4;
    const int perThread = 500;
    QList<QThread*> workers;
    for (int t = 0; t < threads; ++t) {
        workers << QThread::create([t] {
            for (int i = 0; i < perThread; ++i)
                qDebug("thread %d message %d with a longer text to widen the window", t, i);
        });
    }
    for (QThread* worker : workers)
        worker->start();
    for (QThread* worker : workers) {
        QVERIFY(worker->wait(120000));
        delete worker;
    }
    const QStringList lines = logLines();
    QCOMPARE(lines.size(), threads * perThread);
    const QRegularExpression form("Debug: thread (\\d) message (\\d+) with a longer text to widen the window \\(");
    QSet<QString> seen;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = form.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        seen.insert(match.captured(1) + '/' + match.captured(2));
    }
    QCOMPARE(seen.size(), threads * perThread);
}

ZOCUT_TEST_MAIN(tst_LogHandler)
#include "tst_LogHandler.moc"
