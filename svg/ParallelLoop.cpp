#include "ParallelLoop.h"

#include <mutex>

namespace {
std::mutex g_loopsLock;
int g_loopsRunning = 0;
} // namespace

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
