#include "CSVGHighlight.h"

#include "CSVGCaret.h"
#include "CSVGElementPath.h"
#include "CSVGElementPolyline.h"
#include "CSVGElementText.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "SvgCodes.h"

CSVGHighlight::CSVGHighlight(CSVGElement* element, const QColor& color)
    : m_element(element)
    , m_color(color)
{
}

CSVGHighlight::~CSVGHighlight() = default;

void CSVGHighlight::buildNodes(int activeIndex)
{
    m_built = true;
    m_caret.reset();
    nodes.clear();
    lines.clear();
    if (!m_element)
        return;
    m_matrix = m_element->getMatrix();
    const auto number = [this](const wchar_t* name) { return m_element->getAttributeNumber(name); };
    switch (m_element->getType()) {
    case SvgType::Line:
        addNode(QPointF(number(L"x1"), number(L"y1")), 0);
        addNode(QPointF(number(L"x2"), number(L"y2")), 1);
        break;
    case SvgType::Rect:
    case SvgType::Image:
        addBoxHandles(number(L"x"), number(L"y"), number(L"width"), number(L"height"), false);
        break;
    case SvgType::Circle:
        addBoxHandles(
            number(L"cx") - number(L"r"), number(L"cy") - number(L"r"), 2 * number(L"r"), 2 * number(L"r"), true);
        break;
    case SvgType::Ellipse:
        addBoxHandles(
            number(L"cx") - number(L"rx"), number(L"cy") - number(L"ry"), 2 * number(L"rx"), 2 * number(L"ry"), true);
        break;
    case SvgType::Polyline:
    case SvgType::Polygon:
        if (auto* polyline = dynamic_cast<CSVGElementPolyline*>(m_element)) {
            const QPolygonF& points = polyline->getPoints();
            for (int i = 0; i < points.size(); ++i)
                addNode(points[i], i);
        }
        break;
    case SvgType::Path:
        if (auto* path = dynamic_cast<const CSVGElementPath*>(m_element))
            addPathNodes(path, activeIndex);
        break;
    case SvgType::Text:
        if (auto* text = dynamic_cast<CSVGElementText*>(m_element))
            addTextFrame(text, activeIndex);
        break;
    default:
        break;
    }
}

void CSVGHighlight::addNode(const QPointF& point, int index, int subIndex)
{
    HighlightNode node;
    node.point = m_matrix.map(point);
    node.color = m_color;
    node.index = index;
    node.subIndex = subIndex;
    node.element = m_element;
    nodes.append(node);
}

void CSVGHighlight::addLine(const QPointF& from, const QPointF& to, const QColor& color)
{
    HighlightLine line;
    line.x1 = from.x();
    line.y1 = from.y();
    line.x2 = to.x();
    line.y2 = to.y();
    line.color = color;
    lines.append(line);
}

void CSVGHighlight::addBoxHandles(double x, double y, double w, double h, bool frame)
{
    const QPointF handles[] = { { x, y }, { x + w / 2, y }, { x + w, y }, { x + w, y + h / 2 }, { x + w, y + h },
        { x + w / 2, y + h }, { x, y + h }, { x, y + h / 2 } };
    for (int i = 0; i < 8; ++i)
        addNode(handles[i], HandleIndex::LeftTop + i);
    if (!frame)
        return;
    const auto at = [this](int handle) { return nodes[handle].point; };
    addLine(at(0), at(2), Qt::blue);
    addLine(at(2), at(4), Qt::blue);
    addLine(at(4), at(6), Qt::blue);
    addLine(at(0), at(6), Qt::blue);
}

// The active cubic segment shows its second control point and that point
// mirrored through the segment's end, before the end points.
void CSVGHighlight::addPathNodes(const CSVGElementPath* path, int activeIndex)
{
    const auto* active = activeIndex >= 0 ? path->getSegment(activeIndex) : nullptr;
    if (active && active->getType() == CSVGPathSeg::CurvetoCubic) {
        const auto* cubic = static_cast<const CSVGPathSegCurvetoCubic*>(active);
        const QPointF control(cubic->x2, cubic->y2);
        const QPointF mirrored(2 * cubic->x - cubic->x2, 2 * cubic->y - cubic->y2);
        addNode(mirrored, activeIndex, 1);
        addNode(control, activeIndex, 0);
        addLine(m_matrix.map(mirrored), m_matrix.map(control), Qt::blue);
    }
    nodes.reserve(nodes.size() + path->getSegmentCount());
    for (int i = 0; i < path->getSegmentCount(); ++i) {
        const CSVGPathSeg* segment = path->getSegment(i);
        addNode(QPointF(segment->x, segment->y), i);
    }
}

// A white frame 5 units outside the text's box with a blue one a unit
// further out, and the caret after the first activeIndex characters.
void CSVGHighlight::addTextFrame(CSVGElementText* text, int activeIndex)
{
    const CSVGRect box = text->getBoundingRect();
    const QPointF a = m_matrix.map(QPointF(box.x - 5, box.y - 5));
    const QPointF b = m_matrix.map(QPointF(box.x + box.width + 5, box.y - 5));
    const QPointF c = m_matrix.map(QPointF(box.x + box.width + 5, box.y + box.height + 5));
    const QPointF d = m_matrix.map(QPointF(box.x - 5, box.y + box.height + 5));
    addLine(a, b, Qt::white);
    addLine(b, c, Qt::white);
    addLine(c, d, Qt::white);
    addLine(a, d, Qt::white);
    const QPointF a1(a.x() - 1, a.y() - 1);
    const QPointF b1(b.x() + 1, b.y() - 1);
    const QPointF c1(c.x() + 1, c.y() + 1);
    const QPointF d1(d.x() - 1, d.y() + 1);
    addLine(a1, b1, Qt::blue);
    addLine(b1, c1, Qt::blue);
    addLine(c1, d1, Qt::blue);
    addLine(a1, d1, Qt::blue);
    if (activeIndex < 0)
        return;
    const double caretX = box.x + text->getTextRect(activeIndex).width;
    const QPointF top = m_matrix.map(QPointF(caretX, box.y - 3));
    const QPointF bottom = m_matrix.map(QPointF(caretX, box.y + box.height + 3));
    m_caret = std::make_unique<CSVGCaret>();
    m_caret->dark.x1 = top.x();
    m_caret->dark.y1 = top.y();
    m_caret->dark.x2 = bottom.x();
    m_caret->dark.y2 = bottom.y();
    m_caret->light.x1 = top.x() + 1;
    m_caret->light.y1 = top.y();
    m_caret->light.x2 = bottom.x() + 1;
    m_caret->light.y2 = bottom.y();
}
