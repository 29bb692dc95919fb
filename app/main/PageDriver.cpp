#include "PageDriver.h"

#include "Prompt.h"
#include "WidgetLocator.h"

#include <QDebug>
#include <QDir>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>

namespace {
// Names chosen ahead for the file dialogs, first one first.
QStringList& chosenFiles()
{
    static QStringList names;
    return names;
}
} // namespace

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
        const bool file = kind == Prompt::Kind::OpenFile || kind == Prompt::Kind::SaveFile;
        if (!file || chosenFiles().isEmpty())
            return QVariant();
        return QVariant(QDir::current().absoluteFilePath(chosenFiles().takeFirst()));
    });
}

void PageDriver::start(QQuickView& view)
{
    if (!isEnabled())
        return;
    view.rootContext()->setContextProperty(QStringLiteral("widgets"), new WidgetLocator(&view));
    view.rootContext()->setContextProperty(QStringLiteral("prompts"), new PageDriver(&view));
    QQmlComponent component(view.engine(), QUrl::fromLocalFile(path()));
    QObject* driver = component.create(view.rootContext());
    if (!driver) {
        qWarning().noquote() << "page driver not started:" << component.errorString();
        return;
    }
    driver->setParent(view.rootObject());
}

void PageDriver::chooseFile(const QString& name)
{
    chosenFiles() << name;
}
