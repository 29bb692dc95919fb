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
    void twoThreadsAtOnce();
};

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
