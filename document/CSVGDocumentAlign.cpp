// Alignment, distribution and sizing of the selected pieces. Every change is
// made in canvas coordinates and written as the piece's own "transform", so
// that a piece under a transformed parent moves by exactly the change.

#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The smallest left edge starts from this single-precision 1e11.
const double kLeftStart = 99999997952.0;
const double kEdgeStart = 1e10;
const double kSameSize = 1e-6;

CSVGMatrix translation(double dx, double dy)
{
    return CSVGMatrix(1, 0, 0, 1, dx, dy);
}

// Scaling about the box's left-top corner.
CSVGMatrix scalingAtCorner(const CSVGRect& box, double sx, double sy)
{
    CSVGMatrix change = translation(box.x, box.y);
    change.scale(sx, sy);
    change.translate(-box.x, -box.y);
    return change;
}

double lowEdge(const CSVGRect& box, bool horizontal)
{
    return horizontal ? box.x : box.y;
}

double extent(const CSVGRect& box, bool horizontal)
{
    return horizontal ? box.width : box.height;
}

CSVGMatrix shiftAlong(bool horizontal, double distance)
{
    return horizontal ? translation(distance, 0) : translation(0, distance);
}

} // namespace

// The new accumulated matrix is change x old one; the own transform keeps
// the parent's part out (with an identity parent: change x own). A change
// that overflows, or a parent without inverse, leaves the piece as it is.
bool CSVGDocument::applyCanvasChange(CSVGElement* element, const CSVGMatrix& change)
{
    CSVGMatrix canvas = change;
    canvas.multiply(element->getMatrix());
    if (!canvas.isFinite() || !element->setCanvasMatrix(canvas))
        return false;
    m_highlights.addElement(element, Qt::green);
    return true;
}

void CSVGDocument::moveSelectedShapes(const CanvasChange& change, CActionComposite* step)
{
    beginTransformAction(step);
    for (CSVGElement* element : QVector<CSVGElement*>(m_selection)) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(element))
            applyCanvasChange(shape, change(shape->getTransformedBoundingRect()));
    }
    endTransformAction();
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::alignLeft()
{
    alignEdges(true, false);
}

void CSVGDocument::alignTop()
{
    alignEdges(false, false);
}

void CSVGDocument::alignRight()
{
    alignEdges(true, true);
}

void CSVGDocument::alignBottom()
{
    alignEdges(false, true);
}

void CSVGDocument::alignEdges(bool horizontal, bool farEdge)
{
    if (m_selection.size() < 2)
        return;
    const auto edge = [horizontal, farEdge](const CSVGRect& box) {
        return lowEdge(box, horizontal) + (farEdge ? extent(box, horizontal) : 0.0);
    };
    double reference = farEdge ? -kEdgeStart : (horizontal ? kLeftStart : kEdgeStart);
    for (CSVGElement* element : qAsConst(m_selection)) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(element)) {
            const double value = edge(shape->getTransformedBoundingRect());
            reference = farEdge ? std::max(reference, value) : std::min(reference, value);
        }
    }
    moveSelectedShapes([&](const CSVGRect& box) { return shiftAlong(horizontal, reference - edge(box)); });
}

void CSVGDocument::alignVerLine()
{
    alignCentreLines(true);
}

void CSVGDocument::alignHorLine()
{
    alignCentreLines(false);
}

void CSVGDocument::alignCentreLines(bool horizontal)
{
    if (m_selection.size() < 2)
        return;
    const auto centre
        = [horizontal](const CSVGRect& box) { return lowEdge(box, horizontal) + extent(box, horizontal) * 0.5; };
    CSVGElementShape* first = CSVGElementShape::asShape(m_selection.first());
    const double reference = first ? centre(first->getTransformedBoundingRect()) : 0.0;
    moveSelectedShapes([&](const CSVGRect& box) { return shiftAlong(horizontal, reference - centre(box)); });
}

void CSVGDocument::alignHorSpace()
{
    distribute(true);
}

void CSVGDocument::alignVerSpace()
{
    distribute(false);
}

