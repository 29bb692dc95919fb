#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <functional>
#include <vector>

// The processor time of the whole process so far, all threads together.
inline qint64 processCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Runs a routine and its peer in turn, several rounds, and reports the
// minimum and median time of each and the ratio of the minima: the machine
// is shared, so only ratios from one run mean anything. Returns the
// routine's minimum in nanoseconds. Between each two timings, untimed, runs
// what the program does while the user is not waiting (for example the
// event loop freeing a closed drawing's elements). Where one of the two runs
// on several cores, the ratio of their processor times (medians) follows:
// the wall-clock ratio alone hides what the other cores did.
inline qint64 compareInterleaved(const QString& name, int rounds, const std::function<void()>& ours,
    const QString& peerName, const std::function<void()>& peer, const std::function<void()>& between = {})
{
    std::vector<qint64> oursTimes;
    std::vector<qint64> peerTimes;
    std::vector<qint64> oursCpu;
    std::vector<qint64> peerCpu;
    const auto time = [](const std::function<void()>& routine, std::vector<qint64>& wall, std::vector<qint64>& cpu) {
        const qint64 cpuBefore = processCpuNs();
        QElapsedTimer timer;
        timer.start();
        routine();
        wall.push_back(timer.nsecsElapsed());
        cpu.push_back(processCpuNs() - cpuBefore);
    };
    const auto idle = [&] {
        if (between)
            between();
    };
    for (int round = 0; round < rounds; ++round) {
        time(ours, oursTimes, oursCpu);
        idle();
        time(peer, peerTimes, peerCpu);
        idle();
    }
    for (std::vector<qint64>* times : { &oursTimes, &peerTimes, &oursCpu, &peerCpu })
        std::sort(times->begin(), times->end());
    const auto ms = [](qint64 ns) { return QString::number(ns / 1e6, 'f', 2); };
    const auto ratio
        = [](qint64 a, qint64 b) { return QString::number(double(a) / double(std::max<qint64>(1, b)), 'f', 2); };
    const size_t middle = oursTimes.size() / 2;
    QString line = QString("%1: min %2 ms, median %3 ms; %4: min %5 ms, median %6 ms; ratio %7 (of medians %8)")
                       .arg(name, ms(oursTimes.front()), ms(oursTimes[middle]), peerName, ms(peerTimes.front()),
                           ms(peerTimes[middle]), ratio(oursTimes.front(), peerTimes.front()),
                           ratio(oursTimes[middle], peerTimes[middle]));
    const auto onSeveralCores = [middle](const std::vector<qint64>& cpu, const std::vector<qint64>& wall) {
        return cpu[middle] > wall[middle] * 5 / 4;
    };
    if (onSeveralCores(oursCpu, oursTimes) || onSeveralCores(peerCpu, peerTimes)) {
        line += QString("; processor time, medians: %1 ms, %2 ms; ratio %3")
                    .arg(ms(oursCpu[middle]), ms(peerCpu[middle]), ratio(oursCpu[middle], peerCpu[middle]));
    }
    qInfo().noquote() << line;
    return oursTimes.front();
}

// The peak resident memory that a routine adds, in MB: the kernel's peak is
// reset first (Linux 4.0 and later).
inline double peakMemoryOf(const std::function<void()>& routine)
{
    const auto status = [](const char* key) {
        QFile file("/proc/self/status");
        if (!file.open(QIODevice::ReadOnly))
            return 0.0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith(key))
                return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
        }
        return 0.0;
    };
    malloc_trim(0);
    QFile reset("/proc/self/clear_refs");
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5");
    reset.close();
    const double before = status("VmRSS:");
    routine();
    return status("VmHWM:") - before;
}
