#include "WidgetLocator.h"

#include "CMainFrame.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QGraphicsView>
#include <QMenu>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

namespace {
QString screenRect(const QWidget* widget)
{
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4").arg(origin.x()).arg(origin.y()).arg(widget->width()).arg(widget->height());
}

QVariantMap shownWidget(const QWidget* widget)
{
    return { { QStringLiteral("rect"), screenRect(widget) }, { QStringLiteral("enabled"), widget->isEnabled() } };
}

CMainFrame* mainFrame()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* frame = qobject_cast<CMainFrame*>(widget))
            return frame;
    }
    return nullptr;
}
// The button that unfolds a toolbar too narrow for all of its buttons, when
// the button is one that it hides.
const QWidget* unfoldingButton(const QToolButton* button)
{
    const auto* bar = qobject_cast<const QToolBar*>(button->parentWidget());
    const QWidget* unfold = bar ? bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")) : nullptr;
    return unfold && unfold->isVisible() && bar->isVisible() ? unfold : nullptr;
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

QVariantList WidgetLocator::toolButtons() const
{
    QVariantList buttons;
    for (const QWidget* widget : QApplication::allWidgets()) {
        const auto* button = qobject_cast<const QToolButton*>(widget);
        const QAction* action = button ? button->defaultAction() : nullptr;
        if (!action || !action->isVisible())
            continue;
        QVariantMap shown = shownWidget(button);
        if (!button->isVisible()) {
            const QWidget* unfold = unfoldingButton(button);
            if (!unfold)
                continue;
            shown.insert(QStringLiteral("rect"), QString());
            shown.insert(QStringLiteral("via"), screenRect(unfold));
        }
        shown.insert(QStringLiteral("name"), action->objectName());
        shown.insert(QStringLiteral("text"), action->text());
        buttons << shown;
    }
    // An unfolded toolbar shows what it hid as the entries of a menu.
    for (const QWidget* widget : QApplication::allWidgets()) {
        const auto* menu = qobject_cast<const QMenu*>(widget);
        for (QAction* action : menu && menu->isVisible() ? menu->actions() : QList<QAction*>()) {
            const QRect entry = menu->actionGeometry(action);
            if (action->isSeparator() || !action->isVisible() || action->objectName().isEmpty() || entry.isEmpty())
                continue;
            const QPoint origin = menu->mapToGlobal(entry.topLeft());
            buttons << QVariantMap { { QStringLiteral("name"), action->objectName() },
                { QStringLiteral("text"), action->text() }, { QStringLiteral("enabled"), action->isEnabled() },
                { QStringLiteral("rect"),
                    QStringLiteral("%1 %2 %3 %4")
                        .arg(origin.x())
                        .arg(origin.y())
                        .arg(entry.width())
                        .arg(entry.height()) } };
        }
    }
    return buttons;
}

namespace {
const QTabBar* documentTabBar()
{
    CMainFrame* frame = mainFrame();
    const QTabBar* bar = frame && frame->tabWidget() ? frame->tabWidget()->tabBar() : nullptr;
    return bar && bar->isVisible() ? bar : nullptr;
}

// The tab bar's arrows that scroll tabs into sight, left one first.
QList<const QToolButton*> tabArrows(const QTabBar* bar)
{
    QList<const QToolButton*> arrows { nullptr, nullptr };
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>()) {
        if (arrow->arrowType() == Qt::LeftArrow || arrow->arrowType() == Qt::RightArrow)
            arrows[arrow->arrowType() == Qt::LeftArrow ? 0 : 1] = arrow;
    }
    return arrows;
}

// Whether a person sees the whole tab: inside the bar and clear of its arrows.
bool tabInSight(const QTabBar* bar, const QRect& rect)
{
    for (const QToolButton* arrow : tabArrows(bar)) {
        if (arrow && arrow->isVisible() && arrow->geometry().intersects(rect))
            return false;
    }
    return bar->rect().contains(rect);
}
} // namespace

QVariantList WidgetLocator::tabs() const
{
    const QTabBar* bar = documentTabBar();
    QVariantList tabs;
    for (int i = 0; bar && i < bar->count(); ++i) {
        const QRect rect = bar->tabRect(i);
        const QPoint origin = bar->mapToGlobal(rect.topLeft());
        const QWidget* close = bar->tabButton(i, QTabBar::RightSide);
        const bool inSight = tabInSight(bar, rect);
        tabs << QVariantMap { { QStringLiteral("text"), mainFrame()->tabWidget()->nameText(i) },
            { QStringLiteral("rect"),
                inSight
                    ? QStringLiteral("%1 %2 %3 %4").arg(origin.x()).arg(origin.y()).arg(rect.width()).arg(rect.height())
                    : QString() },
            { QStringLiteral("close"), inSight && close && close->isVisible() ? screenRect(close) : QString() } };
    }
    return tabs;
}

QVariantList WidgetLocator::tabScrollButtons() const
{
    const QTabBar* bar = documentTabBar();
    QVariantList arrows;
    for (const QToolButton* arrow : bar ? tabArrows(bar) : QList<const QToolButton*>()) {
        const bool usable = arrow && arrow->isVisible() && arrow->isEnabled();
        arrows << (usable ? screenRect(arrow) : QString());
    }
    return arrows;
}

QVariantMap WidgetLocator::widget(const QString& name) const
{
    const QWidgetList widgets = QApplication::allWidgets();
    for (const QWidget* widget : widgets) {
        if (widget->isVisible() && widget->objectName() == name)
            return shownWidget(widget);
    }
    for (const QWidget* widget : widgets) {
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        if (button && button->isVisible() && button->text().remove(QLatin1Char('&')) == name)
            return shownWidget(button);
    }
    return {};
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
    CMainFrame* frame = mainFrame();
    if (CSVGView* view = frame ? frame->currentView() : nullptr) {
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
