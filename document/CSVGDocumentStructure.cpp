// Structure commands: grouping and ungrouping, stacking, locking, merging,
// mirroring, offsetting, automatic grouping and repair.

#include "CActionAdd.h"
#include "CActionAttr.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CActionGroup.h"
#include "CActionLayer.h"
#include "CActionUnGroup.h"
#include "CGlobalConfig.h"
#include "CSVGClipper.h"
#include "CSVGDataRepair.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGElementStyleable.h"
#include "CSVGPathSegLineto.h"
#include "CSVGPathSegMoveto.h"
#include "CSVGShapeBoolean.h"
#include "CSVGUtils.h"
#include "ParallelLoop.h"
#include "SvgCodes.h"

#include <algorithm>
#include <exception>
#include <unordered_set>

namespace {

const wchar_t* const kGroupPaint[] = { L"fill", L"fill-opacity", L"stroke", L"stroke-opacity", L"opacity" };

bool isAncestorOf(const CSVGElement* ancestor, const CSVGElement* element)
{
    for (const CSVGElement* up = element; up; up = up->getParent()) {
        if (up == ancestor)
            return true;
    }
    return false;
}

// The leaf with the largest own box, the first on equal areas, so that in a
// group of lines the first line is offset and the others stay; the element
// itself when it has no shape leaf.
CSVGElementShape* offsetSource(CSVGElement* element)
{
    CSVGElementShape* source = nullptr;
    double largest = -1.0;
    for (CSVGElement* leaf : CSVGUtils::collectShapes(element)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(leaf);
        const CSVGRect box = shape ? shape->getBoundingRect() : CSVGRect();
        const double area = box.width * box.height;
        if (shape && area > largest) {
            largest = area;
            source = shape;
        }
    }
    return source ? source : CSVGElementShape::asShape(element);
}

// Whether an element of the list lies inside another one of it, or is in
// it twice.
bool nestsOrRepeats(const QVector<CSVGElement*>& selection)
{
    const std::unordered_set<const CSVGElement*> selected(selection.begin(), selection.end());
    if (selected.size() != std::size_t(selection.size()))
        return true;
    for (const CSVGElement* element : selection) {
        for (const CSVGElement* up = element->getParent(); up; up = up->getParent())
            if (selected.count(up))
                return true;
    }
    return false;
}

} // namespace

// The drawing order is renumbered first: loads, drawings and merges since the
// last numbering would otherwise change the stacking.
void CSVGDocument::groupSelection()
{
    CSVGElement* root = getOwnerSvg();
    if (!root || m_selection.size() < 2)
        return;
    renumberDrawingOrder();
    QVector<CSVGElement*> selected = m_selection;
    std::stable_sort(selected.begin(), selected.end(), lessByDrawingOrder);
    CSVGElement* group = createElement(L"g");
    root->appendChild(group, false, true);
    // Taken out from the last, so that each leaves the end of its parent's
    // list, and put in from the first.
    std::vector<CSVGElement*> moving;
    for (auto element = selected.rbegin(); element != selected.rend(); ++element) {
        if (!*element || !(*element)->getParent() || isAncestorOf(*element, group))
            continue;
        (*element)->getParent()->detachChild(*element);
        moving.push_back(*element);
    }
    for (auto element = moving.rbegin(); element != moving.rend(); ++element)
        group->appendChild(*element, false, false);
    group->updateMatrix(nullptr, true);
    if (CSVGElementShape* shape = CSVGElementShape::asShape(group))
        shape->updateGeometry();
    clearSelection();
    selectElement(group, Qt::green);
    m_history.push(new CActionGroup(this, group));
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::ungroupSelection()
{
    const QVector<CSVGElement*> selected = m_selection;
    if (std::none_of(selected.begin(), selected.end(),
            [](const CSVGElement* element) { return element->getType() == SvgType::G; }))
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    clearSelection();
    for (auto element = selected.rbegin(); element != selected.rend(); ++element) {
        if ((*element)->getType() == SvgType::G && (*element)->getParent())
            ungroup(*element, step);
    }
    m_contentChanged = true;
}

// The children take the group's place in their order; the group's transform
// goes in front of each shape child's own, unless the product overflows.
void CSVGDocument::ungroup(CSVGElement* group, CActionComposite* step)
{
    if (group->isStyleable())
        static_cast<CSVGElementStyleable*>(group)->flattenStyles();
    step->addAction(new CActionUnGroup(this, group));
    CSVGElement* parent = group->getParent();
    const CSVGMatrix groupMatrix = group->getTransformMatrix();
    for (int i = group->getChildCount() - 1; i >= 0; --i) {
        CSVGElement* child = group->getChild(i);
        parent->insertChildAfter(child, group, false);
        if (!child->isShape())
            continue;
        pushGroupPaint(step, group, child);
        CSVGMatrix matrix = groupMatrix;
        matrix.multiply(child->getTransformMatrix());
        if (matrix.isFinite())
            child->setTransform(matrix, true);
        child->updateMatrix(nullptr, true);
        selectElement(child, Qt::green);
    }
    group->removeFromParent(true);
}

void CSVGDocument::pushGroupPaint(CActionComposite* step, CSVGElement* group, CSVGElement* child)
{
    if (!step || !group || !child)
        return;
    for (const wchar_t* name : kGroupPaint) {
        const std::wstring value = group->getAttribute(name);
        if (value.empty() || !child->getAttribute(name).empty())
            continue;
        auto* change = new CActionAttr(this, child, name);
        step->addAction(change);
        child->setAttribute(name, value, true);
        change->captureAfterState();
    }
}

// The piece goes last among its parent's children, which for a piece is the
// root, so that undo and redo move it within one parent.
void CSVGDocument::bringToFront()
{
    if (m_selection.size() != 1)
        return;
    CSVGElement* element = m_selection.first();
    CSVGElement* parent = element->getParent();
    if (!parent)
        return;
    auto* layer = new CActionLayer(this, element);
    m_history.push(layer);
    parent->adoptChild(element, true);
    layer->captureAfterState();
    renumberDrawingOrder();
    m_contentChanged = true;
}

// The canvas frame follows the emptied selection through selectionChanged.
void CSVGDocument::lockSelection()
{
    if (m_currentElement) {
        m_currentElement->setLocked(true);
        m_highlights.removeElement(m_currentElement);
        m_currentElement = nullptr;
    } else if (!m_selection.isEmpty()) {
        for (CSVGElement* element : qAsConst(m_selection)) {
            element->setLocked(true);
            m_highlights.removeElement(element);
        }
        clearSelection();
    }
    m_overlayChanged = true;
}

void CSVGDocument::unlockAll()
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    std::vector<CSVGElement*> elements;
    root->collectDescendants(elements, false);
    for (CSVGElement* element : elements)
        element->setLocked(false);
}

