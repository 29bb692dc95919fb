// The outline node tools that take marked vertices out of an outline: delete
// point and cut curve.

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "SvgCodes.h"

#include <QLineF>

#include <set>
#include <utility>

namespace {
// Bisection halves the step each time: a thousand rounds reach any finite
// distance down to the unit, so this only stops an endless loop on values
// that never settle.
constexpr int kMaximumBisections = 1100;
} // namespace

void CSVGDocument::deletePoint()
{
    CSVGElement* element = getFirstSelected();
    if (!element)
        return;
    if (element->isShape())
        deleteMarkedPoints(element);
    setEditMode(EditMode::Select);
    setContentChanged(true);
}

// Every copy of a marked point goes, wherever it occurs in the outline: a
// set of the points rather than their indices, which shift as points go.
void CSVGDocument::deleteMarkedPoints(CSVGElement* element)
{
    CSVGElementShape* target = outlineTarget(element);
    const QPolygonF outline = openOutline(target);
    const QList<int> marks = validMarks(target, outline.size());
    if (marks.isEmpty())
        return;
    std::set<std::pair<double, double>> removed;
    for (int index : marks)
        removed.insert({ outline[index].x(), outline[index].y() });
    QPolygonF kept;
    for (const QPointF& point : outline) {
        if (removed.count({ point.x(), point.y() }) == 0)
            kept.append(point);
    }
    if (!kept.isEmpty())
        kept.append(kept.first());
    if (kept.size() < 3)
        return;
    QPainterPath ring;
    ring.addPolygon(kept);
    replaceTarget(element, target, { ring });
}

void CSVGDocument::cutCurve()
{
    CSVGElement* element = getFirstSelected();
    if (!element)
        return;
    if (!element->isShape()) {
        clearSelection();
        setEditMode(EditMode::Select);
        return;
    }
    if (!cutMarkedRuns(element))
        return;
    clearSelection();
    setEditMode(EditMode::Select);
    setContentChanged(true);
}

bool CSVGDocument::cutMarkedRuns(CSVGElement* element)
{
    CSVGElementShape* target = outlineTarget(element);
    QPolygonF outline = target ? CSVGElementShape::getLargestPolygon(target->getTransformedPath()) : QPolygonF();
    const bool closed = outline.isClosed();
    const QList<int> marks = validMarks(target, closed ? outline.size() - 1 : outline.size());
    if (marks.isEmpty())
        return false;
    if (closed && outline.size() > 1 && marks.first() == 0)
        outline.removeLast();
    std::vector<bool> marked(std::size_t(outline.size()), false);
    for (int index : marks)
        marked[std::size_t(index)] = true;
    QList<QPainterPath> pieces;
    for (const QPolygonF& run : cutRuns(outline, marked, closed, target->getNodeSelectionArea())) {
        if (run.size() < 2)
            continue;
        pieces.append(QPainterPath());
        pieces.last().addPolygon(run);
    }
    // A lone point is nothing the plotter could cut: the piece stays.
    if (pieces.isEmpty()) {
        showWarning(tr("Waring"), tr("Invalid selection!"));
        return false;
    }
    replaceTarget(element, target, pieces);
    return true;
}

// Each run of unmarked vertices ends where its edge towards a marked vertex
// leaves the node-selection area.
QList<QPolygonF> CSVGDocument::cutRuns(
    const QPolygonF& outline, const std::vector<bool>& marked, bool closed, const QPainterPath& area)
{
    const int count = outline.size();
    QList<QPolygonF> runs;
    QPolygonF run;
    for (int i = 0; i < count; ++i) {
        if (marked[std::size_t(i)]) {
            if (!run.isEmpty())
                runs.append(std::exchange(run, QPolygonF()));
            continue;
        }
        const int previous = (i + count - 1) % count;
        const int next = (i + 1) % count;
        if (closed && marked[std::size_t(previous)])
            run.append(crossingPoint(outline[i], outline[previous], area));
        run.append(outline[i]);
        if ((closed || i < count - 1) && marked[std::size_t(next)])
            run.append(crossingPoint(outline[i], outline[next], area));
    }
    if (!run.isEmpty())
        runs.append(run);
    if (runs.size() >= 2 && runs.first().first() == runs.last().last()) {
        runs.last() += runs.first().mid(1);
        runs.removeFirst();
    }
    return runs;
}

QPointF CSVGDocument::crossingPoint(QPointF inside, QPointF outside, const QPainterPath& area)
{
    QPointF middle = (inside + outside) / 2;
    for (int round = 0; QLineF(inside, middle).length() > 1.0 && round < kMaximumBisections; ++round) {
        if (area.contains(middle))
            outside = middle;
        else
            inside = middle;
        middle = (inside + outside) / 2;
    }
    return middle;
}

// The outlines take the target's place. A group keeps its other shapes, as
// copies that keep their ids (pieces are found by id), in a new group with
// the old one's transform; anything else gives way to the outlines alone.
// The removed element's ids map to the copies once it is out of the tree,
// and back whenever an undo returns it.
void CSVGDocument::replaceTarget(CSVGElement* element, CSVGElement* target, const QList<QPainterPath>& outlines)
{
    auto* step = new CActionComposite(this);
    m_history.push(step);
    clearSelection();
    CSVGElement* parent = element->getParent();
    QList<CSVGElement*> others;
    for (int i = 0; element->getType() == SvgType::G && i < element->getChildCount(); ++i) {
        if (element->getChild(i) != target && element->getChild(i)->isShape())
            others.append(element->getChild(i));
    }
    if (element->getType() != SvgType::G || outlines.size() + others.size() < 2) {
        for (const QPainterPath& outline : outlines) {
            CSVGElementPath* path = addOutlinePath(outline, parent, target);
            step->addAction(new CActionAdd(this, parent, path));
            selectElement(path, Qt::green);
        }
    } else {
        CSVGElement* group = createElement(L"g");
        const std::wstring transform = element->getAttribute(L"transform");
        if (!transform.empty())
            group->setAttribute(L"transform", transform, false);
        parent->adoptChild(group, true);
        group->updateMatrix(nullptr, true);
        for (const QPainterPath& outline : outlines)
            step->addAction(new CActionAdd(this, group, addOutlinePath(outline, group, target)));
        for (CSVGElement* other : qAsConst(others)) {
            CSVGElement* copy = other->cloneKeepId(true);
            group->adoptChild(copy, true);
            step->addAction(new CActionAdd(this, group, copy));
        }
        group->updateMatrix(nullptr, true);
        step->addAction(new CActionAdd(this, parent, group));
        selectElement(group, Qt::green);
    }
    step->addAction(new CActionDel(this, element));
    element->removeFromParent(true);
}
