#pragma once

#include <algorithm>
#include <atomic>
#include <thread>

// The parallel loops of the cut job, OpenMP over the hardware's threads.
class ParallelLoop
{
public:
    // 0 or less asks for every hardware thread.
    static int threadCount(int requested)
    {
        return requested > 0 ? requested : int(std::max(1u, std::thread::hardware_concurrency()));
    }

    // body(i) for every i below count, on the given number of threads; body
    // must not throw. Returns once every iteration is done.
    //
    // ThreadSanitizer sees no OpenMP barrier. So each loop gets a team of
    // its own, started on a fresh thread (a thread's start and join it does
    // see), and the iterations' effects reach that thread through a release
    // by each member and an acquire after the loop.
    template <typename Body> static void run(int count, int threads, const Body& body)
    {
        const int team = threadCount(threads);
        std::thread([&]() {
            std::atomic<int> members { 0 };
#pragma omp parallel num_threads(team)
            {
#pragma omp for schedule(dynamic) nowait
                for (int i = 0; i < count; ++i)
                    body(i);
                members.fetch_add(1, std::memory_order_release);
            }
            members.load(std::memory_order_acquire);
        }).join();
    }
};
