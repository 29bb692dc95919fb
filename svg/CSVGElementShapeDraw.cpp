// Painting of drawable elements: outlines, position colours and names, clip
// paths, and the markers of the canvas.

#include "AttributeId.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "SvgCodes.h"

#include <QFontMetricsF>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Deeper than any real drawing; a tree read from a file must not decide the
// depth of the call stack.
constexpr int kMaxPaintDepth = 200;

// Uses multiply work: groups of two uses that each show the group below
// double it at every level, and a few dozen levels never finish. As mature
// renderers do, one draw paints at most this many elements through uses;
// the tree itself is painted whole.
constexpr long kMaxReferencedPaints = 100000;

const QColor kSelectedColor(128, 0, 255);

// The use elements whose referenced element is being painted on this
// thread, and the nesting of draw calls. A use that reaches itself again,
// directly or through the groups it shows, is not painted a second time.
thread_local std::vector<const CSVGElement*> t_usesPainting;
thread_local int t_paintDepth = 0;
thread_local long t_referencedPaints = 0;
// "LineWidth" as read at the start of a view's paint; -1 outside one.
thread_local int t_screenLineWidth = -1;

int readLineWidth()
{
    return std::max(0, g_config.getSetting(QStringLiteral("LineWidth")).toInt());
}

// False once the budget of the current draw is spent; says so in the log the
// first time.
bool withinReferenceBudget()
{
    if (t_usesPainting.empty())
        return true;
    if (++t_referencedPaints < kMaxReferencedPaints)
        return true;
    if (t_referencedPaints == kMaxReferencedPaints)
        qWarning("Painting stopped after %ld elements shown through use elements: the drawing nests its uses too "
                 "deeply",
            kMaxReferencedPaints);
    return false;
}

class PaintDepth
{
public:
    PaintDepth() { ++t_paintDepth; }
    ~PaintDepth() { --t_paintDepth; }
    PaintDepth(const PaintDepth&) = delete;
    PaintDepth& operator=(const PaintDepth&) = delete;
};

bool isContainer(std::uint16_t type)
{
    switch (type) {
    case SvgType::A:
    case SvgType::G:
    case SvgType::Svg:
    case SvgType::Switch:
    case SvgType::Symbol:
    case SvgType::Text:
        return true;
    default:
        return false;
    }
}

QJsonObject toObject(const QVariant& value)
{
    const QJsonValue json = QJsonValue::fromVariant(value);
    if (json.isObject())
        return json.toObject();
    return QJsonDocument::fromJson(value.toString().toUtf8()).object();
}

// The record of a position id: the setting "PositionColor" first, then the
// drawing's own positions.
QJsonObject positionRecord(const CSVGDocument* document, const QString& id)
{
    const QJsonValue known = toObject(g_config.getSetting(QStringLiteral("PositionColor"))).value(id);
    if (known.isObject())
        return known.toObject();
    for (const QJsonValue& entry : document->getCustomPositions()) {
        const QJsonValue entryId = entry.toObject().value(QStringLiteral("id"));
        const QString text = entryId.isDouble() ? QString::number(entryId.toDouble(), 'g', 17) : entryId.toString();
        if (text == id)
            return entry.toObject();
    }
    return QJsonObject();
}

// A 6 x 6 square centred on the point, grown by grow on every side.
void fillMarker(QPainter* painter, const QPointF& point, const QColor& color, double grow = 0.0)
{
    const double half = 3.0 + grow;
    painter->fillRect(QRectF(point.x() - half, point.y() - half, 2 * half, 2 * half), color);
}

} // namespace

