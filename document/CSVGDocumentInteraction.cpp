// The press, move and release of the mouse tools, the middle button, the
// arrow keys and zooming by click: what the canvas hands over, dispatched by
// the interaction mode.

#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "SvgCodes.h"

#include <QSettings>

#include <cmath>

namespace {

// Moves this close to the press, both ways, do not drag the selection yet.
constexpr double kDeadZone = 5.0;
// The zoom tools have always scaled by these single-precision factors.
constexpr float kZoomInFactor = 1.2f;
constexpr float kZoomOutFactor = 0.8f;
// Steps of the nudge keys below this are not scaled.
constexpr double kUnscaledStep = 1e-5;

// Shared by every document: the view reads it while keys are held.
QPointF s_nudgeOffset;

bool isNodeLookupMode(int mode)
{
    return mode == EditMode::Line || mode == EditMode::Polyline || mode == EditMode::PolylineDrawing
        || mode == EditMode::Path || mode == EditMode::MovePoint || mode == EditMode::AddNode;
}

bool isDrawingMode(int mode)
{
    return mode >= EditMode::Line && mode <= EditMode::PolygonDrawing;
}

// The setting "general/snapped", written with 1 when missing; anything but
// a finite positive number counts as 1.
double nudgeScale()
{
    QSettings settings;
    const QString key = QStringLiteral("general/snapped");
    if (!settings.contains(key))
        settings.setValue(key, 1);
    bool ok = false;
    const double scale = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(scale) && scale > 0 ? scale : 1.0;
}

} // namespace

int CSVGDocument::cursorForMode() const
{
    if (m_editMode >= EditMode::Line && m_editMode <= EditMode::Path)
        return CursorCode::Drawing;
    if (m_editMode == EditMode::ZoomIn)
        return CursorCode::ZoomIn;
    if (m_editMode == EditMode::ZoomOut)
        return CursorCode::ZoomOut;
    return CursorCode::Default;
}

int CSVGDocument::cursorForNode(int index)
{
    switch (index) {
    case HandleIndex::LeftTop:
    case HandleIndex::RightBottom:
        return CursorCode::SizeFDiagonal;
    case HandleIndex::RightTop:
    case HandleIndex::LeftBottom:
        return CursorCode::SizeBDiagonal;
    case HandleIndex::Top:
    case HandleIndex::Bottom:
        return CursorCode::SizeVertical;
    case HandleIndex::Right:
    case HandleIndex::Left:
        return CursorCode::SizeHorizontal;
    default:
        return CursorCode::OverNode;
    }
}

// A press on a node starts the shape on it, or in mode 27 takes that node.
int CSVGDocument::leftButtonDown(const QPointF& point, bool extend, bool alt)
{
    int code = cursorForMode();
    if (!isUsablePoint(point))
        return code;
    QPointF p = point;
    m_leftButtonDown = true;
    m_currentNode = HighlightNode();
    m_dragNodes.clear();
    if (isNodeLookupMode(m_editMode)) {
        m_hoverNode = findNodeAt(p);
        if (m_hoverNode.index >= 0) {
            code = CursorCode::OverNode;
            p = m_hoverNode.point;
            if (m_editMode == EditMode::MovePoint)
                m_currentNode = m_hoverNode;
        }
    }
    m_pressPoint = m_lastPoint = p;
    m_dragStarted = false;
    if (m_editMode == EditMode::Select)
        return selectPress(p, extend);
    if (isDrawingMode(m_editMode))
        drawPress(p, alt);
    return code;
}

// The smallest piece under the point counts, or with extend every one; a
// piece inside a group becomes the current element of its selected group.
int CSVGDocument::selectPress(const QPointF& point, bool extend)
{
    m_overlayChanged = true;
    m_clickedOnSelected = false;
    const QList<CSVGElement*> hits = elementsAtPoint(point);
    if (hits.isEmpty()) {
        if (!m_selection.isEmpty() && m_selectionRect.isNull())
            m_selectionRect = getSelectionRect();
        if (!m_selectionRect.contains(point)) {
            clearSelection();
            m_rubberBand = QRectF(point, QSizeF(0, 0));
            m_rubberBanding = true;
        }
        return CursorCode::Default;
    }
    for (CSVGElement* piece : hits) {
        CSVGElement* hit = innermostHit(piece, point);
        CSVGElement* target = selectionTarget(hit);
        if (target->isLocked())
            continue;
        if (m_selected.contains(target)) {
            if (!extend)
                return CursorCode::OverSelection;
            m_clickedOnSelected = true;
            continue;
        }
        if (!extend) {
            clearSelection();
            selectElement(hit, Qt::green);
            return CursorCode::Default;
        }
        selectElement(hit, Qt::green);
    }
    return extend ? CursorCode::OverSelection : CursorCode::Default;
}

