#include "AbstractService.h"
#include "AssertionError.h"
#include "CGlobalConfig.h"
#include "HelmFrame.h"
#include "InterfaceLocale.h"
#include "NestingStandInServer.h"
#include "NestingTestPieces.h"
#include "OnlineNester.h"
#include "PlacementAutomatic.h"
#include "TestEnvironment.h"

#include <QSettings>
#include <QTcpSocket>

using namespace Vantor::Placement;
using Fault = standin::NestingStandInServer::Fault;

class tst_OnlineNester : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void placeOnline();
    void fail_data();
    void fail();
    void serverStopsMidJob();
    void serverRefusesBadFrames();

private:
    void pointAt(int port);
    standin::NestingStandInServer m_server;
};

void tst_OnlineNester::init()
{
    QVERIFY(m_server.start());
    m_server.setFault(Fault::None);
    pointAt(m_server.port());
    QSettings().setValue(QStringLiteral("hpgl/NestingAccount"), QStringLiteral("nesting@example.com:482915"));
    QSettings().setValue(QStringLiteral("hpgl/NestingInterval"), 0.1);
    QSettings().setValue(QStringLiteral("hpgl/NestingMaxJob"), 1);
}

void tst_OnlineNester::pointAt(int port)
{
    QSettings().setValue(QStringLiteral("hpgl/NestingServer"), QStringLiteral("127.0.0.1:%1").arg(port));
}

// The server places as the engine does here, after the keep-alive.
void tst_OnlineNester::placeOnline()
{
    const QVector<PieceInfo> pieces = randomPieces(20);
    const PlacementSettings settings { 200, 1, 4 };
    OnlineNester nester;
    QSignalSpy started(&nester, &OnlineNester::jobStarted);
    QSignalSpy finished(&nester, &OnlineNester::finished);
    nester.start(QStringLiteral("door"), pieces, settings);
    QTRY_VERIFY_WITH_TIMEOUT(!nester.isRunning(), 60000);
    QCOMPARE(started.count(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_server.requestCount(g_heartbeat), 1);

    PlacementAutomatic engine;
    QVERIFY(engine.start(pieces, settings));
    engine.run();
    const auto online = finished.first().first().value<QVector<PlacementInfo>>();
    QCOMPARE(online.size(), pieces.size());
    for (int i = 0; i < online.size(); ++i) {
        const PlacementInfo local = engine.placements().at(i);
        QCOMPARE(online[i].id, local.id);
        QCOMPARE(online[i].angle, local.angle);
        QCOMPARE(online[i].offset, local.offset);
    }
    QCOMPARE(finished.first().at(1).toDouble(), engine.rollLength());
}

void tst_OnlineNester::fail_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("silent") << int(Fault::Silent) << ""
                            << ""
                            << "The nesting server did not answer in time.";
    QTest::newRow("garbage") << int(Fault::Garbage) << ""
                             << ""
                             << "The nesting server sent a reply that cannot be read.";
    QTest::newRow("oversized") << int(Fault::Oversized) << ""
                               << ""
                               << "The nesting server sent a frame that is too large.";
    QTest::newRow("wrong password") << int(Fault::None) << "NestingAccount"
                                    << "nesting@example.com:123"
                                    << "Wrong account or password";
    QTest::newRow("no port") << int(Fault::None) << "NestingServer"
                             << "127.0.0.1"
                             << "The nesting server address \"127.0.0.1\" is not valid.";
    QTest::newRow("down") << int(Fault::None) << "down"
                          << ""
                          << "The nesting server refused the connection.";
    QTest::newRow("one job already running") << int(Fault::Stalled) << "busy"
                                             << ""
                                             << "At most 1 nesting jobs may run at once; wait until one has finished.";
    // The server words it with a point; the user reads the numbers as
    // the interface language writes them.
    QTest::newRow("piece wider than the roll, in German")
        << int(Fault::None) << "wide"
        << "ger"
        << "The piece of 100,0 × 50,0 mm at (10,0, 10,0) is wider than the roll.";
}

// Each failure ends the run with a plain message and nothing placed.
void tst_OnlineNester::fail()
{
    QFETCH(int, fault);
    QFETCH(QString, setting);
    QFETCH(QString, value);
    QFETCH(QString, message);
    m_server.setFault(Fault(fault));
    OnlineNester busy;
    if (setting == QLatin1String("busy")) {
        QSignalSpy started(&busy, &OnlineNester::jobStarted);
        busy.start(QStringLiteral("first"), randomPieces(2), PlacementSettings());
        QTRY_COMPARE(started.count(), 1);
    } else if (setting == QLatin1String("down")) {
        m_server.stop();
    } else if (!setting.isEmpty() && setting != QLatin1String("wide")) {
        QSettings().setValue(QStringLiteral("hpgl/") + setting, value);
    }
    QVector<PieceInfo> pieces = randomPieces(2);
    PlacementSettings settings;
    if (setting == QLatin1String("wide")) {
        QLocale::setDefault(InterfaceLocale::forLanguage(value));
        pieces = { { "wide", { { QPolygonF(QRectF(10, 10, 100, 50)) } } } };
        settings.rollWidth = 40;
    }
    OnlineNester nester;
    // Only silence needs to wait; others answer, however slowly a busy
    // machine lets them.
    if (Fault(fault) == Fault::Silent)
        nester.setTimeout(300);
    QSignalSpy failed(&nester, &OnlineNester::failed);
    QSignalSpy finished(&nester, &OnlineNester::finished);
    nester.start(QStringLiteral("door"), pieces, settings);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 20000);
    QLocale::setDefault(InterfaceLocale::forLanguage("en"));
    QCOMPARE(failed.first().first().toString(), message);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!nester.isRunning());
}

void tst_OnlineNester::serverStopsMidJob()
{
    m_server.setFault(Fault::Stalled);
    OnlineNester nester;
    QSignalSpy started(&nester, &OnlineNester::jobStarted);
    QSignalSpy failed(&nester, &OnlineNester::failed);
    nester.start(QStringLiteral("door"), randomPieces(2), PlacementSettings());
    QTRY_COMPARE(started.count(), 1);
    QCOMPARE(started.first().first().toString(), nester.jobId());
    m_server.stop();
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 20000);
    QCOMPARE(failed.first().first().toString(), QStringLiteral("The nesting server closed the connection."));
}

// What a client sends wrong is answered as such or ends its connection;
// a request without a connection is a fault of the caller.
void tst_OnlineNester::serverRefusesBadFrames()
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(m_server.port()));
    QVERIFY(socket.waitForConnected());
    socket.write(HelmFrame::frame("helm://submit\nnot json"));
    QTRY_VERIFY(socket.bytesAvailable() > 4);
    QVERIFY(socket.readAll().mid(4).startsWith("_err://helm/400/"));
    socket.write(HelmFrame::header(HelmFrame::kMaximumSize + 1));
    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);

    AbstractService service;
    QVERIFY_EXCEPTION_THROWN(service.request(CommandParameter(QStringLiteral("jobs"))), HelmSystem::AssertionError);
}

ZOCUT_TEST_MAIN(tst_OnlineNester)
#include "tst_OnlineNester.moc"
