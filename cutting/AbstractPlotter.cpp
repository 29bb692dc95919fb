#include "AbstractPlotter.h"

#include "HpglJob.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace {
// A stop request is seen at least this often while the device is full.
const int kPollSliceMs = 200;
} // namespace

AbstractPlotter::AbstractPlotter(QObject* parent)
    : QObject(parent)
{
}

void AbstractPlotter::setData(const QByteArray& data, const QByteArray& closing)
{
    m_data = data;
    m_closing = closing;
}

bool AbstractPlotter::setError(const QString& text)
{
    m_error = text;
    return false;
}

bool AbstractPlotter::setSystemError(int error)
{
    return setError(QString::fromLocal8Bit(std::strerror(error)));
}

void AbstractPlotter::fail(const QString& text)
{
    emit status(text, QColor(Qt::darkRed));
    emit finished(false);
}

qint64 AbstractPlotter::writeDescriptor(int descriptor, const char* data, qint64 size)
{
    const int timeout = m_ending ? std::min(m_timeoutMs, int(kStopGraceMs)) : m_timeoutMs;
    QElapsedTimer waited;
    waited.start();
    qint64 done = 0;
    while (done < size) {
        const ssize_t written = ::write(descriptor, data + done, size_t(size - done));
        if (written > 0) {
            done += written;
            waited.restart();
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            setSystemError(errno);
            return -1;
        }
        if (isInterrupted())
            return done;
        if (waited.elapsed() > timeout) {
            setError(tr("The plotter takes no more data"));
            return -1;
        }
        pollfd device { descriptor, POLLOUT, 0 };
        ::poll(&device, 1, kPollSliceMs);
    }
    return done;
}

bool AbstractPlotter::writeAll()
{
    const qint64 total = m_data.size();
    qint64 sent = 0;
    int reported = -1;
    while (sent < total && !m_stop) {
        const qint64 written = write(m_data.constData() + sent, qMin<qint64>(kChunkSize, total - sent));
        if (written < 0)
            return false;
        sent += written;
        const int percent = int(sent * 100 / total);
        if (percent != reported)
            emit progress(reported = percent);
    }
    if (sent < total) {
        endStopped(sent);
        return false;
    }
    return flush();
}

// The plotter carries out what it has; cut off inside a command it would go
// on with the knife down, or read the next job's first command as part of
// the broken one.
void AbstractPlotter::endStopped(qint64 sent)
{
    m_ending = true;
    const QByteArray ending = HpglJob::stopEnding(m_data, sent, m_closing);
    if (ending.isEmpty() || (write(ending.constData(), ending.size()) == ending.size() && flush()))
        m_error.clear();
}

void AbstractPlotter::process()
{
    emit status(tr("Connecting to the plotter"), QColor(Qt::black));
    if (!open()) {
        fail(tr("The plotter cannot be opened: %1").arg(errorString()));
        return;
    }
    emit status(tr("Sending data"), QColor(Qt::black));
    const bool sent = writeAll();
    const QString error = errorString();
    close();
    if (m_stop && error.isEmpty()) {
        fail(tr("Stopped"));
        return;
    }
    if (!sent) {
        fail(tr("Sending stopped: %1").arg(error));
        return;
    }
    emit progress(100);
    emit status(tr("Finished!"), QColor(Qt::green));
    emit finished(true);
}
