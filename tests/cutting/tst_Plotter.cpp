#include "AbstractPlotter.h"
#include "DeviceRecord.h"
#include "FilePlotter.h"
#include "PlotterThread.h"
#include "SerialPlotter.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QJsonObject>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {
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
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            device = QString::fromLocal8Bit(name);
    }
    ~Terminal()
    {
        closeMaster();
        if (slave >= 0)
            ::close(slave);
    }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    // Everything that arrives until size bytes are in or nothing comes for a while.
    QByteArray read(qint64 size)
    {
        QByteArray received;
        char buffer[8192];
        while (received.size() < size) {
            pollfd far { master, POLLIN, 0 };
            if (::poll(&far, 1, 10000) <= 0)
                break;
            const ssize_t got = ::read(master, buffer, sizeof buffer);
            if (got <= 0)
                break;
            received.append(buffer, int(got));
        }
        return received;
    }
};

// What a driver reports, received on the test's thread as a dialog would.
struct Reports : QObject
{
    QList<bool> finished;
    QList<int> progress;
    QList<QPair<QString, QColor>> status;
    explicit Reports(AbstractPlotter* plotter)
    {
        connect(plotter, &AbstractPlotter::finished, this, [this](bool ok) { finished << ok; });
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
