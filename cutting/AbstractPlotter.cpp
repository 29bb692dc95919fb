#include "AbstractPlotter.h"

AbstractPlotter::AbstractPlotter(QObject* parent)
    : QObject(parent)
{
}

void AbstractPlotter::fail(const QString& text)
{
    emit status(text, QColor(Qt::darkRed));
    emit finished(false);
}

bool AbstractPlotter::writeAll()
{
    const qint64 total = m_data.size();
    int reported = -1;
    for (qint64 done = 0; done < total; done += kChunkSize) {
        if (m_stop)
            return false;
        if (!write(m_data.constData() + done, qMin<qint64>(kChunkSize, total - done)))
            return false;
        const int percent = int(qMin(total, done + kChunkSize) * 100 / total);
        if (percent != reported)
            emit progress(reported = percent);
    }
    return flush();
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
    if (m_stop) {
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
