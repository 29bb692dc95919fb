// What the mouse tools and keys do to the selection as a whole: select all,
// delete, rotate, the size texts, and the refresh and mirror helpers that
// other commands share.

#include "CActionComposite.h"
#include "CActionDel.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGRotation.h"
#include "SafeTruncate.h"

#include <algorithm>
#include <climits>
#include <map>
#include <unordered_map>
#include <unordered_set>

// One selection change for all of them.
void CSVGDocument::selectAll()
{
    clearSelection();
    CSVGElement* root = getOwnerSvg();
    if (root) {
        m_selection.reserve(root->getChildCount());
        m_selected.reserve(root->getChildCount());
    }
    bool added = false;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        if (root->getChild(i)->isShape())
            added = addToSelection(root->getChild(i), Qt::green) || added;
    }
    m_overlayChanged = true;
    if (added)
        emit selectionChanged();
}

CSVGElement* CSVGDocument::getSelectedElement(bool preferCurrent) const
{
    if (m_selection.size() != 1)
        return nullptr;
    return preferCurrent && m_currentElement ? m_currentElement : m_selection.first();
}

CSVGElementShape* CSVGDocument::toShape(CSVGElement* element)
{
    return CSVGElementShape::asShape(element);
}

// Hangs in this document's drawing (an undone addition does not).
bool CSVGDocument::isInDrawing(const CSVGElement* element) const
{
    const CSVGElement* root = const_cast<CSVGDocument*>(this)->getOwnerSvg();
    for (const CSVGElement* ancestor = element ? element->getParent() : nullptr; ancestor;
         ancestor = ancestor->getParent()) {
        if (ancestor == root)
            return true;
    }
    return false;
}

// An element that an undo took out of the drawing is not deleted again.
bool CSVGDocument::deleteSelection()
{
    if (m_selection.isEmpty())
        return true;
    if (m_currentElement && isInDrawing(m_currentElement)) {
        auto* step = new CActionComposite(this);
        m_history.push(step);
        step->addAction(new CActionDel(this, m_currentElement));
        m_currentElement->removeFromParent(true);
        clearCurrentElement();
        m_contentChanged = true;
        return true;
    }
    std::vector<CSVGElement*> doomed;
    for (CSVGElement* element : qAsConst(m_selection)) {
        if (isInDrawing(element))
            doomed.push_back(element);
    }
    std::stable_sort(doomed.begin(), doomed.end(), lessByDrawingOrder);
    removeAsOneStep(doomed);
    clearSelection();
    return true;
}

void CSVGDocument::removeAsOneStep(const std::vector<CSVGElement*>& doomed)
{
    if (doomed.empty())
        return;
    auto* step = new CActionComposite(this);
    m_history.push(step);
    removeInto(step, doomed);
}

void CSVGDocument::removeInto(CActionComposite* step, const std::vector<CSVGElement*>& doomed)
{
    const std::unordered_map<const CSVGElement*, CSVGElement*> previous = previousKeptSiblings(doomed);
    for (CSVGElement* element : doomed)
        step->addAction(new CActionDel(this, element, previous.at(element)));
    std::map<CSVGElement*, std::vector<CSVGElement*>> byParent;
    for (CSVGElement* element : doomed)
        byParent[element->getParent()].push_back(element);
    for (auto& [parent, children] : byParent)
        parent->removeChildren(children, true);
    m_contentChanged = true;
}

// For each element, the sibling before it that is not among them, as each
// would find it were they taken out one by one in this order.
std::unordered_map<const CSVGElement*, CSVGElement*> CSVGDocument::previousKeptSiblings(
    const std::vector<CSVGElement*>& elements)
{
    const std::unordered_set<const CSVGElement*> leaving(elements.begin(), elements.end());
    std::unordered_set<const CSVGElement*> parents;
    std::unordered_map<const CSVGElement*, CSVGElement*> previous;
    for (const CSVGElement* element : elements) {
        const CSVGElement* parent = element->getParent();
        if (!parents.insert(parent).second)
            continue;
        CSVGElement* kept = nullptr;
        for (int i = 0; i < parent->getChildCount(); ++i) {
            CSVGElement* child = parent->getChild(i);
            if (leaving.count(child))
                previous[child] = kept;
            else
                kept = child;
        }
    }
    return previous;
}

