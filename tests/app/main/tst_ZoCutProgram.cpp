// Runs the real program on a display of its own (Xvfb) against the stand-in,
// has it sign in, open a template and reopen a saved version, and keeps a
// screenshot of the result.

#include "LogHandler.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QSet>

#include <memory>
#include <signal.h>

namespace {
const int kStartMs = 120000;
} // namespace

class tst_ZoCutProgram : public QObject
{
    Q_OBJECT
public:
    explicit tst_ZoCutProgram(StandInSession& session)
        : m_session(session)
    {
    }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void signInAndOpenDesigns();
    void secondInstanceRefused();
    void killedInstanceDoesNotLockOut();

private:
    std::unique_ptr<QProcess> startProgram(const QString& driver);
    static QString log();
    static QString steps();
    static bool waitForLog(const QString& line, int timeoutMs);
    static void stop(QProcess* program);

    StandInSession& m_session;
    std::unique_ptr<QProcess> m_first;
};

void tst_ZoCutProgram::initTestCase()
{
    QVERIFY(m_session.isRunning());
    QVERIFY2(QFile::exists(ZOCUT_PROGRAM), ZOCUT_PROGRAM);
    QVERIFY2(QGuiApplication::platformName() == "xcb", "runs under xvfb-run with QT_QPA_PLATFORM=xcb");
}

void tst_ZoCutProgram::cleanupTestCase()
{
    stop(m_first.get());
}

std::unique_ptr<QProcess> tst_ZoCutProgram::startProgram(const QString& driver)
{
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZOCUT_PAGE_DRIVER", QStringLiteral(ZOCUT_DRIVERS "/") + driver);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // Leaks of the display libraries are not what this run is about.
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");
    program->setProcessEnvironment(environment);
    program->setProcessChannelMode(QProcess::ForwardedChannels);
    program->start(ZOCUT_PROGRAM, QStringList());
    return program;
}

// The lines of the program and its driver that tell what happened.
QString tst_ZoCutProgram::steps()
{
    QStringList lines;
    for (const QString& line : log().split('\n')) {
        if (line.contains("driver: ") || line.contains("prompt ") || line.contains("Warning: "))
            lines << line.left(160);
    }
    return lines.join('\n');
}

QString tst_ZoCutProgram::log()
{
    QFile file(currentLogFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool tst_ZoCutProgram::waitForLog(const QString& line, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (log().contains(line))
            return true;
        if (log().contains("driver: gave up"))
            return false;
        QTest::qWait(200);
    }
    return false;
}

void tst_ZoCutProgram::stop(QProcess* program)
{
    if (!program || program->state() == QProcess::NotRunning)
        return;
    program->kill();
    program->waitForFinished(10000);
}

void tst_ZoCutProgram::signInAndOpenDesigns()
{
    m_first = startProgram("driver.qml");
    QVERIFY(m_first->waitForStarted(10000));
    QVERIFY2(waitForLog("driver: sign-in page shown", kStartMs), qPrintable(steps()));
    QVERIFY2(waitForLog("driver: signed in", 30000), qPrintable(steps()));
    QVERIFY2(waitForLog("driver: opened 奥迪 A4L 2020 豪华型 左前门", 60000), qPrintable(steps()));

    // The package came from the design host, after the view was counted.
    QCOMPARE(m_session.server().requestCount("/api/user/loginNewNNNN"), 1);
    QCOMPARE(m_session.server().requestCount("/api/template_new/view"), 1);
    QCOMPARE(m_session.server().requestCount("/designs/door_front_left.pdb"), 1);
    QVERIFY(!log().contains("[Warring]"));

    // Back through "Data Center" to the saved versions, whose newest one
    // opens in a tab of its own.
    QVERIFY2(waitForLog("driver: reopened 方案 45", 60000), qPrintable(steps()));
    QCOMPARE(m_session.server().requestCount("/api/template/myTemplateNew"), 1);

    QTest::qWait(500);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    QVERIFY(screen.save(ZOCUT_SCREENSHOT));
    // The editor face: the page buttons on the strip above the open design.
    QSet<QRgb> colours;
    for (int y = 0; y < screen.height(); y += 7) {
        for (int x = 0; x < screen.width(); x += 7)
            colours.insert(screen.pixel(x, y));
    }
    QVERIFY2(colours.size() > 8, "the screenshot shows a window");
}

void tst_ZoCutProgram::secondInstanceRefused()
{
    QVERIFY(m_first && m_first->state() == QProcess::Running);
    std::unique_ptr<QProcess> second = startProgram("driver_ready.qml");
    QVERIFY(second->waitForFinished(kStartMs));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(log().contains("[Warning] Application is running!"), qPrintable(steps()));
    QCOMPARE(m_first->state(), QProcess::Running);
}

void tst_ZoCutProgram::killedInstanceDoesNotLockOut()
{
    QVERIFY(m_first && m_first->state() == QProcess::Running);
    ::kill(pid_t(m_first->processId()), SIGKILL);
    QVERIFY(m_first->waitForFinished(10000));
    const int shown = log().count("driver: sign-in page shown");

    std::unique_ptr<QProcess> next = startProgram("driver_ready.qml");
    QVERIFY(next->waitForStarted(10000));
    QElapsedTimer clock;
    clock.start();
    while (log().count("driver: sign-in page shown") == shown && next->state() == QProcess::Running
        && clock.elapsed() < kStartMs)
        QTest::qWait(200);
    const bool running = next->state() == QProcess::Running;
    stop(next.get());
    QVERIFY2(running, qPrintable(steps()));
    QCOMPARE(log().count("driver: sign-in page shown"), shown + 1);
}

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
    QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
    StandInSession session;
    tst_ZoCutProgram test(session);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ZoCutProgram.moc"
