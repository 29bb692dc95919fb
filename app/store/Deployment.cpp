#include "Deployment.h"

#include "DeploymentDefaults.h"

#include <QtGlobal>

QString Deployment::value(const char* environmentName, const char* builtIn)
{
    const QByteArray fromEnvironment = qgetenv(environmentName);
    return fromEnvironment.isEmpty() ? QString::fromUtf8(builtIn) : QString::fromUtf8(fromEnvironment);
}

QString Deployment::apiBase()
{
    QString base = value("ZOCUT_API_BASE", ZOCUT_DEFAULT_API_BASE);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

QString Deployment::designHost()
{
    QString host = value("ZOCUT_DESIGN_HOST", ZOCUT_DEFAULT_DESIGN_HOST);
    if (!host.endsWith(QLatin1Char('/')))
        host += QLatin1Char('/');
    return host;
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
