#include "ParallelLoop.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {
std::mutex g_loopsLock;
int g_loopsRunning = 0;

// Threads ready to run on the whole machine, less the one reading: the
// number before "/" in /proc/loadavg. 0 when it cannot be read.
int othersRunningNow()
{
    const int file = ::open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    char text[128] = {};
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (length <= 0)
        return 0;
    // "0.41 0.52 0.60 3/512 12345": three averages, then running/all.
    const char* field = text;
    for (int spaces = 0; spaces < 3 && field; ++spaces) {
        field = std::strchr(field, ' ');
        if (field)
            ++field;
    }
    return field ? std::max(0, std::atoi(field) - 1) : 0;
}

std::atomic<ParallelLoop::RunningProbe> g_runningProbe { othersRunningNow };
} // namespace

int ParallelLoop::threadCount(int requested)
{
    if (requested == 1)
        return 1;
    const int cores = usableCores();
    const int wanted = std::min(requested > 0 ? requested : cores, omp_get_max_threads());
    return std::max(1, std::min(wanted, cores - g_runningProbe.load()()));
}

int ParallelLoop::usableCores()
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(1, CPU_COUNT(&cores));
    return std::max(1, omp_get_num_procs());
}

void ParallelLoop::setRunningProbe(RunningProbe probe)
{
    g_runningProbe = probe ? probe : othersRunningNow;
}

void ParallelLoop::enter()
{
    std::lock_guard<std::mutex> guard(g_loopsLock);
    ++g_loopsRunning;
}

void ParallelLoop::leave()
{
    std::lock_guard<std::mutex> guard(g_loopsLock);
    if (--g_loopsRunning == 0)
        omp_pause_resource_all(omp_pause_soft);
}
