// The drawing tools of modes 1 to 8 (line, rect, circle, ellipse by press and
// drag; polyline and polygon by clicks), leaving a drawing mode, and text
// from the text dialog.

#include "CActionAdd.h"
#include "CSVGDocument.h"
#include "CSVGElementPolyline.h"
#include "CSVGElementShape.h"
#include "SvgCodes.h"

#include <QLineF>
#include <QTextCharFormat>

#include <cmath>

namespace {

bool isKnownMode(int mode)
{
    switch (mode) {
    case EditMode::Select:
    case EditMode::Line:
    case EditMode::Rect:
    case EditMode::Circle:
    case EditMode::Ellipse:
    case EditMode::Polyline:
    case EditMode::PolylineDrawing:
    case EditMode::Polygon:
    case EditMode::PolygonDrawing:
    case EditMode::Path:
    case EditMode::Text:
    case EditMode::ZoomIn:
    case EditMode::ZoomOut:
    case EditMode::AddNode:
        return true;
    default:
        return mode >= EditMode::PasteAt && mode <= EditMode::DeleteFeature;
    }
}

// The element kind that a drawing mode makes and edits.
int drawnType(int mode)
{
    switch (mode) {
    case EditMode::Line:
        return SvgType::Line;
    case EditMode::Rect:
        return SvgType::Rect;
    case EditMode::Circle:
        return SvgType::Circle;
    case EditMode::Ellipse:
        return SvgType::Ellipse;
    case EditMode::Polyline:
    case EditMode::PolylineDrawing:
        return SvgType::Polyline;
    case EditMode::Polygon:
    case EditMode::PolygonDrawing:
        return SvgType::Polygon;
    default:
        return -1;
    }
}

QPolygonF asRegularPolygon(const QPolygonF& points)
{
    return QPolygonF(QVector<QPointF>::fromList(CSVGDocument::regularPolygonFromSide(points.toList())));
}

} // namespace

// A press in a drawing mode first finishes the element drawn before, so a
// click without drag leaves nothing behind.
void CSVGDocument::drawPress(const QPointF& point, bool alt)
{
    switch (m_editMode) {
    case EditMode::PolylineDrawing:
    case EditMode::PolygonDrawing:
        addPolylinePoint(getFirstSelected(), point, alt);
        return;
    case EditMode::Polyline:
    case EditMode::Polygon: {
        finishDrawing();
        const bool polygon = m_editMode == EditMode::Polygon;
        if (startDrawing(polygon ? L"polygon" : L"polyline", point))
            m_editMode = polygon ? EditMode::PolygonDrawing : EditMode::PolylineDrawing;
        return;
    }
    default: {
        finishDrawing();
        static const wchar_t* const tags[] = { L"line", L"rect", L"circle", L"ellipse" };
        if (startDrawing(tags[m_editMode - EditMode::Line], point) && m_editMode != EditMode::Line)
            notifyChanged();
        return;
    }
    }
}

// Appended to the root, recorded, selected; its geometry starts at the
// point in the root's coordinates.
CSVGElement* CSVGDocument::startDrawing(const wchar_t* tag, const QPointF& point)
{
    CSVGElement* root = getOwnerSvg();
    QPointF p;
    if (!root || !toElementPoint(root, point, p))
        return nullptr;
    CSVGElement* element = createElement(tag);
    setDrawingStyle(element);
    root->appendChild(element, true, true);
    element->updateMatrix(nullptr, false);
    switch (element->getType()) {
    case SvgType::Line:
        setNumbers(element, { { L"x1", p.x() }, { L"y1", p.y() }, { L"x2", p.x() }, { L"y2", p.y() } });
        break;
    case SvgType::Rect:
        setNumbers(element, { { L"x", p.x() }, { L"y", p.y() }, { L"width", 0 }, { L"height", 0 } });
        break;
    case SvgType::Circle:
        setNumbers(element, { { L"cx", p.x() }, { L"cy", p.y() }, { L"r", 0 } });
        break;
    case SvgType::Ellipse:
        setNumbers(element, { { L"cx", p.x() }, { L"cy", p.y() }, { L"rx", 0 }, { L"ry", 0 } });
        break;
    default:
        element->setAttribute(L"points", CSVGElementPolyline::pointsToText(QPolygonF(QVector<QPointF> { p, p })), true);
        break;
    }
    m_history.push(new CActionAdd(this, root, element));
    clearSelection();
    selectElement(element, Qt::green);
    m_drawnElement = element;
    return element;
}