// The leaf of the piece that the point hits, known by the id the hit test
// reports; the piece itself when that is not one of its own.
CSVGElement* CSVGDocument::innermostHit(CSVGElement* piece, const QPointF& point)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(piece);
    std::wstring groupId;
    std::wstring id;
    if (!shape || !shape->hitTest(point.x(), point.y(), groupId, id))
        return piece;
    CSVGElement* leaf = getElementById(id);
    for (CSVGElement* ancestor = leaf; ancestor; ancestor = ancestor->getParent()) {
        if (ancestor == piece)
            return leaf;
    }
    return piece;
}

// The outermost drawable ancestor below the root.
CSVGElement* CSVGDocument::selectionTarget(CSVGElement* element)
{
    CSVGElement* root = getOwnerSvg();
    while (element->getParent() && element->getParent() != root && element->getParent()->isShape())
        element = element->getParent();
    return element;
}

// While nodes are dragged in mode 27 the pointer is not pulled onto a node:
// the first one in reach would be the dragged node itself.
int CSVGDocument::mouseMove(const QPointF& point, bool ctrl, bool alt)
{
    int code = cursorForMode();
    if (!isUsablePoint(point))
        return code;
    QPointF p = point;
    if (isNodeLookupMode(m_editMode)) {
        m_hoverNode = findNodeAt(p);
        if (m_hoverNode.index >= 0) {
            code = CursorCode::OverNode;
            if (m_dragNodes.empty())
                p = m_hoverNode.point;
        } else if (m_editMode == EditMode::Path && snapToShapeEnd(p)) {
            code = CursorCode::OverNode;
        }
    }
    if (!m_middleButtonDown && m_leftButtonDown) {
        if (m_editMode == EditMode::Select) {
            clearCurrentElement();
            if (!selectDrag(p, ctrl, code))
                return code;
        } else if (isDrawingMode(m_editMode)) {
            drawMove(p, ctrl, alt);
        } else if (m_editMode == EditMode::MovePoint) {
            dragNodes(p, ctrl);
            if (!m_dragNodes.empty())
                code = cursorForNode(m_dragNodes.front().index);
        }
    } else if (!m_middleButtonDown) {
        if (m_editMode == EditMode::PolylineDrawing || m_editMode == EditMode::PolygonDrawing) {
            drawMove(p, ctrl, alt);
        } else if (m_editMode == EditMode::Select) {
            const CSVGElement* hit = hitTopElementAt(p.x(), p.y());
            if (hit && hit->getType() != SvgType::Text)
                code = CursorCode::OverSelection;
        }
    }
    m_lastPoint = p;
    m_selectionRect = QRectF();
    emit selectionChanged();
    return code;
}

// False when the move changes nothing at all (inside the dead zone, or a
// drag refused while a tear line exists), not even the last point.
bool CSVGDocument::selectDrag(const QPointF& point, bool ctrl, int& code)
{
    if (m_currentNode.index >= 0) {
        code = cursorForNode(m_currentNode.index);
        return true;
    }
    if (m_selection.isEmpty() || m_rubberBanding) {
        rubberBandMove(point);
        return true;
    }
    code = CursorCode::OverSelection;
    if (!m_dragStarted) {
        const QPointF offset = point - m_pressPoint;
        if (std::fabs(offset.x()) <= kDeadZone && std::fabs(offset.y()) <= kDeadZone)
            return false;
        if (hasTearLine())
            return false;
        m_dragStarted = true;
    }
    beginTransformAction();
    const QPointF target = ctrl || m_orientation ? constrainAngle(m_lastPoint, point) : point;
    translateSelection(target - m_lastPoint);
    return true;
}

void CSVGDocument::rubberBandMove(const QPointF& point)
{
    m_rubberBand.setWidth(point.x() - m_pressPoint.x());
    m_rubberBand.setHeight(point.y() - m_pressPoint.y());
    m_overlayChanged = true;
    clearSelection();
    for (CSVGElement* element : elementsInRect(m_rubberBand.normalized()))
        selectElement(element, Qt::green);
}

// Each piece moves by the offset after its own transform.
void CSVGDocument::translateSelection(const QPointF& delta)
{
    CSVGMatrix shift;
    shift.translate(delta.x(), delta.y());
    const QVector<CSVGElement*> selected = m_selection;
    for (CSVGElement* element : selected) {
        element->setTransform(element->getCombinedMatrix(shift), true);
        element->updateMatrix(nullptr, true);
        selectElement(element, Qt::green);
    }
}

// The gesture's undo step closes here. A shape drawn by dragging is done:
// a box keeps positive sizes, and a click that dragged out nothing to cut
// leaves nothing behind, not even a step to undo.
int CSVGDocument::leftButtonUp(const QPointF& point, bool extend)
{
    s_nudgeOffset = QPointF();
    if (m_editMode >= EditMode::Line && m_editMode <= EditMode::Ellipse && m_drawnElement) {
        finishDrawing();
        m_overlayChanged = true;
        m_contentChanged = true;
    }
    endTransformAction();
    if (std::fabs(m_rubberBand.width()) >= 1 || std::fabs(m_rubberBand.height()) >= 1) {
        m_rubberBand = QRectF();
        m_overlayChanged = true;
    }
    m_rubberBanding = false;
    m_currentNode = HighlightNode();
    m_dragNodes.clear();
    const int code = cursorForMode();
    const bool pressed = m_leftButtonDown && isUsablePoint(point);
    m_leftButtonDown = false;
    if (!pressed)
        return code;
    if (m_editMode == EditMode::Select) {
        if (qFuzzyCompare(point.x(), m_pressPoint.x()) && qFuzzyCompare(point.y(), m_pressPoint.y()))
            clickRelease(point, extend);
        else
            m_contentChanged = true;
    } else if (m_editMode == EditMode::ZoomIn || m_editMode == EditMode::ZoomOut) {
        zoomAt(point);
    }
    return code;
}

