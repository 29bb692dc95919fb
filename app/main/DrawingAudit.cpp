#include "DrawingAudit.h"

#include "CActionHistory.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGGraphicsItem.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "SvgCodes.h"

#include <QApplication>
#include <QDir>
#include <QFile>

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

// Both texts go to the temporary folder, so that a failed round trip can
// be compared without replaying the run; the message names them.
QString keepTexts(const QString& tab, const std::wstring& before, const std::wstring& after)
{
    const QString stem = QDir::temp().filePath(
        QStringLiteral("zocut-roundtrip-%1-%2").arg(QCoreApplication::applicationPid()).arg(tab));
    const std::pair<const char*, const std::wstring*> texts[] = { { "before", &before }, { "after", &after } };
    for (const auto& text : texts) {
        QFile file(QStringLiteral("%1-%2.svg").arg(stem, QLatin1String(text.first)));
        if (file.open(QIODevice::WriteOnly))
            file.write(QString::fromStdWString(*text.second).toUtf8());
    }
    return QStringLiteral("%1-before.svg, %1-after.svg").arg(stem);
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
        const std::wstring after = document->toSvgText();
        if (undone != redone || after != before) {
            problems << QStringLiteral("%1: %2 steps undone and %3 redone give another SVG text (%4)")
                            .arg(tabName(view))
                            .arg(undone)
                            .arg(redone)
                            .arg(keepTexts(view->getAutosaveName(), before, after));
        }
    }
    return problems.join(QLatin1Char('\n'));
}
