#include "DrawingAudit.h"

#include "CActionHistory.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGGraphicsItem.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "SvgCodes.h"

#include <QApplication>

namespace {
QList<CSVGView*> views()
{
    QList<CSVGView*> found;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* view = qobject_cast<CSVGView*>(widget))
            found << view;
    }
    return found;
}

bool inTree(const CSVGElement* element, const CSVGElement* root)
{
    while (element && element != root)
        element = element->getParent();
    return element && element == root;
}

QString tabName(CSVGView* view)
{
    return QStringLiteral("\"%1\"").arg(view->getAutosaveName());
}

// A history longer than this is a loop, not a history.
const int kMostSteps = 100000;
} // namespace

QString DrawingAudit::strayItems() const
{
    QStringList problems;
    for (CSVGView* view : views()) {
        const CSVGElement* root = view->getDocument()->getOwnerSvg();
        int stray = 0;
        int items = 0;
        for (QGraphicsItem* item : view->getScene()->items()) {
            const auto* shown = dynamic_cast<CSVGGraphicsItem*>(item);
            if (!shown)
                continue;
            ++items;
            stray += inTree(shown->getElement(), root) ? 0 : 1;
        }
        if (stray > 0)
            problems << QStringLiteral("%1: %2 of %3 piece items show no element of the document")
                            .arg(tabName(view))
                            .arg(stray)
                            .arg(items);
    }
    return problems.join(QLatin1Char('\n'));
}

QString DrawingAudit::undoRedoRoundTrip() const
{
    QStringList problems;
    for (CSVGView* view : views()) {
        CSVGDocument* document = view->getDocument();
        // Undo is offered only once the tear line is taken away again.
        if (document->hasTearLine())
            view->createTearLine(false);
        view->setDrawMode(EditMode::Select);
        // From the top of the history: what was undone last is redone first.
        for (int pending = 0; document->getHistory().canRedo() && pending < kMostSteps; ++pending)
            view->OnRedo();
        const std::wstring before = document->toSvgText();
        int undone = 0;
        for (; document->getHistory().canUndo() && undone < kMostSteps; ++undone)
            view->OnUndo();
        int redone = 0;
        for (; document->getHistory().canRedo() && redone < kMostSteps; ++redone)
            view->OnRedo();
        if (undone != redone || document->toSvgText() != before) {
            problems << QStringLiteral("%1: %2 steps undone and %3 redone give another SVG text")
                            .arg(tabName(view))
                            .arg(undone)
                            .arg(redone);
        }
    }
    return problems.join(QLatin1Char('\n'));
}
