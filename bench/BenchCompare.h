#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <malloc.h>

#include <algorithm>
#include <functional>
#include <vector>

// Runs a routine and its peer in turn, several rounds, and reports the
// minimum and median time of each and the ratio of the minima: the machine
// is shared, so only ratios from one run mean anything. Returns the
// routine's minimum in nanoseconds. Between each two timings, untimed, runs
// what the program does while the user is not waiting (for example the
// event loop freeing a closed drawing's elements).
inline qint64 compareInterleaved(const QString& name, int rounds, const std::function<void()>& ours,
    const QString& peerName, const std::function<void()>& peer, const std::function<void()>& between = {})
{
    std::vector<qint64> oursTimes;
    std::vector<qint64> peerTimes;
    const auto time = [](const std::function<void()>& routine) {
        QElapsedTimer timer;
        timer.start();
        routine();
        return timer.nsecsElapsed();
    };
    const auto idle = [&] {
        if (between)
            between();
    };
    for (int round = 0; round < rounds; ++round) {
        oursTimes.push_back(time(ours));
        idle();
        peerTimes.push_back(time(peer));
        idle();
    }
    std::sort(oursTimes.begin(), oursTimes.end());
    std::sort(peerTimes.begin(), peerTimes.end());
    const auto ms = [](qint64 ns) { return QString::number(ns / 1e6, 'f', 2); };
    const auto ratio = [&](size_t at) {
        return QString::number(double(oursTimes[at]) / double(std::max<qint64>(1, peerTimes[at])), 'f', 2);
    };
    const size_t middle = oursTimes.size() / 2;
    qInfo().noquote() << QString("%1: min %2 ms, median %3 ms; %4: min %5 ms, median %6 ms; ratio %7 (of medians %8)")
                             .arg(name, ms(oursTimes.front()), ms(oursTimes[middle]), peerName, ms(peerTimes.front()),
                                 ms(peerTimes[middle]), ratio(0), ratio(middle));
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