void CSVGElementShape::draw(
    QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen, bool innerPiece)
{
    setModified(false);
    if (t_paintDepth == 0)
        t_referencedPaints = 0;
    if (!painter || isHidden() || t_paintDepth >= kMaxPaintDepth || !withinReferenceBudget())
        return;
    const PaintDepth depth;
    if (isContainer(getType())) {
        // A text lays its runs out here.
        updateGeometry();
        drawChildren(painter, view, selected, highlighted, onScreen);
        return;
    }
    drawReferenced(painter, view, selected, highlighted, onScreen, innerPiece);

    CSVGMatrix combined = view;
    combined.multiply(getMatrix());
    const QTransform transform = combined.toQTransform();
    updateGeometry();
    const QPainterPath mapped = transform.map(m_path);

    // The clip stays inside this element's painting. Without one, the pen
    // and brush are put back by hand: a saved painter state for every piece
    // costs a large drawing more than its outlines.
    const bool clipped = hasClipPath();
    const QPen oldPen = painter->pen();
    const QBrush oldBrush = painter->brush();
    if (clipped) {
        painter->save();
        applyClipPaths(painter, view);
    }
    drawPicture(painter, transform);
    const QPen pen = outlinePen(painter, selected, highlighted, onScreen);
    m_lastPaintedRect = mapped.boundingRect();
    drawPosition(painter, mapped, innerPiece);
    painter->setBrush(Qt::NoBrush);
    if (onScreen) {
        strokeInDevicePixels(painter, mapped, pen);
    } else {
        painter->setPen(pen);
        painter->drawPath(mapped);
    }
    if (clipped) {
        painter->restore();
    } else {
        painter->setPen(oldPen);
        painter->setBrush(oldBrush);
    }

    if (onScreen && getDocument())
        drawMarkers(painter, view.toQTransform(), mapped, selected);
}

// "tyvisibility" set to "visible" overrides a hidden or undisplayed style.
bool CSVGElementShape::isHidden()
{
    static const AttributeId tyVisibility(L"tyvisibility");
    static const AttributeId visibility(L"visibility");
    static const AttributeId display(L"display");
    if (getStyleValue(tyVisibility) == L"visible")
        return false;
    return getStyleValue(visibility) == L"hidden" || getStyleValue(display) == L"none";
}

// Largest first, so that smaller pieces lying on larger ones stay visible.
void CSVGElementShape::drawChildren(
    QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen)
{
    std::vector<std::pair<double, CSVGElementShape*>> children;
    for (int i = 0; i < getChildCount(); ++i) {
        if (CSVGElementShape* child = asShape(getChild(i))) {
            const CSVGRect box = child->getTransformedBoundingRect();
            children.emplace_back(std::fabs(box.width * box.height), child);
        }
    }
    std::stable_sort(
        children.begin(), children.end(), [](const auto& left, const auto& right) { return left.first < right.first; });
    bool first = true;
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        child->second->draw(painter, view, selected, highlighted, onScreen, !first);
        first = false;
    }
}

// The shown element is painted where the use puts it, and stays where it is
// for everyone else: only the view matrix handed down changes.
void CSVGElementShape::drawReferenced(
    QPainter* painter, const CSVGMatrix& view, bool selected, bool highlighted, bool onScreen, bool innerPiece)
{
    if (std::count(t_usesPainting.begin(), t_usesPainting.end(), this) > 0)
        return;
    CSVGMatrix relocation;
    CSVGElementShape* shown = getShownElement(relocation);
    if (!shown)
        return;
    CSVGMatrix shownView = view;
    shownView.multiply(relocation);
    t_usesPainting.push_back(this);
    shown->draw(painter, shownView, selected, highlighted, onScreen, innerPiece);
    t_usesPainting.pop_back();
}

// Each clip path applies in the coordinates of the element that names it:
// the element's own and those of its enclosing groups.
bool CSVGElementShape::hasClipPath()
{
    static const AttributeId clipPath(L"clip-path");
    return !getStyleValue(clipPath).empty() && getDocument();
}

void CSVGElementShape::applyClipPaths(QPainter* painter, const CSVGMatrix& view)
{
    painter->setRenderHint(QPainter::Antialiasing);
    for (CSVGElement* element = this; element; element = element->getParent()) {
        if (element != this && element->getType() != SvgType::G)
            continue;
        const std::wstring reference = element->getAttribute(L"clip-path");
        if (reference.find(L"url(#") == std::wstring::npos)
            continue;
        auto* clip = dynamic_cast<CSVGElementShape*>(
            getDocument()->getElementById(CGlobalConfig::getUrlReferenceId(reference)));
        if (!clip || clip->getType() != SvgType::ClipPath)
            continue;
        CSVGMatrix matrix = view;
        matrix.multiply(element->getMatrix());
        painter->setClipPath(matrix.toQTransform().map(clip->getPainterPath()), Qt::IntersectClip);
    }
}

