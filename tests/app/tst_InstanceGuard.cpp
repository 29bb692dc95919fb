#include "InstanceGuard.h"
#include "TestEnvironment.h"

#include <QProcess>

#include <chrono>
#include <cstdio>
#include <signal.h>
#include <thread>

namespace {
const QString kKey = QStringLiteral("__ZOCUT_TEST_INSTANCE__");

// The other instance: holds the guard until it is killed.
int holdGuard()
{
    InstanceGuard guard(kKey);
    std::printf(guard.acquire() ? "held\n" : "refused\n");
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
} // namespace

class tst_InstanceGuard : public QObject
{
    Q_OBJECT
private slots:
    void secondGuardRefusedUntilReleased();
    void otherProcessHoldsUntilKilled();
    void noFolderForTheLockGoesOn();
};

void tst_InstanceGuard::secondGuardRefusedUntilReleased()
{
    {
        InstanceGuard first(kKey);
        QVERIFY(first.acquire() && first.isHeld());
        InstanceGuard second(kKey);
        QVERIFY(!second.acquire() && !second.isHeld());
    }
    InstanceGuard third(kKey);
    QVERIFY(third.acquire());
}

void tst_InstanceGuard::otherProcessHoldsUntilKilled()
{
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), { "--hold" });
    QVERIFY(other.waitForStarted());
    QVERIFY(other.waitForReadyRead(20000));
    QCOMPARE(other.readAll(), QByteArray("held\n"));
    {
        InstanceGuard guard(kKey);
        QVERIFY(!guard.acquire());
    }
    // Killed without a chance to clean up: its lock file stays behind.
    ::kill(pid_t(other.processId()), SIGKILL);
    QVERIFY(other.waitForFinished());
    QVERIFY(QFile::exists(InstanceGuard::lockFilePathFor(kKey)));
    InstanceGuard guard(kKey);
    QVERIFY(guard.acquire());
}

void tst_InstanceGuard::noFolderForTheLockGoesOn()
{
    InstanceGuard guard(QStringLiteral("no/such/folder"));
    QVERIFY(guard.acquire());
    QVERIFY(!guard.isHeld());
}

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--hold") == 0)
        return holdGuard();
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    tst_InstanceGuard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_InstanceGuard.moc"
