#include "WidgetLocator.h"

#include "CMainFrame.h"
#include "CSVGView.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
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
    const QString shown = QCoreApplication::translate("CMainFrame", actionText.toUtf8().constData());
    for (const QWidget* widget : QApplication::allWidgets()) {
        const auto* button = qobject_cast<const QToolButton*>(widget);
        const QAction* action = button && button->isVisible() ? button->defaultAction() : nullptr;
        if (action && (action->text() == actionText || action->text() == shown))
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

namespace {
// Where the first selected piece stands among the pieces; -1 for none.
int firstSelected(CSVGDocument* document)
{
    CSVGElement* root = document->getOwnerSvg();
    const QVector<CSVGElement*> selection = document->getSelection();
    for (int i = 0; !selection.isEmpty() && i < root->getChildCount(); ++i) {
        if (root->getChild(i) == selection.first())
            return i;
    }
    return -1;
}
} // namespace

QString WidgetLocator::documentState() const
{
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* frame = qobject_cast<CMainFrame*>(widget);
        CSVGView* view = frame ? frame->currentView() : nullptr;
        if (!view)
            continue;
        CSVGDocument* document = view->getDocument();
        const QByteArray text = QString::fromStdWString(document->toSvgText()).toUtf8();
        return QStringLiteral("pieces %1 selected %2 first %3 scale %4 text %5 idle %6")
            .arg(document->getOwnerSvg()->getChildCount())
            .arg(document->getSelection().size())
            .arg(firstSelected(document))
            .arg(view->displayScale())
            .arg(QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex().left(12)))
            .arg(QApplication::mouseButtons() == Qt::NoButton ? 1 : 0);
    }
    return QString();
}
