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
// after the time-out; it never holds the thread for good. A stopped job ends
// on a whole command with the knife up (HpglJob::stopEnding), so that the
// plotter is left safe and the next job starts on a clean command.
class AbstractPlotter : public QObject
{
    Q_OBJECT
public:
    static const int kChunkSize = 4096;
    static const int kTimeoutMs = 60000;
    // How long a stopped job waits for the plotter to take its ending.
    static const int kStopGraceMs = 5000;

    explicit AbstractPlotter(QObject* parent = nullptr);

    // Before the thread starts. The closing is what the job ends with, and
    // what a stopped job ends with too.
    void setData(const QByteArray& data, const QByteArray& closing = QByteArrayLiteral("PU;"));
    void setTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }
    // Thread-safe; the job ends as failed once its ending is out.
    void stop() { m_stop = true; }
    bool isStopping() const { return m_stop; }

public slots:
    void process();

signals:
    void progress(int percent);
    // Black for progress, dark red for failures, green for "Finished!".
    void status(const QString& text, const QColor& color);
    void finished(bool success);

protected:
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
    QString errorString() const { return m_error; }
    // Both return false, for the caller to pass on.
    bool setError(const QString& text);
    bool setSystemError(int error);

private:
    bool writeAll();
    void endStopped(qint64 sent);
    void fail(const QString& text);
    // A stop request cuts a write short, but not the ending of the job.
    bool isInterrupted() const { return m_stop && !m_ending; }

    QByteArray m_data;
    QByteArray m_closing;
    int m_timeoutMs = kTimeoutMs;
    std::atomic<bool> m_stop { false };
    bool m_ending = false;
    QString m_error;
};