// Each piece is sorted together with its own box, so that a rotated piece or
// two equal edges never hand one piece another's numbers.
void CSVGDocument::distribute(bool horizontal)
{
    const int count = m_selection.size();
    if (count < 3)
        return;
    std::vector<std::pair<CSVGElementShape*, CSVGRect>> pieces;
    for (CSVGElement* element : qAsConst(m_selection)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (!shape)
            return;
        pieces.emplace_back(shape, shape->getTransformedBoundingRect());
    }
    std::stable_sort(pieces.begin(), pieces.end(), [horizontal](const auto& a, const auto& b) {
        return lowEdge(a.second, horizontal) < lowEdge(b.second, horizontal);
    });
    double gaps = 0.0;
    for (int i = 1; i < count; ++i) {
        const CSVGRect& before = pieces[i - 1].second;
        gaps += lowEdge(pieces[i].second, horizontal) - lowEdge(before, horizontal) - extent(before, horizontal);
    }
    const double gap = gaps / (count - 1);
    for (int i = 0; i < count; ++i)
        m_selection[i] = pieces[i].first;

    beginTransformAction();
    const CSVGRect& first = pieces.front().second;
    double position = lowEdge(first, horizontal) + extent(first, horizontal) + gap;
    for (int i = 1; i < count; ++i) {
        const CSVGRect& box = pieces[i].second;
        applyCanvasChange(pieces[i].first, shiftAlong(horizontal, position - lowEdge(box, horizontal)));
        position += extent(box, horizontal) + gap;
    }
    endTransformAction();
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::alignSameWidth()
{
    alignSize(true, false);
}

void CSVGDocument::alignSameHeight()
{
    alignSize(false, true);
}

void CSVGDocument::alignSameSize()
{
    alignSize(true, true);
}

void CSVGDocument::alignSize(bool width, bool height)
{
    if (m_selection.size() < 2)
        return;
    CSVGElementShape* first = CSVGElementShape::asShape(m_selection.first());
    if (!first)
        return;
    const CSVGRect reference = first->getTransformedBoundingRect();
    if ((width && !(reference.width > 0)) || (height && !(reference.height > 0)))
        return;
    beginTransformAction();
    for (CSVGElement* element : QVector<CSVGElement*>(m_selection.mid(1))) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (!shape)
            continue;
        const CSVGRect box = shape->getTransformedBoundingRect();
        if ((width && !(box.width > 0)) || (height && !(box.height > 0)))
            continue;
        const double sx = width ? reference.width / box.width : 1.0;
        const double sy = height ? reference.height / box.height : 1.0;
        applyCanvasChange(shape, scalingAtCorner(box, sx, sy));
    }
    endTransformAction();
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::alignLeftTop(const QRectF& rect)
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    clearSelection();
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElement* child = root->getChild(i);
        if (child->isShape() && (isInsidePage(child) || child->isTearLine()))
            selectElement(child, Qt::green);
    }
    moveSelectionTogether(rect, false);
}

void CSVGDocument::alignLeftBottom(const QRectF& rect, CActionComposite* step)
{
    if (m_selection.isEmpty())
        return;
    QVector<CSVGElement*> pieces = m_selection;
    CSVGElement* root = getOwnerSvg();
    if (root && hasTearLine()) {
        for (int i = 0; i < root->getChildCount(); ++i) {
            if (root->getChild(i)->isTearLine())
                pieces.append(root->getChild(i));
        }
    }
    clearSelection();
    for (CSVGElement* element : qAsConst(pieces)) {
        if (element->isShape())
            selectElement(element, Qt::green);
    }
    moveSelectionTogether(rect, true, step);
}

// The selection's common box moves to 1 unit inside the rectangle's
// left-top corner, or its left-bottom one, or less far in where the
// rectangle has less than that to spare: a box that fits the rectangle
// stays inside it (nested pieces may span the roll to a rounding error past
// its width). Hidden pieces move along but are not measured: the box is
// that of what is drawn.
void CSVGDocument::moveSelectionTogether(const QRectF& rect, bool bottom, CActionComposite* step)
{
    bool any = false;
    CSVGRect total;
    for (CSVGElement* element : qAsConst(m_selection)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (const std::optional<CSVGRect> box = shape ? shape->getDrawnBoundingRect() : std::nullopt) {
            total = any ? total.united(*box) : *box;
            any = true;
        }
    }
    if (!any)
        return;
    const auto inset = [](double spare) { return spare >= 0.0 && spare < 1.0 ? spare : 1.0; };
    const double dx = rect.x() - total.x + inset(rect.width() - total.width);
    const double dy = bottom ? (rect.y() + rect.height()) - total.y - total.height - inset(rect.height() - total.height)
                             : rect.y() - total.y + inset(rect.height() - total.height);
    moveSelectedShapes([dx, dy](const CSVGRect&) { return translation(dx, dy); }, step);
}

// The box is the one the editor shows (getSelectionRect). A size within a
// millionth of a millimetre of the box's is the box's: the shown size typed
// again changes nothing, however far the double left by an earlier scaling
// lies from its decimal text, while the smallest change a user can type
// still applies.
void CSVGDocument::zoomSize(double width, double height, bool finish)
{
    if (m_selection.isEmpty())
        return;
    const QRectF box = getSelectionRect();
    const auto factor = [](double target, double size) {
        const double value = target / size;
        const bool same = std::fabs(target - size) <= kSameSize;
        return size > 0 && value > 0 && std::isfinite(value) && !same ? value : 1.0;
    };
    const double sx = factor(width, box.width());
    const double sy = factor(height, box.height());
    if (sx != 1.0 || sy != 1.0) {
        beginTransformAction();
        for (CSVGElement* element : QVector<CSVGElement*>(m_selection)) {
            if (CSVGElementShape* shape = CSVGElementShape::asShape(element)) {
                shape->scaleAbout(sx, sy, box.center());
                m_highlights.addElement(shape, Qt::green);
            }
        }
        m_overlayChanged = true;
        m_contentChanged = true;
    }
    if (finish)
        endTransformAction();
}