// The merged pieces leave the selection, so that no later command records
// them again; an empty union leaves everything as it was.
void CSVGDocument::mergeShapes()
{
    CSVGElement* root = getOwnerSvg();
    if (!root || m_selection.isEmpty())
        return;
    const QVector<CSVGElement*> selected = m_selection;
    const QList<CSVGElement*> merged
        = CSVGShapeBoolean(this).unite(QList<CSVGElement*>(selected.begin(), selected.end()));
    if (merged.isEmpty())
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    for (CSVGElement* element : merged)
        step->addAction(new CActionAdd(this, root, element));
    unselectShapes();
    // Last first: pieces selected in drawing order then leave their parent's
    // list from its end, and nothing behind them moves down each time.
    for (auto element = selected.rbegin(); element != selected.rend(); ++element) {
        if (!(*element)->isShape())
            continue;
        step->addAction(new CActionDel(this, *element));
        (*element)->removeFromParent(true);
    }
    m_contentChanged = true;
}

void CSVGDocument::unselectShapes()
{
    m_selectionRect = QRectF();
    m_overlayChanged = true;
    for (CSVGElement* element : qAsConst(m_selection)) {
        if (element->isShape())
            m_highlights.removeElement(element);
    }
    m_selection.erase(std::remove_if(m_selection.begin(), m_selection.end(),
                          [](const CSVGElement* element) { return element->isShape(); }),
        m_selection.end());
}

// A piece whose matrix has no inverse, or whose flip overflows, keeps its
// transform.
void CSVGDocument::mirrorBottom()
{
    if (m_selection.isEmpty())
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    for (CSVGElement* element : QVector<CSVGElement*>(m_selection)) {
        auto* change = new CActionAttr(this, element, L"transform");
        step->addAction(change);
        if (CSVGElementShape* shape = CSVGElementShape::asShape(element)) {
            CSVGMatrix mirrored;
            if (!verticalFlip(shape, mirrored) || !mirrored.isFinite())
                continue;
            element->setTransform(mirrored, true);
        } else {
            element->setAttribute(L"transform", std::wstring(), true);
        }
        element->updateMatrix(nullptr, true);
        change->captureAfterState();
        m_highlights.addElement(element, Qt::green);
    }
    m_overlayChanged = true;
    m_contentChanged = true;
}

