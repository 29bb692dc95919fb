#include "Platform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QOperatingSystemVersion>
#include <QProcess>
#include <QUrl>

bool Platform::isSupportedSystem()
{
#ifdef Q_OS_WIN
    return QOperatingSystemVersion::current().majorVersion() >= 10;
#else
    // Elsewhere the version check has nothing to measure (the major version
    // reads -1).
    return true;
#endif
}

QString Platform::explorerCommand(QString path)
{
    path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    path.replace(QStringLiteral("//"), QStringLiteral("\\"));
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QStringLiteral("explorer.exe /select,\"%1\"").arg(path);
}

void Platform::showInFolder(const QString& path)
{
#ifdef Q_OS_WIN
    QProcess::startDetached(explorerCommand(path));
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
#endif
}