void CSVGDocument::setDrawingStyle(CSVGElement* element)
{
    element->setAttribute(L"stroke", m_defaultStroke, true);
    element->setAttribute(L"stroke-width", m_defaultStrokeWidth, true);
    if (element->getType() == SvgType::Line) {
        element->setAttribute(L"stroke-opacity", L"1", true);
        element->setAttribute(L"stroke-dasharray", m_defaultStrokeDashArray, true);
        return;
    }
    element->setAttribute(L"stroke-dasharray", m_defaultStrokeDashArray, true);
    element->setAttribute(L"stroke-opacity", L"1", true);
    element->setAttribute(L"fill", m_defaultFill, true);
    element->setAttribute(L"fill-opacity", m_defaultFillOpacity, true);
}

// Moves act on the first selected element when it is of the mode's kind.
void CSVGDocument::drawMove(const QPointF& point, bool ctrl, bool alt)
{
    CSVGElement* element = getFirstSelected();
    if (!element)
        return;
    if (element->getType() != drawnType(m_editMode)) {
        if (m_editMode == EditMode::PolylineDrawing || m_editMode == EditMode::PolygonDrawing)
            selectElement(element, Qt::green);
        return;
    }
    if (m_editMode == EditMode::PolylineDrawing || m_editMode == EditMode::PolygonDrawing)
        movePolylinePoint(element, point, ctrl || m_orientation || alt, alt);
    else
        resizeDrawing(element, point, ctrl);
    selectElement(element, Qt::green);
}

// Sizes stay signed while the button is down; the release stores them
// positive.
void CSVGDocument::resizeDrawing(CSVGElement* element, const QPointF& point, bool ctrl)
{
    QPointF p;
    QPointF press;
    if (!toElementPoint(element, point, p) || !toElementPoint(element, m_pressPoint, press))
        return;
    const auto number
        = [element](const wchar_t* name, double value) { element->setAttributeNumber(name, value, true); };
    switch (element->getType()) {
    case SvgType::Line: {
        const QPointF anchor(element->getAttributeNumber(L"x1"), element->getAttributeNumber(L"y1"));
        const QPointF end = ctrl || m_orientation ? constrainAngle(anchor, p) : p;
        number(L"x2", end.x());
        number(L"y2", end.y());
        element->notifyChanged();
        return;
    }
    case SvgType::Rect: {
        const double width = p.x() - press.x();
        number(L"width", width);
        number(L"height", ctrl ? width : p.y() - press.y());
        break;
    }
    case SvgType::Circle:
        number(L"cx", press.x());
        number(L"cy", press.y());
        number(L"r", QLineF(press, p).length());
        break;
    default: {
        const double rx = (p.x() - press.x()) / 2;
        const double ry = (p.y() - press.y()) / 2;
        number(L"cx", press.x() + rx);
        number(L"cy", press.y() + ry);
        number(L"rx", rx);
        number(L"ry", ry);
        element->notifyChanged();
        break;
    }
    }
    m_contentChanged = true;
}

// The trailing point becomes a vertex and the press the new trailing point;
// with Alt the points become the regular polygon on the first side.
void CSVGDocument::addPolylinePoint(CSVGElement* element, const QPointF& point, bool alt)
{
    QPointF p;
    if (!element || element->getType() != drawnType(m_editMode) || !toElementPoint(element, point, p))
        return;
    QPolygonF points = static_cast<CSVGElementPolyline*>(element)->getPoints();
    points.append(p);
    if (alt)
        points = asRegularPolygon(points);
    element->setAttribute(L"points", CSVGElementPolyline::pointsToText(points), true);
    clearSelection();
    selectElement(element, Qt::green);
    m_contentChanged = true;
}

void CSVGDocument::movePolylinePoint(CSVGElement* element, const QPointF& point, bool constrain, bool alt)
{
    QPointF p;
    if (!toElementPoint(element, point, p))
        return;
    QPolygonF points = static_cast<CSVGElementPolyline*>(element)->getPoints();
    if (!points.isEmpty())
        points.removeLast();
    if (constrain && !points.isEmpty())
        p = constrainAngle(points.last(), p);
    points.append(p);
    if (alt && points.size() >= 3)
        points = asRegularPolygon(points);
    element->setAttribute(L"points", CSVGElementPolyline::pointsToText(points), true);
    element->notifyChanged();
}

void CSVGDocument::setEditMode(int mode)
{
    if (mode == m_editMode || !isKnownMode(mode))
        return;
    finishDrawing();
    m_editMode = mode;
    m_rubberBanding = false;
    m_dragNodes.clear();
}

// Only what this drawing made, and only together with its own undo step:
// a selected element of the drawing, or an older step, are never touched.
void CSVGDocument::finishDrawing()
{
    CSVGElement* element = m_drawnElement;
    m_drawnElement = nullptr;
    if (!element || !isInDrawing(element))
        return;
    if (m_editMode == EditMode::PolylineDrawing || m_editMode == EditMode::PolygonDrawing)
        dropTrailingPoint(element);
    normalizeSizes(element);
    if (isDegenerateDrawing(element))
        discardDrawing(element);
}

