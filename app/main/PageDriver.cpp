#include "PageDriver.h"

#include "DrawingAudit.h"
#include "DriverChannel.h"
#include "DriverHook.h"
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

struct Answers
{
    int button = 0;
    int dialogResult = -1;
};

Answers& answers()
{
    static Answers given;
    return given;
}

QVariant answerTo(Prompt::Kind kind)
{
    switch (kind) {
    case Prompt::Kind::OpenFile:
    case Prompt::Kind::SaveFile:
        return chosenFiles().isEmpty() ? QVariant()
                                       : QVariant(QDir::current().absoluteFilePath(chosenFiles().takeFirst()));
    case Prompt::Kind::Modal:
        return answers().dialogResult < 0 ? QVariant() : QVariant(answers().dialogResult);
    default:
        return answers().button == 0 ? QVariant() : QVariant(answers().button);
    }
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
        return answerTo(kind);
    });
}

void PageDriver::start(QQuickView& view)
{
    if (!isEnabled())
        return;
    view.rootContext()->setContextProperty(QStringLiteral("widgets"), new WidgetLocator(&view));
    view.rootContext()->setContextProperty(QStringLiteral("prompts"), new PageDriver(&view));
    view.rootContext()->setContextProperty(QStringLiteral("audit"), new DrawingAudit(&view));
    view.rootContext()->setContextProperty(
        QStringLiteral("channel"), DriverChannel::name().isEmpty() ? nullptr : new DriverChannel(&view));
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

void PageDriver::answerWith(int button, int dialogResult)
{
    answers() = { button, dialogResult };
}

void DriverHook::beforeFirstPrompt()
{
    PageDriver::answerPromptsInLog();
}

void DriverHook::pagesLoaded(QQuickView& view)
{
    PageDriver::start(view);
}
