#pragma once

#include <omp.h>

#include <algorithm>
#include <atomic>

// The parallel loops of the model, the cut job and the editor, OpenMP over
// the cores that are free when a loop starts.
class ParallelLoop
{
public:
    // The threads a loop may take now: the request (0 or less for every core
    // this process may use, and at most what OMP_NUM_THREADS allows), but no
    // more than the cores that other work leaves free at this moment; at
    // least 1.
    //
    // Why not the OpenMP runtime's own dynamic mode: it judges the machine
    // by the 15-minute load average alone, which reads 0 on a machine that
    // has just become busy, and then starts a full team that mostly waits
    // for cores; as the runtime's threads spin while they wait, a merge took
    // four times the wall time of the bare union and twelve times its
    // processor time.
    // The number of threads ready to run now tells at once. A loop on a
    // machine without a free core runs on its caller alone, as fast as one
    // thread can; otherwise its team fits the cores that nobody else wanted,
    // so that a member waiting for the slowest spins on one of these. (The
    // runtime's wait policy cannot be set from here: it reads it from the
    // environment once, before any code of the program runs.)
    static int threadCount(int requested);
    // The same rule over a given machine: its cores, the threads the
    // environment allows (OMP_NUM_THREADS) and the threads of other work
    // ready to run.
    static int threadCount(int requested, int cores, int allowed, int othersRunning);
    // The threads of other work ready to run in a line of /proc/loadavg
    // ("0.41 0.52 0.60 3/512 12345": the number before "/" counts the
    // reader too); 0 when the line cannot be read.
    static int othersRunning(const char* loadLine);
    // The cores this process may run on.
    static int usableCores();

    // body(i) for every i below count, on at most the given number of
    // threads (see threadCount); body must not throw. Returns once every
    // iteration is done.
    //
    // Each loop gets a team of its own: its threads are let go afterwards
    // instead of waiting for a next loop that comes seconds later. The
    // iterations' inputs reach the team through a release here and an
    // acquire by each member, and their effects come back through a release
    // by each member and an acquire after the loop: ThreadSanitizer sees no
    // OpenMP barrier, but it sees these. Loops may run on several threads at
    // once (the cut dialog's consumed area beside the conversion); then the
    // threads go when the last of them ends, and a thread whose loop ended
    // before keeps its team for its next loop.
    template <typename Body> static void run(int count, int threads, const Body& body)
    {
        const int team = count > 1 ? std::min(threadCount(threads), count) : 1;
        if (team < 2) {
            for (int i = 0; i < count; ++i)
                body(i);
            return;
        }
        enter();
        std::atomic<int> members { 0 };
        s_handOver.fetch_add(1, std::memory_order_release);
#pragma omp parallel num_threads(team)
        {
            s_handOver.load(std::memory_order_acquire);
#pragma omp for schedule(dynamic) nowait
            for (int i = 0; i < count; ++i)
                body(i);
            members.fetch_add(1, std::memory_order_release);
        }
        members.load(std::memory_order_acquire);
        leave();
    }

    // Every loop takes this many threads from now on (at most its request),
    // whatever the cores, the environment and the load; 0 reads the machine
    // again. Tests of parallel work force the threads they mean to test, so
    // that a busy machine cannot turn them into tests of one thread.
    static void forceThreads(int threads);

private:
    // Count the loops under way on every thread. The runtime lets threads go
    // only while no thread is inside a parallel region, so the last loop to
    // end does it, and no loop starts meanwhile.
    static void enter();
    static void leave();

    // Reached by a team's members without the loop's shared data, which it
    // hands over.
    static inline std::atomic<unsigned> s_handOver { 0 };
};
