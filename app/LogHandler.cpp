#include "LogHandler.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <mutex>

namespace {

QString lineFormat(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("%1 Debug: %2 (%3:%4, %5)");
    case QtWarningMsg:
        return QStringLiteral("%1 Warning: %2 (%3:%4, %5)");
    case QtCriticalMsg:
        return QStringLiteral("%1 Critical: %2 (%3:%4, %5)");
    case QtFatalMsg:
        return QStringLiteral("%1 Fatal: %2 (%3:%4, %5)");
    case QtInfoMsg:
        break;
    }
    return QStringLiteral("%1 Info: %2 (%3:%4, %5)");
}

// Messages arrive from any thread; one lock keeps their lines whole and in
// the file.
std::mutex& logLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

QString formatLogLine(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // The text goes through UTF-8 so that it ends at an embedded NUL, as a C
    // string would.
    const QString text = QString::fromUtf8(message.toUtf8().constData());
    return lineFormat(type).arg(QDateTime::currentDateTime().toString(Qt::TextDate), text,
        QString::fromLatin1(context.file), QString::number(context.line), QString::fromLatin1(context.function));
}

QString currentLogFilePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return folder + QLatin1Char('/') + QDate::currentDate().toString(Qt::TextDate) + QStringLiteral(".log");
}

void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // The line is made under the lock too, so that lines follow each other in
    // time order.
    std::lock_guard<std::mutex> locker(logLock());
    const QString line = formatLogLine(type, context, message);
    const QString path = currentLogFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QTextStream stream(&file);
    stream << line << '\n';
    stream.flush();
}
