#include "FilePlotter.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

FilePlotter::FilePlotter(const QString& path, QObject* parent)
    : AbstractPlotter(parent)
    , m_path(path)
{
}

FilePlotter::~FilePlotter()
{
    close();
}

bool FilePlotter::open()
{
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    return m_fd >= 0 || setSystemError(errno);
}

void FilePlotter::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

qint64 FilePlotter::write(const char* data, qint64 size)
{
    return writeDescriptor(m_fd, data, size);
}

bool FilePlotter::flush()
{
    // Regular files need no flush; a device file refuses fsync.
    return ::fsync(m_fd) == 0 || errno == EINVAL || errno == EROFS || setSystemError(errno);
}
