#include "Deployment.h"

#include "DeploymentDefaults.h"

#include <QRegularExpression>
#include <QUrl>
#include <QtGlobal>

QString Deployment::value(const char* environmentName, const char* builtIn)
{
    const QByteArray fromEnvironment = qgetenv(environmentName);
    return fromEnvironment.isEmpty() ? QString::fromUtf8(builtIn) : QString::fromUtf8(fromEnvironment);
}

// Callers append paths, so a base address always ends in "/".
QString Deployment::folder(const char* environmentName, const char* builtIn)
{
    QString address = value(environmentName, builtIn);
    if (!address.endsWith(QLatin1Char('/')))
        address += QLatin1Char('/');
    return address;
}

QString Deployment::apiBase()
{
    return folder("ZOCUT_API_BASE", ZOCUT_DEFAULT_API_BASE);
}

bool Deployment::isApiOnLoopback()
{
    const QString host = QUrl(apiBase()).host();
    static const QRegularExpression ipv4Loopback(QStringLiteral("^127\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || host == QLatin1String("::1")
        || ipv4Loopback.match(host).hasMatch();
}

QString Deployment::designHost(int region)
{
    switch (region) {
    case 0:
        return folder("ZOCUT_DESIGN_HOST", ZOCUT_DEFAULT_DESIGN_HOST);
    case 1:
        return folder("ZOCUT_DESIGN_HOST_2", ZOCUT_DEFAULT_DESIGN_HOST_2);
    case 2:
        return folder("ZOCUT_DESIGN_HOST_3", ZOCUT_DEFAULT_DESIGN_HOST_3);
    default:
        return QString();
    }
}

QString Deployment::imageHost()
{
    return folder("ZOCUT_IMAGE_HOST", ZOCUT_DEFAULT_IMAGE_HOST);
}

QString Deployment::uploadEndpoint(int number)
{
    switch (number) {
    case 1:
        return value("ZOCUT_UPLOAD_ENDPOINT_1", ZOCUT_DEFAULT_UPLOAD_ENDPOINT_1);
    case 2:
        return value("ZOCUT_UPLOAD_ENDPOINT_2", ZOCUT_DEFAULT_UPLOAD_ENDPOINT_2);
    case 3:
        return value("ZOCUT_UPLOAD_ENDPOINT_3", ZOCUT_DEFAULT_UPLOAD_ENDPOINT_3);
    default:
        return QString();
    }
}

QString Deployment::storeDownloadBase()
{
    return folder("ZOCUT_STORE_DOWNLOAD", ZOCUT_DEFAULT_STORE_DOWNLOAD);
}

QString Deployment::nestingHost()
{
    return value("ZOCUT_NESTING_HOST", ZOCUT_DEFAULT_NESTING_HOST);
}

QString Deployment::nestingAccountName()
{
    return value("ZOCUT_NESTING_USER", ZOCUT_DEFAULT_NESTING_USER);
}

QString Deployment::imageServerHost()
{
    return value("ZOCUT_IMAGE_SERVER_HOST", ZOCUT_DEFAULT_IMAGE_SERVER_HOST);
}
