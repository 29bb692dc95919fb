#include "DialogDirection.h"

#include <QDialog>
#include <QEvent>
#include <QLocale>

Qt::LayoutDirection DialogDirection::current()
{
    return QLocale().textDirection();
}

bool DialogDirection::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::LanguageChange) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow() && dialog->layoutDirection() != current())
            dialog->setLayoutDirection(current());
    }
    return QObject::eventFilter(watched, event);
}