// An extend click on a piece that the press found selected deselects it.
void CSVGDocument::clickRelease(const QPointF& point, bool extend)
{
    CSVGElement* hit = hitTopElementAt(point.x(), point.y());
    if (!hit || !extend || !m_clickedOnSelected)
        return;
    CSVGElement* target = selectionTarget(hit);
    if (m_selected.contains(target))
        unselectElement(target);
}

void CSVGDocument::zoomAt(const QPointF& point)
{
    const double factor = m_editMode == EditMode::ZoomIn ? double(kZoomInFactor) : double(kZoomOutFactor);
    m_viewMatrix.postTranslate(-point.x(), -point.y());
    m_viewMatrix.postScale(factor, factor);
    m_viewMatrix.postTranslate(point.x(), point.y());
    m_backgroundChanged = true;
    m_overlayChanged = true;
    releaseTileCellObjects();
}

int CSVGDocument::middleButtonDown(const QPointF& point)
{
    m_middleButtonDown = true;
    if (isUsablePoint(point))
        m_middlePressPoint = point;
    return CursorCode::Default;
}

int CSVGDocument::middleButtonUp(const QPointF&)
{
    m_middleButtonDown = false;
    s_nudgeOffset = QPointF();
    return CursorCode::Default;
}

// A gesture cut short still closes its undo step: a later one must not add
// its changes to it.
int CSVGDocument::cancelDrag()
{
    s_nudgeOffset = QPointF();
    m_leftButtonDown = false;
    m_rubberBanding = false;
    m_dragNodes.clear();
    endTransformAction();
    return CursorCode::Default;
}

bool CSVGDocument::onKeyUp()
{
    return nudge(0, -1);
}

bool CSVGDocument::onKeyDown()
{
    return nudge(0, 1);
}

bool CSVGDocument::onKeyLeft()
{
    return nudge(-1, 0);
}

bool CSVGDocument::onKeyRight()
{
    return nudge(1, 0);
}

bool CSVGDocument::nudge(double dx, double dy)
{
    s_nudgeOffset += QPointF(dx, dy);
    moveSelectionBy(dx, dy);
    return false;
}

QPointF CSVGDocument::getNudgeOffset()
{
    return s_nudgeOffset;
}

// In mode 27 the marked nodes (or the current node) move instead of the
// pieces; either way one key is one undo step.
void CSVGDocument::moveSelectionBy(double dx, double dy)
{
    if (!std::isfinite(dx) || !std::isfinite(dy) || hasTearLine())
        return;
    const double scale = nudgeScale();
    if (std::fabs(dx) > kUnscaledStep)
        dx *= scale;
    if (std::fabs(dy) > kUnscaledStep)
        dy *= scale;
    if (m_editMode != EditMode::MovePoint) {
        if (m_selection.isEmpty())
            return;
        beginTransformAction();
        translateSelection(QPointF(dx, dy));
        endTransformAction();
        m_contentChanged = true;
    } else {
        QVector<HighlightNode> nodes = m_highlights.getMarkedNodes();
        if (nodes.isEmpty())
            nodes.append(m_currentNode);
        if (!nodes.first().element)
            return;
        beginNodeEdit();
        for (const HighlightNode& node : nodes)
            dragNode(node.point + QPointF(dx, dy), node, false);
        endTransformAction();
    }
    m_selectionRect = QRectF();
    emit selectionChanged();
}

// Points beyond a kilometre or so are no drawing's: they come from a broken
// caller and would only give numbers that overflow later.
bool CSVGDocument::isUsablePoint(const QPointF& point)
{
    constexpr double kLimit = 1e9;
    return std::isfinite(point.x()) && std::isfinite(point.y()) && std::fabs(point.x()) <= kLimit
        && std::fabs(point.y()) <= kLimit;
}

QPointF CSVGDocument::constrainAngle(const QPointF& anchor, const QPointF& point)
{
    QPointF result = point;
    double run = point.x() - anchor.x();
    if (std::fabs(run) < 1e-9)
        run = 1e-9;
    const double slope = (point.y() - anchor.y()) / run;
    const double along = point.x() - anchor.x();
    if (slope >= 0) {
        if (slope < 0.84)
            result.setY(anchor.y());
        else if (slope <= 1.2)
            result.setY(anchor.y() + along);
        else
            result.setX(anchor.x());
    } else {
        if (slope < -1.2)
            result.setX(anchor.x());
        else if (slope <= -0.84)
            result.setY(anchor.y() - along);
        else
            result.setY(anchor.y());
    }
    return result;
}
