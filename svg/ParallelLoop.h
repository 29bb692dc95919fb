#pragma once

#include <omp.h>

#include <algorithm>
#include <atomic>
#include <thread>

// The parallel loops of the model, the cut job and the editor, OpenMP over
// the hardware's threads.
class ParallelLoop
{
public:
    // 0 or less asks for every hardware thread.
    static int threadCount(int requested)
    {
        return requested > 0 ? requested : int(std::max(1u, std::thread::hardware_concurrency()));
    }

    // body(i) for every i below count, on at most the given number of
    // threads; body must not throw. Returns once every iteration is done.
    //
    // Each loop gets a team of its own: its threads are let go afterwards
    // instead of waiting, busy, for a next loop that comes seconds later (on
    // a busy machine they took the cores from the next loop's team). That
    // also lets ThreadSanitizer, which sees no OpenMP barrier, see the
    // hand-overs: a new team starts with the start of its threads, and the
    // iterations' effects come back through a release by each member and an
    // acquire after the loop. Loops may run on several threads at once (the
    // cut dialog's consumed area beside the conversion); then the threads go
    // when the last of them ends, and a thread whose loop ended before keeps
    // its team for its next loop.
    template <typename Body> static void run(int count, int threads, const Body& body)
    {
        // On a machine busy with other work a full team mostly waits for
        // cores; the runtime then starts fewer threads.
        omp_set_dynamic(1);
        enter();
        std::atomic<int> members { 0 };
#pragma omp parallel num_threads(threadCount(threads))
        {
#pragma omp for schedule(dynamic) nowait
            for (int i = 0; i < count; ++i)
                body(i);
            members.fetch_add(1, std::memory_order_release);
        }
        members.load(std::memory_order_acquire);
        leave();
    }

private:
    // Count the loops under way on every thread. The runtime lets threads go
    // only while no thread is inside a parallel region, so the last loop to
    // end does it, and no loop starts meanwhile.
    static void enter();
    static void leave();
};