// On screen the outline is "LineWidth" device pixels wide at every zoom (the
// pen's width is in device pixels then); printed and exported it is a
// hairline.
QPen CSVGElementShape::outlinePen(QPainter* painter, bool selected, bool highlighted, bool onScreen) const
{
    QPen pen = painter->pen();
    pen.setColor(penColor(selected, highlighted));
    pen.setWidthF(onScreen ? (t_screenLineWidth >= 0 ? t_screenLineWidth : readLineWidth()) : 0);
    // The square ends that the stroke in device pixels needs, set while the
    // pen is a copy of its own anyway.
    if (onScreen)
        pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void CSVGElementShape::beginScreenPaint()
{
    t_screenLineWidth = readLineWidth();
}

void CSVGElementShape::endScreenPaint()
{
    t_screenLineWidth = -1;
}

// A pen some pixels wide widens every curve piece by piece and then fills
// the widened outline, which costs the canvas of a large drawing more than
// everything else. The outline flattened in device pixels and drawn as
// separate lines, whose square ends cover the corners, looks the same at a
// few pixels and is drawn line by line without widening.
void CSVGElementShape::strokeInDevicePixels(QPainter* painter, const QPainterPath& mapped, const QPen& pen)
{
    thread_local std::vector<QLineF> lines;
    lines.clear();
    const bool world = painter->worldMatrixEnabled();
    for (const QPolygonF& polygon : mapped.toSubpathPolygons(world ? painter->transform() : QTransform())) {
        for (int i = 1; i < polygon.size(); ++i)
            lines.emplace_back(polygon[i - 1], polygon[i]);
    }
    QPen square = pen;
    square.setCapStyle(Qt::SquareCap);
    painter->setWorldMatrixEnabled(false);
    painter->setPen(square);
    painter->drawLines(lines.data(), static_cast<int>(lines.size()));
    painter->setWorldMatrixEnabled(world);
    if (lines.capacity() > 4096)
        std::vector<QLineF>().swap(lines);
}

QColor CSVGElementShape::penColor(bool selected, bool highlighted) const
{
    if (isTearLine())
        return Qt::gray;
    const bool deletingNodes = getDocument() && getDocument()->getEditMode() == EditMode::DeleteFeature;
    if (highlighted || (deletingNodes && !m_markedNodes.isEmpty()))
        return Qt::red;
    return selected ? kSelectedColor : QColor(Qt::black);
}

void CSVGElementShape::drawPosition(QPainter* painter, const QPainterPath& mapped, bool innerPiece)
{
    const CSVGDocument* document = getDocument();
    if (!document || !(document->isShowPositionColor() || document->isShowComment()))
        return;
    const std::wstring id = getAttribute(L"position_id");
    if (id.empty() || id == L"-1")
        return;
    const QJsonObject record = positionRecord(document, QString::fromStdWString(id));
    if (record.isEmpty())
        return;
    if (document->isShowPositionColor()) {
        const QColor color = innerPiece
            ? QColor(Qt::white)
            : g_config.textToQColor(record.value(QStringLiteral("color")).toString().toStdWString());
        painter->save();
        painter->setOpacity(0.8);
        painter->fillPath(mapped, color);
        painter->restore();
    }
    if (document->isShowComment() && !innerPiece)
        drawPositionName(painter, mapped, record.value(QStringLiteral("name")).toString());
}

// The name keeps its size at every zoom: it is drawn in device pixels.
void CSVGElementShape::drawPositionName(QPainter* painter, const QPainterPath& mapped, const QString& name)
{
    painter->save();
    const QTransform toDevice = painter->transform();
    const QPointF centre = toDevice.map(mapped.boundingRect().center());
    QFont font = painter->font();
    font.setPointSize(std::max(1, g_config.getSetting(QStringLiteral("TextWidth")).toInt()));
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(name) + 5;
    const QRectF box(centre.x() - width / 2, centre.y() - 2.0, width, metrics.height() + 5);
    painter->resetTransform();
    painter->setOpacity(1.0);
    painter->setFont(font);
    painter->setPen(Qt::black);
    painter->drawText(box, Qt::AlignHCenter | Qt::AlignTop, name);
    painter->restore();
    m_lastPaintedRect = toDevice.inverted().mapRect(box);
}

// In device pixels, without antialiasing, so that markers keep their size at
// every zoom.
void CSVGElementShape::drawMarkers(QPainter* painter, const QTransform& view, const QPainterPath& mapped, bool selected)
{
    CSVGDocument* document = getDocument();
    const int mode = document->getEditMode();
    const bool nodes = selected && document->isOutlineEditMode();
    const bool ends = getType() != SvgType::TextContent && hasOpenEnds(mapped);
    // Most pieces show no marker, and cost no saved painter state.
    if (!nodes && !ends && mode != EditMode::Path)
        return;
    painter->save();
    const QTransform toDevice = painter->transform();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (nodes) {
        if (mode == EditMode::MovePoint || document->isShowNodeRecords())
            drawHighlightNodes(painter, view * toDevice);
        else if (mode != EditMode::DeleteFeature)
            drawVertexMarkers(painter, toDevice, mapped);
    }
    if (ends)
        drawEndMarkers(painter, toDevice, mapped);
    if (mode == EditMode::Path)
        drawHighlightLines(painter, view * toDevice);
    painter->restore();
}

void CSVGElementShape::drawVertexMarkers(QPainter* painter, const QTransform& toDevice, const QPainterPath& mapped)
{
    QPolygonF vertices = getLargestPolygon(mapped);
    if (vertices.size() > 1 && vertices.first() == vertices.last())
        vertices.removeLast();
    for (int i = 0; i < vertices.size(); ++i)
        fillMarker(painter, toDevice.map(vertices[i]), m_markedNodes.contains(i) ? Qt::red : Qt::blue, i == 0 ? 2 : 0);
}

// The highlight nodes of this element and of its parent; the current node and
// the marked ones in red.
void CSVGElementShape::drawHighlightNodes(QPainter* painter, const QTransform& toDevice)
{
    CSVGDocument* document = getDocument();
    const CSVGHighlightList& list = document->getHighlightList();
    const HighlightNode current = document->getCurrentNode();
    for (const CSVGHighlight* record :
        { list.findRecord(this), getParent() ? list.findRecord(getParent()) : nullptr }) {
        if (!record)
            continue;
        for (const HighlightNode& node : record->nodes) {
            const bool red = list.isMarked(node) || (current.element && current.isSameNode(node));
            fillMarker(painter, toDevice.map(node.point), red ? Qt::red : Qt::blue);
        }
    }
}

bool CSVGElementShape::hasOpenEnds(const QPainterPath& mapped)
{
    const int count = mapped.elementCount();
    return count > 0 && !(count >= 3 && QPointF(mapped.elementAt(0)) == QPointF(mapped.elementAt(count - 1)));
}

// An open outline shows where it starts and ends.
void CSVGElementShape::drawEndMarkers(QPainter* painter, const QTransform& toDevice, const QPainterPath& mapped)
{
    fillMarker(painter, toDevice.map(QPointF(mapped.elementAt(0))), Qt::red, 1);
    fillMarker(painter, toDevice.map(QPointF(mapped.elementAt(mapped.elementCount() - 1))), Qt::red, 1);
}

// While a path is drawn: the control handle of its active segment.
void CSVGElementShape::drawHighlightLines(QPainter* painter, const QTransform& toDevice)
{
    if (const CSVGHighlight* record = getDocument()->getHighlightList().findRecord(this)) {
        for (const HighlightLine& line : record->lines) {
            const QPointF from = toDevice.map(QPointF(line.x1, line.y1));
            const QPointF to = toDevice.map(QPointF(line.x2, line.y2));
            painter->setPen(QPen(Qt::blue, 0));
            painter->drawLine(from, to);
            fillMarker(painter, from, Qt::blue);
            fillMarker(painter, to, Qt::blue);
        }
    }
}
