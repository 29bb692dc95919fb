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
class AbstractPlotter : public QObject
{
    Q_OBJECT
public:
    static const int kChunkSize = 4096;
    static const int kTimeoutMs = 60000;

    explicit AbstractPlotter(QObject* parent = nullptr);

    // Before the thread starts.
    void setData(const QByteArray& data) { m_data = data; }
    void setTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }
    // Thread-safe; the job ends as failed after the chunk under way.
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
    // Writes the bytes whole within the time-out, or fails.
    virtual bool write(const char* data, qint64 size) = 0;
    virtual bool flush() = 0;
    virtual QString errorString() const = 0;
    int timeoutMs() const { return m_timeoutMs; }

private:
    bool writeAll();
    void fail(const QString& text);

    QByteArray m_data;
    int m_timeoutMs = kTimeoutMs;
    std::atomic<bool> m_stop { false };
};