// The finishing call ends a rotation whatever the selection is now, and
// only a running one.
void CSVGDocument::rotateSelection(double angle, const QPointF& centre, bool finish)
{
    if (finish) {
        if (!m_rotating)
            return;
        const QVector<CSVGElement*> rotated = m_selection;
        endTransformAction();
        m_rotating = false;
        getRotation()->refreshDocument();
        dropRotation();
        clearSelection();
        for (CSVGElement* element : rotated)
            selectElement(element, Qt::green);
        return;
    }
    if (m_selection.isEmpty() || !std::isfinite(angle) || !isUsablePoint(centre))
        return;
    if (!m_rotating) {
        if (hasTearLine())
            return;
        beginTransformAction();
        m_rotating = true;
        dropRotation();
        getRotation()->begin(m_selection.toList(), centre);
    }
    if (angle != 0)
        getRotation()->rotate(angle);
}

// Called when the selection is cleared: the rotation's pieces are no longer
// the selection, so a later rotation starts afresh.
void CSVGDocument::endRotation()
{
    if (!m_rotating)
        return;
    m_rotating = false;
    dropRotation();
}

// Without recursion: a file decides how deep the tree is. A shape below one
// that was refreshed already has its matrix from that refresh.
void CSVGDocument::refreshModifiedShapes(CSVGElement* element)
{
    std::vector<std::pair<CSVGElement*, bool>> pending;
    if (element)
        pending.emplace_back(element, false);
    while (!pending.empty()) {
        auto [current, matrixDone] = pending.back();
        pending.pop_back();
        CSVGElementShape* shape = CSVGElementShape::asShape(current);
        if (shape && current->isModified()) {
            current->setModified(false);
            shape->updateGeometry();
            if (!matrixDone)
                current->updateMatrix(nullptr, true);
            matrixDone = true;
            addToTiles(current);
        }
        for (int i = current->getChildCount() - 1; i >= 0; --i)
            pending.emplace_back(current->getChild(i), matrixDone);
    }
}

// Own transform T, accumulated matrix A and the flip F about the box centre
// on the canvas: T A^-1 F A, so that the piece ends at F A.
bool CSVGDocument::verticalFlip(CSVGElementShape* shape, CSVGMatrix& flipped)
{
    const CSVGRect box = shape->getTransformedBoundingRect();
    const double cx = box.x + box.width / 2;
    const double cy = box.y + box.height / 2;
    const CSVGMatrix accumulated = shape->getMatrix();
    CSVGMatrix inverse = accumulated;
    if (!inverse.invert())
        return false;
    flipped = shape->getTransformMatrix();
    flipped.multiply(inverse);
    flipped.translate(cx, cy);
    flipped.scale(1, -1);
    flipped.translate(-cx, -cy);
    flipped.multiply(accumulated);
    return true;
}

// A matrix without inverse keeps the transform as it is.
std::wstring CSVGDocument::flipVerticalTransform(CSVGElement* element)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    if (!shape)
        return std::wstring();
    CSVGMatrix flipped;
    return verticalFlip(shape, flipped) ? flipped.toString() : element->getAttribute(L"transform");
}

QPoint CSVGDocument::mapFromView(const QPoint& point) const
{
    CSVGMatrix inverse = m_viewMatrix;
    if (!inverse.invert())
        return point;
    const QPointF mapped = inverse.map(QPointF(point));
    return QPoint(
        truncateClamped<int>(mapped.x(), INT_MIN, INT_MAX), truncateClamped<int>(mapped.y(), INT_MIN, INT_MAX));
}