// Pieces apart from each other are offset on all cores: the outlines are
// read first, the rings computed from them alone, and the tree changed
// after, in the order of the selection. A selection that holds an element
// and one of its descendants, or one twice, goes one element at a time, since offsetting
// the one changes what the other finds.
void CSVGDocument::offsetSelection(
    double delta, double arcTolerance, ClipperLib::JoinType joinType, ClipperLib::EndType endType)
{
    if (m_selection.isEmpty())
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    const OffsetRequest request { delta, arcTolerance, joinType, endType,
        g_config.getSetting(QStringLiteral("BezierFlatteningThreshold")).toDouble() };
    const QVector<CSVGElement*> selection = m_selection;
    if (nestsOrRepeats(selection)) {
        for (CSVGElement* element : selection) {
            OffsetPlan plan;
            if (planOffset(element, request, plan)) {
                offsetRing(plan, request);
                applyOffset(plan, step);
            }
        }
    } else {
        std::vector<OffsetPlan> plans(static_cast<std::size_t>(selection.size()));
        for (int i = 0; i < selection.size(); ++i)
            planOffset(selection[i], request, plans[std::size_t(i)]);
        // A ring beyond the clipping library's range throws; the first such
        // failure is the command's, as it would be one piece at a time.
        std::vector<std::exception_ptr> failures(plans.size());
        ParallelLoop::run(selection.size(), 0, [&](int i) {
            try {
                offsetRing(plans[std::size_t(i)], request);
            } catch (...) {
                failures[std::size_t(i)] = std::current_exception();
            }
        });
        for (const std::exception_ptr& failure : failures) {
            if (failure)
                std::rethrow_exception(failure);
        }
        for (OffsetPlan& plan : plans)
            applyOffset(plan, step);
    }
    clearSelection();
    m_overlayChanged = true;
    m_contentChanged = true;
}

// The new path lies where the outline was computed: its transform undoes
// whatever its parent's matrix is. A parent without inverse keeps the source.
bool CSVGDocument::planOffset(CSVGElement* element, const OffsetRequest& request, OffsetPlan& plan)
{
    plan.source = offsetSource(element);
    plan.parent = plan.source ? plan.source->getParent() : nullptr;
    if (!plan.parent)
        return false;
    plan.toParent = plan.parent->getMatrix();
    if (!plan.toParent.invert()) {
        plan.parent = nullptr;
        return false;
    }
    plan.outline = CSVGElementShape::getLargestPolygon(plan.source->getTransformedPath(), request.curveTolerance);
    return true;
}

void CSVGDocument::offsetRing(OffsetPlan& plan, const OffsetRequest& request)
{
    if (!plan.parent)
        return;
    plan.ring = CSVGElementShape::getLargestPolygon(CSVGClipper::offsetOutline(
        plan.outline, request.delta, request.arcTolerance, request.joinType, request.endType));
    if (plan.ring.size() < 3)
        return;
    const QPointF* points = plan.ring.constData();
    CSVGPathSegList segments;
    segments.reserve(std::size_t(plan.ring.size()));
    segments.emplace_back(new CSVGPathSegMoveto(points[0].x(), points[0].y()));
    for (int i = 1; i < plan.ring.size(); ++i)
        segments.emplace_back(new CSVGPathSegLineto(points[i].x(), points[i].y()));
    plan.path = CSVGElementPath::prepare(std::move(segments));
}

void CSVGDocument::applyOffset(OffsetPlan& plan, CActionComposite* step)
{
    const QPolygonF& ring = plan.ring;
    if (!plan.parent || ring.size() < 3)
        return;
    CSVGElementShape* source = plan.source;
    CSVGElement* parent = plan.parent;
    CSVGElementPath* path = createPathElement(std::move(plan.path));
    path->setAttribute(L"position_id", source->getAttribute(L"position_id"), true);
    if (parent->getType() == SvgType::G || !plan.toParent.isIdentity())
        path->setAttribute(L"transform", plan.toParent.toString(), true);
    parent->adoptChild(path, true);
    path->updateMatrix(nullptr, true);
    step->addAction(new CActionAdd(this, parent, path));
    step->addAction(new CActionDel(this, source));
    source->removeFromParent(true);
}

// The groups that the nesting adds are one step, so that undo past it finds
// the tree that earlier steps recorded. The units it hands back without a
// parent (single outlines) are not used.
void CSVGDocument::autoGroup()
{
    CSVGDataRepair repair(this, {});
    auto* step = new CActionComposite(this);
    for (CSVGElement* element : repair.autoGroup()) {
        if (CSVGElement* parent = element->getParent())
            step->addAction(new CActionAdd(this, parent, element));
        else
            delete element;
    }
    if (step->getActions().empty())
        delete step;
    else
        m_history.push(step);
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::repairData(int)
{
    CSVGElement* root = getOwnerSvg();
    if (!root || root->getChildCount() == 0)
        return;
    CSVGDataRepair repair(this, {});
    m_history.push(repair.repair());
    m_contentChanged = true;
    clearSelection();
}
