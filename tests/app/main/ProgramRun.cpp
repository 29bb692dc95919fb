#include "ProgramRun.h"

#include "LogHandler.h"
#include "XcbWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QScreen>
#include <QThread>

namespace {
const int kStartMs = 120000;
const int kReportMs = 60000;

// What a sanitizer or the C++ runtime writes as it stops the program.
const char* const kReports[] = { "ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
    "runtime error:", "pure virtual method called", "terminate called", "WARNING: ThreadSanitizer" };

} // namespace

void ProgramRun::pause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

ProgramRun::ProgramRun(const QString& folder)
    : m_folder(folder)
    , m_outputPath(QDir(folder).filePath(QStringLiteral("program-output.txt")))
{
}

ProgramRun::~ProgramRun()
{
    for (QProcess* process : { &m_program, &m_windowManager }) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(10000);
        }
    }
}

bool ProgramRun::start()
{
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
    QElapsedTimer clock;
    clock.start();
    while (m_windowManager.waitForStarted(10000) && !XcbWindows::hasWindowManager() && clock.elapsed() < kStartMs)
        pause(100);
    if (!XcbWindows::hasWindowManager()) {
        fail(QStringLiteral("openbox did not take charge of the display"));
        return false;
    }
    const QString name = QDir(m_folder).filePath(QStringLiteral("channel"));
    if (!m_server.listen(name)) {
        fail(QStringLiteral("no channel: ") + m_server.errorString());
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZOCUT_PAGE_DRIVER", QStringLiteral(ZOCUT_DRIVERS "/remote.qml"));
    environment.insert("ZOCUT_DRIVER_CHANNEL", name);
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // Leaks of the display libraries are not what this run is about; an
    // abort ("pure virtual method called") gets its stack printed too.
    environment.insert("ASAN_OPTIONS", "detect_leaks=0:handle_abort=1");
    m_program.setProcessEnvironment(environment);
    m_program.setWorkingDirectory(m_folder);
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    m_program.setStandardOutputFile(m_outputPath);
    m_program.start(QStringLiteral(ZOCUT_PROGRAM), QStringList());
    if (!m_program.waitForStarted(10000)) {
        fail(QStringLiteral("the program did not start"));
        return false;
    }
    clock.start();
    while (!m_server.hasPendingConnections() && trouble().isEmpty()) {
        if (clock.elapsed() > kStartMs)
            fail(QStringLiteral("the driver did not call within %1 s").arg(kStartMs / 1000));
        m_server.waitForNewConnection(100);
    }
    m_channel = m_server.nextPendingConnection();
    return m_channel && trouble().isEmpty();
}

bool ProgramRun::signIn(const QString& account, const QString& password, bool openTemplate)
{
    const QVariantMap reply = ask(QStringLiteral("signIn"),
        { { "account", account }, { "password", password }, { "template", openTemplate } }, kStartMs);
    return !reply.isEmpty() && waitForMaximised();
}

// The window manager maximises the window: the canvas spans most of the
// screen and keeps its place.
bool ProgramRun::waitForMaximised()
{
    const int screenWidth = QGuiApplication::primaryScreen()->size().width();
    QString last;
    QElapsedTimer clock;
    clock.start();
    while (trouble().isEmpty() && clock.elapsed() < kStartMs) {
        const QString canvas = ask(QStringLiteral("layout")).value(QStringLiteral("canvas")).toString();
        if (canvas == last && canvas.section(QLatin1Char(' '), 2, 2).toInt() > screenWidth * 3 / 4)
            return true;
        last = canvas;
        pause(300);
    }
    fail(QStringLiteral("the window did not fill the screen; its canvas is at ") + last);
    return false;
}

QVariantMap ProgramRun::ask(const QString& question, QVariantMap fields, int timeoutMs)
{
    if (!m_channel || !trouble().isEmpty())
        return {};
    const int id = m_nextId++;
    fields.insert(QStringLiteral("id"), id);
    fields.insert(QStringLiteral("do"), question);
    m_channel->write(QJsonDocument::fromVariant(fields).toJson(QJsonDocument::Compact) + '\n');
    m_channel->flush();
    QElapsedTimer clock;
    clock.start();
    while (trouble().isEmpty()) {
        while (m_channel->canReadLine()) {
            const QVariantMap reply = QJsonDocument::fromJson(m_channel->readLine()).toVariant().toMap();
            if (reply.value(QStringLiteral("id")).toInt() == id)
                return reply;
        }
        if (clock.elapsed() > timeoutMs) {
            fail(QStringLiteral("the program did not answer \"%1\" for %2 s").arg(question).arg(timeoutMs / 1000));
            break;
        }
        if (!m_channel->waitForReadyRead(20))
            QCoreApplication::processEvents();
    }
    return {};
}

bool ProgramRun::settle()
{
    return !ask(QStringLiteral("ping")).isEmpty();
}

QString ProgramRun::trouble()
{
    if (!m_trouble.isEmpty())
        return m_trouble;
    // The program writes its output into the file itself: once it has
    // ended, all that it wrote as it went down is there.
    const bool ended = m_program.state() == QProcess::NotRunning;
    scanOutput();
    if (ended && m_trouble.isEmpty()) {
        fail(m_program.exitStatus() == QProcess::CrashExit
                ? QStringLiteral("the program crashed")
                : QStringLiteral("the program ended with exit code %1").arg(m_program.exitCode()));
    }
    if (m_channel && m_channel->state() != QLocalSocket::ConnectedState && m_trouble.isEmpty())
        fail(QStringLiteral("the driver hung up"));
    return m_trouble;
}

// Reads what came since the last look, from a little before it, so that a
// report cut in two by the last look is still seen whole.
void ProgramRun::scanOutput()
{
    QFile file(m_outputPath);
    if (!m_trouble.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() == m_scanned)
        return;
    file.seek(qMax<qint64>(0, m_scanned - 100));
    const QByteArray added = file.readAll();
    m_scanned = file.size();
    for (const char* report : kReports) {
        const int at = added.indexOf(report);
        if (at >= 0) {
            fail(QStringLiteral("the program reported: ") + QString::fromUtf8(added.mid(at).split('\n').first()));
            // The stacks follow the first line; the program ends once they
            // are written.
            m_program.waitForFinished(kReportMs);
            return;
        }
    }
}

namespace {
QString fileTail(const QString& path, int bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    file.seek(qMax<qint64>(0, file.size() - bytes));
    return QString::fromUtf8(file.readAll());
}
} // namespace

QString ProgramRun::ending() const
{
    return QStringLiteral("\nthe end of the program's log:\n") + fileTail(currentLogFilePath(), 4000)
        + QStringLiteral("\nthe end of the program's output:\n") + fileTail(m_outputPath, 40000);
}

void ProgramRun::fail(const QString& problem)
{
    if (m_trouble.isEmpty())
        m_trouble = problem;
}
