#include "WidgetLocator.h"

#include <QAction>
#include <QApplication>
#include <QGraphicsView>
#include <QToolButton>

namespace {
QString screenRect(const QWidget* widget)
{
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4").arg(origin.x()).arg(origin.y()).arg(widget->width()).arg(widget->height());
}
} // namespace

QString WidgetLocator::buttonRect(const QString& actionText) const
{
    for (const QWidget* widget : QApplication::allWidgets()) {
        const auto* button = qobject_cast<const QToolButton*>(widget);
        if (button && button->isVisible() && button->defaultAction() && button->defaultAction()->text() == actionText)
            return screenRect(button);
    }
    return QString();
}

QString WidgetLocator::canvasRect() const
{
    for (const QWidget* widget : QApplication::allWidgets()) {
        const auto* view = qobject_cast<const QGraphicsView*>(widget);
        if (view && view->isVisible())
            return screenRect(view->viewport());
    }
    return QString();
}
