#include "FilePlotter.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
// A stop request is seen at least this often while the device is full.
const int kPollSliceMs = 200;
} // namespace

FilePlotter::FilePlotter(const QString& path, QObject* parent)
    : AbstractPlotter(parent)
    , m_path(path)
{
}

FilePlotter::~FilePlotter()
{
    close();
}

bool FilePlotter::setError(int error)
{
    m_error = QString::fromLocal8Bit(std::strerror(error));
    return false;
}

bool FilePlotter::open()
{
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    return m_fd >= 0 || setError(errno);
}

void FilePlotter::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool FilePlotter::write(const char* data, qint64 size)
{
    QElapsedTimer waited;
    waited.start();
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written > 0) {
            data += written;
            size -= written;
            waited.restart();
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return setError(errno);
        if (isStopping())
            return false;
        if (waited.elapsed() > timeoutMs()) {
            m_error = tr("The plotter takes no more data");
            return false;
        }
        pollfd device { m_fd, POLLOUT, 0 };
        ::poll(&device, 1, kPollSliceMs);
    }
    return true;
}

bool FilePlotter::flush()
{
    // Regular files need no flush; a device file refuses fsync.
    return ::fsync(m_fd) == 0 || errno == EINVAL || errno == EROFS || setError(errno);
}