void CSVGDocument::cancelDrawing()
{
    CSVGElement* element = m_drawnElement;
    if (!m_leftButtonDown || !element || m_editMode < EditMode::Line || m_editMode > EditMode::Ellipse
        || !isInDrawing(element))
        return;
    m_drawnElement = nullptr;
    discardDrawing(element);
    m_overlayChanged = true;
    m_contentChanged = true;
}

void CSVGDocument::discardDrawing(CSVGElement* element)
{
    const size_t done = m_history.getCursor();
    const auto* added = done > 0 ? dynamic_cast<const CActionAdd*>(m_history.getActions()[done - 1]) : nullptr;
    if (!added || added->getElement() != element)
        return;
    clearSelection();
    m_history.dropLast();
    element->getParent()->deleteChild(element);
}

// Finishing leaves no trailing point on top of the last vertex.
void CSVGDocument::dropTrailingPoint(CSVGElement* element)
{
    if (element->getType() != SvgType::Polyline && element->getType() != SvgType::Polygon)
        return;
    QPolygonF points = static_cast<CSVGElementPolyline*>(element)->getPoints();
    const int count = points.size();
    if (count >= 2 && std::fabs(points[count - 1].x() - points[count - 2].x()) <= 2.0
        && std::fabs(points[count - 1].y() - points[count - 2].y()) <= 2.0)
        points.removeLast();
    element->setAttribute(L"points", CSVGElementPolyline::pointsToText(points), true);
}

bool CSVGDocument::isDegenerateDrawing(CSVGElement* element)
{
    const auto number = [element](const wchar_t* name) { return std::fabs(element->getAttributeNumber(name)); };
    const auto span = [element](const wchar_t* from, const wchar_t* to) {
        return std::fabs(element->getAttributeNumber(from) - element->getAttributeNumber(to));
    };
    switch (element->getType()) {
    case SvgType::Line:
        return span(L"x1", L"x2") <= 2.0 && span(L"y1", L"y2") <= 2.0;
    case SvgType::Rect:
        return number(L"width") <= 1.0 && number(L"height") <= 1.0;
    case SvgType::Circle:
        return number(L"r") <= 1.0;
    case SvgType::Ellipse:
        return number(L"rx") <= 1.0 || number(L"ry") <= 1.0;
    case SvgType::Polyline:
        return static_cast<CSVGElementPolyline*>(element)->getPoints().size() < 2;
    case SvgType::Polygon:
        return static_cast<CSVGElementPolyline*>(element)->getPoints().size() < 3;
    case SvgType::Text:
        return element->getText().empty();
    default:
        return false;
    }
}

// The text stays as it was typed: the data repair that joins open outlines
// has none to join in a text and would only take it out of the drawing.
CSVGElement* CSVGDocument::insertTextElement(const QString& text, const QTextCharFormat& format, const QPointF& point)
{
    CSVGElement* root = getOwnerSvg();
    QPointF p;
    if (text.isEmpty() || !root || !isUsablePoint(point) || !toElementPoint(root, point, p))
        return nullptr;
    CSVGElement* element = createElement(L"text");
    const auto set = [element](const wchar_t* name, const QString& value) {
        element->setAttribute(name, value.toStdWString(), true);
    };
    set(L"stroke-opacity", QStringLiteral("0"));
    set(L"fill", format.foreground().color().name());
    set(L"fill-opacity", QStringLiteral("1"));
    // The editor's texts are 12pt unless the format says otherwise.
    const double points = format.fontPointSize();
    set(L"font-size", points > 0 ? QString::number(points, 'g', 6) : QStringLiteral("12pt"));
    set(L"font-family", format.fontFamily());
    set(L"font-weight", format.fontWeight() == QFont::Bold ? QStringLiteral("bold") : QStringLiteral("normal"));
    set(L"font-style", format.fontItalic() ? QStringLiteral("italic") : QStringLiteral("normal"));
    set(L"text-decoration", format.fontUnderline() ? QStringLiteral("underline") : QStringLiteral("normal"));
    element->setAttributeNumber(L"x", p.x(), true);
    element->setAttributeNumber(L"y", p.y(), true);
    element->setText(text.toStdWString(), true);
    root->appendChild(element, true, true);
    element->updateMatrix(nullptr, false);
    element->setGeometryDirty();
    if (CSVGElementShape* shape = toShape(element))
        shape->updateGeometry();
    clearSelection();
    selectElement(element, Qt::green);
    m_history.push(new CActionAdd(this, root, element));
    // The canvas makes its items when told: without this the text would
    // show only once some later change was announced.
    m_contentChanged = true;
    notifyChanged();
    return element;
}
