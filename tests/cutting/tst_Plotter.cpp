#include "AbstractPlotter.h"
#include "DeviceRecord.h"
#include "FilePlotter.h"
#include "HpglJob.h"
#include "PlotterThread.h"
#include "SerialPlotter.h"
#include "TestEnvironment.h"
#include "TestHpgl.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QRandomGenerator>

#include <atomic>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

// Linux pseudo-terminals keep 8 data bits and no parity whatever they are
// told, and the C library then refuses such a setting. The terminals of this
// test keep the data bits and the parity given, as a serial line does, so
// that tcgetattr reads back what the driver set.
namespace {
const tcflag_t kKeptHere = CSIZE | PARENB;
std::mutex g_linesLock;
std::map<dev_t, tcflag_t> g_lines;

dev_t deviceOf(int descriptor)
{
    struct stat status
    {
    };
    return ::fstat(descriptor, &status) == 0 ? status.st_rdev : 0;
}

template <typename Function> Function systemCall(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int tcsetattr(int descriptor, int actions, const termios* line)
{
    static const auto system = systemCall<int (*)(int, int, const termios*)>("tcsetattr");
    termios given = *line;
    {
        std::lock_guard<std::mutex> guard(g_linesLock);
        const auto kept = g_lines.find(deviceOf(descriptor));
        if (kept != g_lines.end()) {
            kept->second = line->c_cflag & kKeptHere;
            given.c_cflag = (given.c_cflag & ~kKeptHere) | CS8;
        }
    }
    return system(descriptor, actions, &given);
}

extern "C" int tcgetattr(int descriptor, termios* line)
{
    static const auto system = systemCall<int (*)(int, termios*)>("tcgetattr");
    const int result = system(descriptor, line);
    std::lock_guard<std::mutex> guard(g_linesLock);
    const auto kept = g_lines.find(deviceOf(descriptor));
    if (result == 0 && kept != g_lines.end())
        line->c_cflag = (line->c_cflag & ~kKeptHere) | kept->second;
    return result;
}

// A driver waits for room on a full line in poll(). The waits on the line
// under watch are counted, and those that ended without room: that tells a
// test when the line is full for good (nobody reads it) and when the driver
// has had a look at it since it was stopped. (The line's own readiness does
// not tell: it reads as full too while the driver is inside a write.) The
// bytes the line took are counted too: a slowly read terminal makes room in
// bursts, which only the writer sees.
namespace {
std::atomic<dev_t> g_watchedLine { 0 };
std::atomic<int> g_linePolls { 0 };
std::atomic<int> g_lineTimeouts { 0 };
std::atomic<qint64> g_lineTook { 0 };
// The most asked of the line in one write: a line that reports no queue
// (as a terminal does) is offered the driver's queue limit at a time.
std::atomic<qint64> g_lineLargestWrite { 0 };
} // namespace

extern "C" int poll(pollfd* descriptors, nfds_t count, int timeoutMs)
{
    static const auto system = systemCall<int (*)(pollfd*, nfds_t, int)>("poll");
    const bool watched = count == 1 && timeoutMs > 0 && (descriptors->events & POLLOUT) && g_watchedLine != 0
        && deviceOf(descriptors->fd) == g_watchedLine;
    if (watched)
        ++g_linePolls;
    const int result = system(descriptors, count, timeoutMs);
    if (watched && result == 0)
        ++g_lineTimeouts;
    return result;
}

extern "C" ssize_t write(int descriptor, const void* data, size_t size)
{
    static const auto system = systemCall<ssize_t (*)(int, const void*, size_t)>("write");
    // Asked before the line has any of it: a reader of the far end that
    // sees a byte sees the size asked too.
    const bool watched = g_watchedLine != 0 && deviceOf(descriptor) == g_watchedLine;
    for (qint64 largest = g_lineLargestWrite;
         watched && qint64(size) > largest && !g_lineLargestWrite.compare_exchange_weak(largest, qint64(size));) { }
    const ssize_t result = system(descriptor, data, size);
    if (result > 0 && watched)
        g_lineTook += result;
    return result;
}

namespace {
// Sections of pen-down lists, some 500 KB: far more than a terminal holds.
QByteArray longJob()
{
    QList<QByteArray> sections;
    for (int i = 0; i < 10000; ++i)
        sections << "PU" + QByteArray::number(i * 40) + ",0;PD" + QByteArray::number(i * 40 + 1999) + ",123,"
                + QByteArray::number(i * 40) + ",98765," + QByteArray::number(i * 40) + ",0;";
    return HpglJob::frame(sections, DeviceRecord());
}

QByteArray jobData(int size)
{
    QByteArray data;
    for (int i = 0; data.size() < size; ++i)
        data += "PU" + QByteArray::number(i) + ",0;PD" + QByteArray::number(i) + ",100;";
    return data.left(size);
}

// A pseudo-terminal whose far end the test reads: the driver opens the
// device by its name as it would a serial plotter.
struct Terminal
{
    int master = -1;
    // Held open: the far end reads nothing while no one has the device open.
    int slave = -1;
    QString device;
    Terminal()
    {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        device = QString::fromLocal8Bit(name);
        std::lock_guard<std::mutex> guard(g_linesLock);
        g_lines[deviceOf(slave)] = CS8;
    }
    ~Terminal()
    {
        closeMaster();
        if (slave < 0)
            return;
        {
            std::lock_guard<std::mutex> guard(g_linesLock);
            g_lines.erase(deviceOf(slave));
        }
        ::close(slave);
    }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    // Everything that arrives until size bytes are in or nothing comes for a while.
    QByteArray read(qint64 size, int quietMs = 10000)
    {
        QByteArray received;
        char buffer[8192];
        while (received.size() < size) {
            pollfd far { master, POLLIN, 0 };
            if (::poll(&far, 1, quietMs) <= 0)
                break;
            const ssize_t got = ::read(master, buffer, size_t(std::min<qint64>(sizeof buffer, size - received.size())));
            if (got <= 0)
                break;
            received.append(buffer, int(got));
        }
        return received;
    }
    // The bytes the far end's line discipline holds unread: at most its
    // buffer of 4 KB less one.
    int unread() const
    {
        int count = 0;
        return ::ioctl(master, FIONREAD, &count) == 0 ? count : -1;
    }
    // What arrives until the job has ended.
    QByteArray drain(const QList<bool>& finished)
    {
        QByteArray received;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            const QByteArray more = read(1 << 20, 50);
            received += more;
            QCoreApplication::processEvents();
            if (more.isEmpty() && !finished.isEmpty())
                break;
        }
        return received;
    }
};

// What a driver reports, received on the test's thread as a dialog would.
struct Reports : QObject
{
    QList<bool> finished;
    QList<bool> stopped;
    QList<int> progress;
    QList<QPair<QString, QColor>> status;
    explicit Reports(AbstractPlotter* plotter)
    {
        connect(plotter, &AbstractPlotter::finished, this, [this](bool ok) { finished << ok; });
        connect(plotter, &AbstractPlotter::stopped, this, [this](bool taken) { stopped << taken; });
        connect(plotter, &AbstractPlotter::progress, this, [this](int percent) { progress << percent; });
        connect(plotter, &AbstractPlotter::status, this,
            [this](const QString& text, const QColor& color) { status << qMakePair(text, color); });
    }
};
} // namespace

class tst_Plotter : public QObject
{
    Q_OBJECT
private slots:
    void ptyReadsWhatFileGets();
    void lineSettings_data();
    void lineSettings();
    void stopLeavesWholeCommands();
    void stopOnASlowLine_data();
    void stopOnASlowLine();
    void destroyedWhileTheEndingWaits();
    void failures_data();
    void failures();
};

void tst_Plotter::ptyReadsWhatFileGets()
{
    const QByteArray data = jobData(100000);
    QTemporaryDir folder;
    auto* file = new FilePlotter(folder.filePath("job.plt"));
    file->setData(data);
    Reports fileReports(file);
    PlotterThread toFile(file);
    toFile.start();
    QTRY_COMPARE(fileReports.finished, QList<bool>({ true }));
    QCOMPARE(fileReports.progress.last(), 100);
    QCOMPARE(fileReports.status.last(), qMakePair(QString("Finished!"), QColor(Qt::green)));
    QFile written(folder.filePath("job.plt"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray fileBytes = written.readAll();

    Terminal terminal;
    QVERIFY(!terminal.device.isEmpty());
    auto* serial
        = new SerialPlotter(DeviceRecord(QJsonObject { { "port", terminal.device }, { "baud_rate", 115200 } }));
    serial->setData(data);
    Reports serialReports(serial);
    PlotterThread toSerial(serial);
    toSerial.start();
    QCOMPARE(terminal.read(data.size()), fileBytes);
    QTRY_COMPARE(serialReports.finished, QList<bool>({ true }));
}

void tst_Plotter::lineSettings_data()
{
    QTest::addColumn<QJsonObject>("line");
    QTest::addColumn<speed_t>("speed");
    QTest::addColumn<tcflag_t>("flags"); // of CSIZE, CSTOPB, PARENB, PARODD, CRTSCTS
    QTest::addColumn<qint64>("queue"); // bytes: a quarter of a second of the line, at least 1024
    QTest::newRow("9600 8N1") << QJsonObject { { "baud_rate", 9600 } } << speed_t(B9600) << tcflag_t(CS8)
                              << qint64(1024);
    QTest::newRow("19200 7E2, hardware flow")
        << QJsonObject { { "baud_rate", 19200 }, { "data_bits", 7 }, { "parity", "even" }, { "stop_bits", 2 },
               { "flow_control", "hardware" } }
        << speed_t(B19200) << tcflag_t(CS7 | PARENB | CSTOPB | CRTSCTS) << qint64(1024);
    QTest::newRow("115200 6O1") << QJsonObject { { "baud_rate", 115200 }, { "data_bits", 6 }, { "parity", "odd" },
        { "stop_bits", 1 } } << speed_t(B115200)
                                << tcflag_t(CS6 | PARENB | PARODD) << qint64(2880);
    QTest::newRow("5 data bits") << QJsonObject { { "data_bits", 5 } } << speed_t(B9600) << tcflag_t(CS5)
                                 << qint64(1024);
}

// Read back from the terminal while the job runs, and after it.
void tst_Plotter::lineSettings()
{
    QFETCH(QJsonObject, line);
    QFETCH(speed_t, speed);
    QFETCH(tcflag_t, flags);
    QFETCH(qint64, queue);
    Terminal terminal;
    line.insert("port", terminal.device);
    auto* serial = new SerialPlotter(DeviceRecord(line));
    serial->setData(jobData(1000000));
    Reports reports(serial);
    PlotterThread thread(serial);
    g_lineLargestWrite = 0;
    g_watchedLine = deviceOf(terminal.slave);
    thread.start();
    QVERIFY(!terminal.read(1).isEmpty());
    g_watchedLine = 0;
    QCOMPARE(g_lineLargestWrite.load(), queue);
    termios set {};
    QCOMPARE(::tcgetattr(terminal.slave, &set), 0);
    QCOMPARE(::cfgetospeed(&set), speed);
    QCOMPARE(set.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS), flags);
    serial->stop();
    terminal.drain(reports.finished);
    QCOMPARE(reports.finished, QList<bool>({ false }));
    // Kept once the port has closed, while the system sends what it holds.
    QCOMPARE(::tcgetattr(terminal.slave, &set), 0);
    QCOMPARE(::cfgetospeed(&set), speed);
}

// Stopped anywhere, a job leaves the plotter on a whole command with the
// knife up, and the next job's bytes begin with its own first command. The
// stop comes while the line is full, and the plotter reads again only once
// the driver has seen it: the ending has to wait for room, as it does on a
// real line.
void tst_Plotter::stopLeavesWholeCommands()
{
    const DeviceRecord device;
    const QByteArray closing = HpglJob::closing(device);
    const QByteArray job = longJob();
    const QByteArray next = HpglJob::frame({ "PU1,1;PD2,2;" }, device);
    QRandomGenerator random(36);
    for (int round = 0; round < 6; ++round) {
        Terminal terminal;
        auto* serial = new SerialPlotter(DeviceRecord(QJsonObject { { "port", terminal.device } }));
        serial->setData(job, closing);
        Reports reports(serial);
        PlotterThread thread(serial);
        thread.start();
        g_watchedLine = deviceOf(terminal.slave);
        QByteArray received = terminal.read(1 + random.bounded(job.size() / 8));
        const int timeouts = g_lineTimeouts;
        QTRY_VERIFY_WITH_TIMEOUT(g_lineTimeouts > timeouts, 60000);
        const int polls = g_linePolls;
        serial->stop();
        // The second wait for room from here on is the ending's, unless the
        // driver ended without one.
        QTRY_VERIFY_WITH_TIMEOUT(g_linePolls >= polls + 2 || !reports.finished.isEmpty(), 60000);
        g_watchedLine = 0;
        received += terminal.drain(reports.finished);
        QCOMPARE(reports.finished, QList<bool>({ false }));
        QVERIFY2(received.size() < job.size(), "stopped too late to tell");
        const QString fault = TestHpgl::stopFault(job, received, closing);
        QVERIFY2(fault.isEmpty(), qPrintable(QString("round %1: %2").arg(round).arg(fault)));

        auto* again = new SerialPlotter(DeviceRecord(QJsonObject { { "port", terminal.device } }));
        again->setData(next, closing);
        PlotterThread second(again);
        second.start();
        QCOMPARE(terminal.read(next.size()), next);
    }
}

// Stopped while the line is full, on a line whose far end reads slowly: the
// terminal makes room only in bursts of 2 to 3.5 KB, and the ending waits
// for the next one, 50 s away at 40 bytes a second, up to 5.6 s at 640 once
// the reader has read a while. A line that takes nothing at all is reported
// as a stop not taken.
void tst_Plotter::stopOnASlowLine_data()
{
    QTest::addColumn<int>("rate"); // bytes a second that the far end reads
    QTest::addColumn<int>("bursts"); // of room before the stop
    QTest::newRow("40 B/s") << 40 << 0;
    QTest::newRow("640 B/s") << 640 << 2;
    QTest::newRow("takes nothing") << 0 << 0;
}

void tst_Plotter::stopOnASlowLine()
{
    QFETCH(int, rate);
    QFETCH(int, bursts);
    const QByteArray job = longJob();
    const QByteArray closing = HpglJob::closing(DeviceRecord());
    Terminal terminal;
    auto* serial = new SerialPlotter(DeviceRecord(QJsonObject { { "port", terminal.device } }));
    serial->setData(job, closing);
    if (rate == 0)
        serial->setStopGraceMs(1000);
    Reports reports(serial);
    PlotterThread thread(serial);
    g_lineTook = 0;
    g_watchedLine = deviceOf(terminal.slave);
    const int timeouts = g_lineTimeouts;
    thread.start();
    QElapsedTimer clock;
    clock.start();
    QByteArray received;
    const auto readSlowly = [&] {
        received += terminal.read(clock.elapsed() * rate / 1000 - received.size(), 1);
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(readSlowly() && g_lineTimeouts > timeouts, 60000);
    if (rate == 0) {
        // The kernel hands what it holds on to the far end's buffer on a
        // worker of its own, which frees room for a short ending after the
        // line refused a write. Only once that buffer is full, and the line
        // refused a write since, does nothing more go in.
        QTRY_VERIFY_WITH_TIMEOUT(terminal.unread() >= 4095, 60000);
        const int full = g_lineTimeouts;
        QTRY_VERIFY_WITH_TIMEOUT(g_lineTimeouts > full, 60000);
    }
    for (int burst = 0; burst < bursts; ++burst) {
        const qint64 took = g_lineTook;
        int full = 0;
        QTRY_VERIFY_WITH_TIMEOUT(readSlowly() && (full = g_lineTimeouts, g_lineTook > took), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(readSlowly() && g_lineTimeouts > full, 60000);
    }
    serial->stop();
    QTRY_VERIFY_WITH_TIMEOUT(readSlowly() && !reports.finished.isEmpty(), 180000);
    g_watchedLine = 0;
    received += terminal.drain(reports.finished);
    QCOMPARE(reports.finished, QList<bool>({ false }));
    QCOMPARE(reports.stopped, QList<bool>({ rate > 0 }));
    QVERIFY2(received.size() < job.size(), "stopped too late to tell");
    // Bytes that the system took and the far end never read were lost on
    // the way; a wrong stream read whole was wrong when it was written.
    QVERIFY2(received.size() == g_lineTook,
        qPrintable(QString("the far end read %1 bytes of the %2 that the system took")
                       .arg(received.size())
                       .arg(g_lineTook.load())));
    if (rate > 0) {
        const QString fault = TestHpgl::stopFault(job, received, closing);
        QVERIFY2(fault.isEmpty(), qPrintable(fault + ", as the driver wrote it"));
        QCOMPARE(reports.status.last(), qMakePair(QString("Stopped"), QColor(Qt::black)));
    } else {
        QVERIFY(job.startsWith(received));
        QCOMPARE(reports.status.last(), qMakePair(AbstractPlotter::stopNotTakenText(), QColor(Qt::darkRed)));
    }
}

// The owner goes while a stopped job's ending waits for a line that takes
// nothing (its output suspended): the driver is abandoned at its next look
// at the line, not after the ending's two minutes.
void tst_Plotter::destroyedWhileTheEndingWaits()
{
    Terminal terminal;
    auto* serial = new SerialPlotter(DeviceRecord(QJsonObject { { "port", terminal.device } }));
    serial->setData(longJob());
    auto thread = std::make_unique<PlotterThread>(serial);
    g_watchedLine = deviceOf(terminal.slave);
    thread->start();
    QVERIFY(!terminal.read(1).isEmpty());
    QVERIFY(::tcflow(terminal.slave, TCOOFF) == 0);
    const int timeouts = g_lineTimeouts;
    QTRY_VERIFY_WITH_TIMEOUT(g_lineTimeouts > timeouts, 60000);
    serial->stop();
    // The second refusal from here on is the ending's.
    const int refused = g_lineTimeouts;
    QTRY_VERIFY_WITH_TIMEOUT(g_lineTimeouts >= refused + 2, 60000);
    g_watchedLine = 0;
    QElapsedTimer clock;
    clock.start();
    thread.reset();
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString("%1 ms").arg(clock.elapsed())));
}

void tst_Plotter::failures_data()
{
    QTest::addColumn<bool>("serial");
    QTest::addColumn<QString>("message");
    QTest::newRow("unwritable file") << false << "The plotter cannot be opened: ";
    QTest::newRow("device gone mid-job") << true << "Sending stopped: ";
}

void tst_Plotter::failures()
{
    QFETCH(bool, serial);
    QFETCH(QString, message);
    Terminal terminal;
    AbstractPlotter* plotter = serial
        ? static_cast<AbstractPlotter*>(new SerialPlotter(DeviceRecord(QJsonObject { { "port", terminal.device } })))
        : new FilePlotter("/nonexistent-folder/job.plt");
    plotter->setData(jobData(4000000));
    Reports reports(plotter);
    PlotterThread thread(plotter);
    thread.start();
    if (serial) {
        QVERIFY(!terminal.read(AbstractPlotter::kChunkSize).isEmpty());
        terminal.closeMaster();
    }
    QTRY_COMPARE_WITH_TIMEOUT(reports.finished, QList<bool>({ false }), 20000);
    QVERIFY2(reports.status.last().first.startsWith(message), qPrintable(reports.status.last().first));
    QCOMPARE(reports.status.last().second, QColor(Qt::darkRed));
}

ZOCUT_TEST_MAIN(tst_Plotter)

#include "tst_Plotter.moc"
