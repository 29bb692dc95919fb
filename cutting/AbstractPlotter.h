#pragma once

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QString>

#include <atomic>

// Base of every plotter driver. A driver lives on a thread of its own
// (PlotterThread): process() opens the device, writes the job in chunks,
// flushes and closes it, and reports through signals that the dialogs
// receive on the GUI thread. A device that stops taking data fails the job
// after the time-out; it never holds the thread for good.
//
// A stopped job ends on a whole command with the knife up
// (HpglJob::stopEnding), so that the plotter is left safe and the next job
// starts on a clean command. What the system already took goes out before
// that ending and is never discarded: on a pseudo-terminal, and on a serial
// line once its bytes sit in the hardware, nobody on this side can tell
// where a discarded stream would end. Where the port reports its queue
// (serial and USB-serial ports), the queue is kept short instead, so that a
// stop has little to wait for.
class AbstractPlotter : public QObject
{
    Q_OBJECT
public:
    static const int kChunkSize = 4096;
    // The longest a line may take nothing and still count as taking data,
    // while sending and for the ending of a stopped job alike. A line whose
    // far end reads slowly makes room in bursts: a pseudo-terminal read at
    // 40 bytes a second takes nothing for up to 90 s between them.
    static const int kTimeoutMs = 120000;
    // At most this much waits in a port that reports its queue, unless the
    // port's own setting asks for more.
    static const int kQueueLimit = 1024;

    explicit AbstractPlotter(QObject* parent = nullptr);

    // Before the thread starts. The closing is what the job ends with, and
    // what a stopped job ends with too.
    void setData(const QByteArray& data, const QByteArray& closing = QByteArrayLiteral("PU;"));
    void setTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }
    // How long the ending of a stopped job may wait for the plotter to take
    // anything; the time-out until set.
    void setStopGraceMs(int milliseconds) { m_graceMs = milliseconds; }
    // Thread-safe; the job ends on a whole command, then its closing.
    void stop() { m_stop = true; }
    // Thread-safe; the job ends at once, without its ending: only for a
    // driver that must go now (its owner is being destroyed).
    void abandon() { m_abandon = true; }
    bool isStopping() const { return m_stop; }

    // What the user is told when the plotter took nothing of a stopped job's
    // ending.
    static QString stopNotTakenText();

public slots:
    void process();

signals:
    void progress(int percent);
    // Black for progress and a stop, dark red for failures, green for
    // "Finished!".
    void status(const QString& text, const QColor& color);
    // Before finished(false) when the job was stopped: whether the plotter
    // took the ending.
    void stopped(bool taken);
    void finished(bool success);

protected:
    enum class Outcome { Sent, Stopped, StopNotTaken, Failed };

    virtual bool open() = 0;
    virtual void close() = 0;
    // Writes the bytes within the time-out and returns how many reached the
    // device: all of them, fewer when the job was stopped meanwhile, -1 on
    // failure (the error set).
    virtual qint64 write(const char* data, qint64 size) = 0;
    virtual bool flush() = 0;
    // The write of the drivers that reach the plotter through a descriptor:
    // the bytes the system took are known exactly, which a stop needs.
    qint64 writeDescriptor(int descriptor, const char* data, qint64 size);
    void setQueueLimit(int bytes) { m_queueLimit = bytes; }
    QString errorString() const { return m_error; }
    // Both return false, for the caller to pass on.
    bool setError(const QString& text);
    bool setSystemError(int error);

private:
    Outcome writeAll();
    Outcome endStopped(qint64 sent);
    void report(Outcome outcome);
    // A stop request cuts a write short, but not the ending of the job.
    bool isInterrupted() const { return m_abandon || (m_stop && !m_ending); }
    int quietLimitMs() const { return m_ending && m_graceMs >= 0 ? m_graceMs : m_timeoutMs; }

    QByteArray m_data;
    QByteArray m_closing;
    int m_timeoutMs = kTimeoutMs;
    int m_graceMs = -1;
    int m_queueLimit = kQueueLimit;
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_abandon { false };
    bool m_ending = false;
    QString m_error;
};
