#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// The processor time of the whole process so far, all threads together.
inline qint64 processCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A figure beside its goal ("<= 1.0", "< 0.5", ">= 2"), on a line of its own
// that starts with RATIO. A figure that misses fails the benchmark function,
// so that the benchmark exits non-zero; false then.
inline bool meetsGoal(const QString& what, double figure, const QString& goal)
{
    const QRegularExpressionMatch form
        = QRegularExpression(QStringLiteral("^(<=|<|>=|>) *([0-9.]+)$")).match(goal.trimmed());
    const QString relation = form.captured(1);
    const double bound = form.captured(2).toDouble();
    const bool met = form.hasMatch()
        && (relation == QLatin1String("<=")       ? figure <= bound
                : relation == QLatin1String("<")  ? figure < bound
                : relation == QLatin1String(">=") ? figure >= bound
                                                  : figure > bound);
    std::printf(
        "RATIO %-60s %8.3f   (goal %s)%s\n", qPrintable(what), figure, qPrintable(goal), met ? "" : "   MISSED");
    std::fflush(stdout);
    if (!met)
        QTest::qFail(qPrintable(QStringLiteral("%1: %2 misses its goal %3").arg(what).arg(figure).arg(goal)), __FILE__,
            __LINE__);
    return met;
}

// The middle of the values (the upper one of an even count).
inline qint64 medianOf(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The ratio of two times, checked against the goal where one is given: that
// of the medians of the rounds, with the order alternating. The least times
// would favour the shorter routine, which more often meets a quiet moment of
// a shared machine; their ratio follows for the record.
inline double compareTimes(
    const QString& what, const std::vector<qint64>& ours, const std::vector<qint64>& peer, const QString& goal)
{
    const auto ratio = [](qint64 a, qint64 b) { return double(a) / double(std::max<qint64>(1, b)); };
    const double figure = ratio(medianOf(ours), medianOf(peer));
    const QString withMinima
        = QStringLiteral("%1 (of minima %2)")
              .arg(what)
              .arg(ratio(*std::min_element(ours.begin(), ours.end()), *std::min_element(peer.begin(), peer.end())), 0,
                  'f', 2);
    if (goal.isEmpty()) {
        std::printf("RATIO %-60s %8.3f\n", qPrintable(withMinima), figure);
        std::fflush(stdout);
        return figure;
    }
    meetsGoal(withMinima, figure, goal);
    return figure;
}

// Runs each routine once, in the order given in even rounds and backward in
// odd ones: whichever runs first meets the caches and the machine as the one
// before left them, and a fixed order alone moves a ratio.
inline void inTurn(int round, const std::vector<std::function<void()>>& routines)
{
    if (round % 2 == 0)
        std::for_each(routines.begin(), routines.end(), [](const std::function<void()>& routine) { routine(); });
    else
        std::for_each(routines.rbegin(), routines.rend(), [](const std::function<void()>& routine) { routine(); });
}

// Runs the two in turn, several rounds, the order alternating.
inline void alternate(int rounds, const std::function<void()>& first, const std::function<void()>& second)
{
    for (int round = 0; round < rounds; ++round)
        inTurn(round, { first, second });
}

// Runs a routine and its peer in turn, several rounds, the order alternating,
// and reports the minimum and median time of each and their ratio against
// the goal ("<= 1.5"; none when empty): the machine is shared, so only
// ratios from one run mean anything. Returns the routine's minimum in
// nanoseconds. Between each two timings, untimed, runs what the
// program does while the user is not waiting (for example the event loop
// freeing a closed drawing's elements). Where one of the two runs on several
// cores, the ratio of their processor times (medians) follows: the
// wall-clock ratio alone hides what the other cores did.
inline qint64 compareInterleaved(const QString& name, int rounds, const std::function<void()>& ours,
    const QString& peerName, const std::function<void()>& peer, const QString& goal = {},
    const std::function<void()>& between = {})
{
    std::vector<qint64> oursTimes;
    std::vector<qint64> peerTimes;
    std::vector<qint64> oursCpu;
    std::vector<qint64> peerCpu;
    const auto time
        = [&between](const std::function<void()>& routine, std::vector<qint64>& wall, std::vector<qint64>& cpu) {
              const qint64 cpuBefore = processCpuNs();
              QElapsedTimer timer;
              timer.start();
              routine();
              wall.push_back(timer.nsecsElapsed());
              cpu.push_back(processCpuNs() - cpuBefore);
              if (between)
                  between();
          };
    alternate(
        rounds, [&] { time(ours, oursTimes, oursCpu); }, [&] { time(peer, peerTimes, peerCpu); });
    const auto ms = [](qint64 ns) { return QString::number(ns / 1e6, 'f', 2); };
    QString line
        = QString("%1: min %2 ms, median %3 ms; %4: min %5 ms, median %6 ms")
              .arg(name, ms(*std::min_element(oursTimes.begin(), oursTimes.end())), ms(medianOf(oursTimes)), peerName,
                  ms(*std::min_element(peerTimes.begin(), peerTimes.end())), ms(medianOf(peerTimes)));
    const auto onSeveralCores = [](const std::vector<qint64>& cpu, const std::vector<qint64>& wall) {
        return medianOf(cpu) > medianOf(wall) * 5 / 4;
    };
    if (onSeveralCores(oursCpu, oursTimes) || onSeveralCores(peerCpu, peerTimes)) {
        line += QString("; processor time, medians: %1 ms, %2 ms; ratio %3")
                    .arg(ms(medianOf(oursCpu)), ms(medianOf(peerCpu)))
                    .arg(double(medianOf(oursCpu)) / double(std::max<qint64>(1, medianOf(peerCpu))), 0, 'f', 2);
    }
    qInfo().noquote() << line;
    compareTimes(name + " / " + peerName, oursTimes, peerTimes, goal);
    return *std::min_element(oursTimes.begin(), oursTimes.end());
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
