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
// What the machine runs besides the caller, as the loops are told.
std::atomic<int> g_othersRunning { 0 };
int othersRunning()
{
    return g_othersRunning;
}
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
    void init() { ParallelLoop::setRunningProbe(othersRunning); }
    void cleanup() { ParallelLoop::setRunningProbe(nullptr); }
    void threadsFollowWhatTheMachineRuns();
    void twoThreadsAtOnce();
};

// Threads go only to cores that other work leaves free; a machine without
// one runs the loop on the caller alone, with no team to start and wait for.
void tst_ParallelLoop::threadsFollowWhatTheMachineRuns()
{
    const int cores = ParallelLoop::usableCores();
    g_othersRunning = 0;
    QCOMPARE(ParallelLoop::threadCount(0), cores);
    QCOMPARE(ParallelLoop::threadCount(2), std::min(2, cores));
    g_othersRunning = cores / 2;
    QCOMPARE(ParallelLoop::threadCount(0), std::max(1, cores - cores / 2));
    g_othersRunning = cores * 3 / 2;
    QCOMPARE(ParallelLoop::threadCount(0), 1);
    QCOMPARE(ParallelLoop::threadCount(4), 1);

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
    if (ParallelLoop::usableCores() < 2)
        QSKIP("Loops on one core run on their caller alone");
    g_othersRunning = 0;
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
