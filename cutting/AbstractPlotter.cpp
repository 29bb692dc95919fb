#include "AbstractPlotter.h"

#include "HpglJob.h"

#include <QDebug>
#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// A stop request is seen at least this often while the device is full.
const int kPollSliceMs = 200;
// How often a queue kept short is looked at while it drains.
const int kQueueSliceMs = 10;

// What the port still holds for the line; -1 where it does not say (files,
// printer-class devices). A pseudo-terminal always says 0.
int queuedBytes(int descriptor)
{
    int queued = 0;
    return ::ioctl(descriptor, TIOCOUTQ, &queued) == 0 ? queued : -1;
}
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

QString AbstractPlotter::stopNotTakenText()
{
    // One literal, so that the text reads as its language-file key.
    // clang-format off
    return tr("The plotter did not take the stop: its knife may be down inside a command. Lift the knife on the plotter before the next job.");
    // clang-format on
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

// The line counts as taking data while it takes a byte, or its queue
// shrinks, within the time-out; the ending of a stopped job gets a time-out
// of its own, counted from the stop.
qint64 AbstractPlotter::writeDescriptor(int descriptor, const char* data, qint64 size)
{
    QElapsedTimer quiet;
    quiet.start();
    int queued = queuedBytes(descriptor);
    qint64 done = 0;
    while (done < size && !isInterrupted()) {
        const qint64 room = queued < 0 ? size - done : std::min<qint64>(size - done, m_queueLimit - queued);
        if (room > 0) {
            const ssize_t written = ::write(descriptor, data + done, size_t(room));
            if (written > 0) {
                done += written;
                quiet.restart();
                queued = queuedBytes(descriptor);
                continue;
            }
            if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                setSystemError(errno);
                return -1;
            }
        }
        if (quiet.elapsed() > quietLimitMs()) {
            setError(tr("The plotter takes no more data"));
            return -1;
        }
        if (room > 0) {
            pollfd device { descriptor, POLLOUT, 0 };
            ::poll(&device, 1, kPollSliceMs);
        } else {
            ::poll(nullptr, 0, kQueueSliceMs);
        }
        const int now = queuedBytes(descriptor);
        if (now >= 0 && now < queued)
            quiet.restart();
        queued = now;
    }
    return done;
}

AbstractPlotter::Outcome AbstractPlotter::writeAll()
{
    const qint64 total = m_data.size();
    qint64 sent = 0;
    int reported = -1;
    while (sent < total && !isInterrupted()) {
        const qint64 written = write(m_data.constData() + sent, qMin<qint64>(kChunkSize, total - sent));
        if (written < 0)
            return Outcome::Failed;
        sent += written;
        const int percent = int(sent * 100 / total);
        if (percent != reported)
            emit progress(reported = percent);
    }
    if (sent < total)
        return endStopped(sent);
    return flush() ? Outcome::Sent : Outcome::Failed;
}

// The plotter carries out what it has; cut off inside a command it would go
// on with the knife down, or read the next job's first command as part of
// the broken one.
AbstractPlotter::Outcome AbstractPlotter::endStopped(qint64 sent)
{
    m_ending = true;
    const QByteArray ending = HpglJob::stopEnding(m_data, sent, m_closing);
    if (ending.isEmpty() || (write(ending.constData(), ending.size()) == ending.size() && flush()))
        return Outcome::Stopped;
    return Outcome::StopNotTaken;
}

void AbstractPlotter::process()
{
    emit status(tr("Connecting to the plotter"), QColor(Qt::black));
    if (!open()) {
        emit status(tr("The plotter cannot be opened: %1").arg(errorString()), QColor(Qt::darkRed));
        emit finished(false);
        return;
    }
    emit status(tr("Sending data"), QColor(Qt::black));
    Outcome outcome = writeAll();
    close();
    // A failure after the stop leaves the command under way unfinished too.
    if (outcome == Outcome::Failed && m_stop)
        outcome = Outcome::StopNotTaken;
    report(outcome);
}

void AbstractPlotter::report(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Sent:
        emit progress(100);
        emit status(tr("Finished!"), QColor(Qt::green));
        emit finished(true);
        return;
    case Outcome::Stopped:
        emit status(tr("Stopped"), QColor(Qt::black));
        emit stopped(true);
        break;
    case Outcome::StopNotTaken:
        if (!m_error.isEmpty())
            qWarning().noquote() << "The plotter did not take the stop:" << m_error;
        emit status(stopNotTakenText(), QColor(Qt::darkRed));
        emit stopped(false);
        break;
    case Outcome::Failed:
        emit status(tr("Sending stopped: %1").arg(m_error), QColor(Qt::darkRed));
        break;
    }
    emit finished(false);
}
