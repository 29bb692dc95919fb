#include "ParallelLoop.h"
#include "TestEnvironment.h"

#include <atomic>
#include <dlfcn.h>
#include <thread>
#include <vector>

// Every loop's end that lets the threads go passes here, and says whether a
// loop of another thread was inside its parallel region then.
namespace {
std::atomic<bool> g_holding { false };
std::atomic<int> g_pauses { 0 };
std::atomic<int> g_pausesWhileHeld { 0 };
} // namespace

extern "C" int omp_pause_resource_all(omp_pause_resource_t kind) noexcept
{
    static const auto runtime
        = reinterpret_cast<int (*)(omp_pause_resource_t)>(::dlsym(RTLD_NEXT, "omp_pause_resource_all"));
    ++g_pauses;
    if (g_holding)
        ++g_pausesWhileHeld;
    return runtime(kind);
}

namespace {
// Loops of every size on this thread; each iteration runs once.
bool loopsRunWhole(int loops)
{
    for (int loop = 0; loop < loops; ++loop) {
        std::vector<int> hits(size_t(1 + loop % 7 * 300), 0);
        ParallelLoop::run(int(hits.size()), loop % 3, [&hits](int i) { hits[size_t(i)] += 1; });
        if (std::count(hits.begin(), hits.end(), 1) != int(hits.size()))
            return false;
    }
    return true;
}
} // namespace

class tst_ParallelLoop : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { ParallelLoop::forceThreads(TestEnvironment::kLoopThreads); }
    void threadsFollowWhatTheMachineRuns_data();
    void threadsFollowWhatTheMachineRuns();
    void machineAndEnvironmentAreRead();
    void twoThreadsAtOnce();
};

void tst_ParallelLoop::threadsFollowWhatTheMachineRuns_data()
{
    QTest::addColumn<QByteArray>("loadLine");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("threads");
    const QByteArray idle = "0.00 0.00 0.00 1/300 1";
    QTest::newRow("idle: every core") << idle << 8 << 0 << 8;
    QTest::newRow("OMP_NUM_THREADS=2 caps") << idle << 2 << 0 << 2;
    QTest::newRow("a request below the cores") << idle << 8 << 2 << 2;
    QTest::newRow("half the cores taken") << QByteArray("4.00 4.00 4.00 5/300 9") << 8 << 0 << 4;
    QTest::newRow("more taken than there are") << QByteArray("12.0 12.0 12.0 13/300 9") << 8 << 0 << 1;
    QTest::newRow("a request on a full machine") << QByteArray("12.0 12.0 12.0 13/300 9") << 8 << 4 << 1;
    QTest::newRow("an unreadable line") << QByteArray("0.00") << 8 << 0 << 8;
}

// Threads go only to cores that other work leaves free, on 8 cores; a
// machine without one runs the loop on the caller alone.
void tst_ParallelLoop::threadsFollowWhatTheMachineRuns()
{
    QFETCH(QByteArray, loadLine);
    QFETCH(int, allowed);
    QFETCH(int, requested);
    QFETCH(int, threads);
    QCOMPARE(
        ParallelLoop::threadCount(requested, 8, allowed, ParallelLoop::othersRunning(loadLine.constData())), threads);
}

// Unforced, the loops read the cores and OMP_NUM_THREADS of this machine;
// one thread runs the loop on its caller, with no team to start or let go.
void tst_ParallelLoop::machineAndEnvironmentAreRead()
{
    ParallelLoop::forceThreads(0);
    const int allowed = omp_get_max_threads();
    omp_set_num_threads(2);
    const int capped = ParallelLoop::threadCount(0);
    omp_set_num_threads(allowed);
    QVERIFY(capped >= 1 && capped <= 2);
    QVERIFY(ParallelLoop::threadCount(0) <= ParallelLoop::usableCores());

    ParallelLoop::forceThreads(1);
    const int pausesBefore = g_pauses;
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<char> onCaller(1000, 0);
    ParallelLoop::run(int(onCaller.size()), 0,
        [&](int i) { onCaller[std::size_t(i)] = std::this_thread::get_id() == caller ? 1 : 0; });
    QCOMPARE(std::count(onCaller.begin(), onCaller.end(), 1), std::ptrdiff_t(onCaller.size()));
    QCOMPARE(g_pauses.load(), pausesBefore);
}

// The cut dialog sums the consumed area on a thread of its own while the
// conversion runs: loops of three threads at once, one of them held inside
// its region until the others are done. Only the last loop to end lets the
// threads go.
void tst_ParallelLoop::twoThreadsAtOnce()
{
    std::atomic<bool> othersDone { false };
    std::thread holder([&othersDone] {
        ParallelLoop::run(4, 2, [&othersDone](int i) {
            if (i != 0)
                return;
            g_holding = true;
            while (!othersDone)
                std::this_thread::yield();
            g_holding = false;
        });
    });
    while (!g_holding)
        std::this_thread::yield();
    bool otherWhole = false;
    std::thread other([&otherWhole] { otherWhole = loopsRunWhole(200); });
    const bool thisWhole = loopsRunWhole(200);
    other.join();
    othersDone = true;
    holder.join();
    QVERIFY(thisWhole && otherWhole);
    QCOMPARE(g_pausesWhileHeld.load(), 0);
    QVERIFY(g_pauses > 0);
}

ZOCUT_TEST_MAIN(tst_ParallelLoop)
#include "tst_ParallelLoop.moc"
