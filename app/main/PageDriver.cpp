#include "PageDriver.h"

#include "Prompt.h"
#include "WidgetLocator.h"

#include <QDebug>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>

QString PageDriver::path()
{
    return qEnvironmentVariable("ZOCUT_PAGE_DRIVER");
}

bool PageDriver::isEnabled()
{
    return !path().isEmpty();
}

void PageDriver::answerPromptsInLog()
{
    if (!isEnabled())
        return;
    Prompt::setHandler([](Prompt::Kind kind, const QString& title, const QString& text) {
        qInfo().noquote() << QStringLiteral("prompt %1 [%2] %3").arg(int(kind)).arg(title, text);
        return QVariant();
    });
}

void PageDriver::start(QQuickView& view)
{
    if (!isEnabled())
        return;
    view.rootContext()->setContextProperty(QStringLiteral("widgets"), new WidgetLocator(&view));
    QQmlComponent component(view.engine(), QUrl::fromLocalFile(path()));
    QObject* driver = component.create(view.rootContext());
    if (!driver) {
        qWarning().noquote() << "page driver not started:" << component.errorString();
        return;
    }
    driver->setParent(view.rootObject());
}
