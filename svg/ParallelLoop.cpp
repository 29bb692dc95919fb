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

std::atomic<int> g_forcedThreads { 0 };

// Threads of other work ready to run on the whole machine now.
int othersRunningNow()
{
    const int file = ::open("/proc/loadavg", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    char text[128] = {};
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    return length > 0 ? ParallelLoop::othersRunning(text) : 0;
}
} // namespace

int ParallelLoop::threadCount(int requested)
{
    if (requested == 1)
        return 1;
    if (const int forced = g_forcedThreads.load())
        return requested > 0 ? std::min(requested, forced) : forced;
    return threadCount(requested, usableCores(), omp_get_max_threads(), othersRunningNow());
}

int ParallelLoop::threadCount(int requested, int cores, int allowed, int othersRunning)
{
    if (requested == 1)
        return 1;
    const int wanted = std::min(requested > 0 ? requested : cores, allowed);
    return std::max(1, std::min(wanted, cores - othersRunning));
}

int ParallelLoop::othersRunning(const char* loadLine)
{
    // Three averages, then running/all.
    const char* field = loadLine;
    for (int spaces = 0; spaces < 3 && field; ++spaces) {
        field = std::strchr(field, ' ');
        if (field)
            ++field;
    }
    return field ? std::max(0, std::atoi(field) - 1) : 0;
}

int ParallelLoop::usableCores()
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (sched_getaffinity(0, sizeof cores, &cores) == 0)
        return std::max(1, CPU_COUNT(&cores));
    return std::max(1, omp_get_num_procs());
}

void ParallelLoop::forceThreads(int threads)
{
    g_forcedThreads = std::max(0, threads);
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
