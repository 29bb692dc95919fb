#include "BenchCompare.h"
#include "BenchMain.h"
#include "BenchPieces.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGTreeDisposal.h"
#include "ParallelLoop.h"

#include <QElapsedTimer>
#include <QPainterPath>

#include <omp.h>
#include <polyclipping/clipper.hpp>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {
constexpr int kPieces = 2000;

// Processes that only spin, as other programs that take every core they
// get; gone with the object.
class BusyProcesses
{
public:
    explicit BusyProcesses(int count)
    {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                for (;;)
                    asm volatile("");
            }
            if (pid > 0)
                m_pids.push_back(pid);
        }
    }
    ~BusyProcesses()
    {
        for (pid_t pid : m_pids)
            kill(pid, SIGKILL);
        for (pid_t pid : m_pids)
            waitpid(pid, nullptr, 0);
    }

private:
    std::vector<pid_t> m_pids;
};

// One thread as OpenMP sees it: no loop starts a team.
class OneThread
{
public:
    OneThread()
        : m_levels(omp_get_max_active_levels())
        , m_threads(omp_get_max_threads())
    {
        omp_set_max_active_levels(0);
        omp_set_num_threads(1);
    }
    ~OneThread()
    {
        omp_set_max_active_levels(m_levels);
        omp_set_num_threads(m_threads);
    }

private:
    int m_levels;
    int m_threads;
};

struct Times
{
    std::vector<qint64> wall;
    std::vector<qint64> cpu;
    qint64 medianWall() const { return medianOf(wall); }
    qint64 medianCpu() const { return medianOf(cpu); }
};

// The drawings of the last round wait to be freed between events; that
// work would otherwise run during the next timing.
void timed(Times& times, const std::function<void()>& routine)
{
    CSVGTreeDisposal::flush();
    const qint64 cpuBefore = processCpuNs();
    QElapsedTimer timer;
    timer.start();
    routine();
    times.wall.push_back(timer.nsecsElapsed());
    times.cpu.push_back(processCpuNs() - cpuBefore);
}
} // namespace

class bench_busyMachine : public QObject
{
    Q_OBJECT
private slots:
    void mergeAndOffset();
};

// Merge and offset of 2,000 overlapping 64-gons with the thread count the
// program chooses, on one thread, and bare Clipper (union; one offset per
// ring), interleaved, first on the machine as it is and then with 1.5
// busy processes a core started by the benchmark. Wall and processor time
// (all threads of this process) as medians of the rounds, their ratios
// against their goals: the parallel loops pay on a busy
// machine, wall and processor time against one thread at most 1 and 1.5.
void bench_busyMachine::mergeAndOffset()
{
    const ClipperLib::Paths paths = scaledPolygons(kPieces);
    const auto bareUnion = [&] {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(paths, ClipperLib::ptSubject, true);
        ClipperLib::Paths united;
        clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    };
    const auto bareOffset = [&] {
        for (const ClipperLib::Path& path : paths) {
            ClipperLib::ClipperOffset offset(2.0, 0.25 * 10000);
            offset.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
            ClipperLib::Paths grown;
            offset.Execute(grown, 2 * 10000);
        }
    };
    const auto merge = [](Times& times) {
        std::unique_ptr<CSVGDocument> document = selectedPieces(kPieces, true);
        timed(times, [&] { document->mergeShapes(); });
    };
    const auto offset = [](Times& times) {
        std::unique_ptr<CSVGDocument> document = selectedPieces(kPieces, true);
        timed(times, [&] { document->offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon); });
    };
    const int cores = ParallelLoop::usableCores();
    for (const bool busy : { false, true }) {
        std::map<QString, Times> times;
        {
            std::unique_ptr<BusyProcesses> others;
            if (busy)
                others = std::make_unique<BusyProcesses>(cores * 3 / 2);
            const std::vector<std::function<void()>> variants { [&] { merge(times["merge"]); },
                [&] {
                    OneThread one;
                    merge(times["merge one"]);
                },
                [&] { timed(times["merge bare"], bareUnion); }, [&] { offset(times["offset"]); },
                [&] {
                    OneThread one;
                    offset(times["offset one"]);
                },
                [&] { timed(times["offset bare"], bareOffset); } };
            for (int round = 0; round < 11; ++round)
                inTurn(round, variants);
        }
        for (const char* name : { "merge", "offset" }) {
            const Times& ours = times[name];
            const Times& one = times[QString(name) + " one"];
            const Times& bare = times[QString(name) + " bare"];
            const auto ms = [](qint64 ns) { return ns / 1e6; };
            qInfo("%s, %s (%d cores): wall ms program %.1f, one thread %.1f, bare %.1f; cpu ms %.1f, %.1f, %.1f",
                busy ? "busy" : "idle", name, cores, ms(ours.medianWall()), ms(one.medianWall()), ms(bare.medianWall()),
                ms(ours.medianCpu()), ms(one.medianCpu()), ms(bare.medianCpu()));
            const QString what = QString("%1, %2: ").arg(busy ? "busy" : "idle", name);
            compareTimes(what + "program / one thread, wall", ours.wall, one.wall, "<= 1");
            compareTimes(what + "program / one thread, processor", ours.cpu, one.cpu, "<= 1.5");
            compareTimes(what + "one thread / bare Clipper, wall", one.wall, bare.wall, {});
        }
    }
}

ZOCUT_BENCH_MAIN(bench_busyMachine)
#include "bench_busyMachine.moc"
