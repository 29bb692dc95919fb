#pragma once

#include <QColor>
#include <QPointF>
#include <QVector>

class CSVGElement;

// One editable point of a highlighted element, in canvas coordinates.
struct HighlightNode
{
    QPointF point;
    QColor color = Qt::green;
    // Vertex, segment or handle number; -1 for no node.
    int index = -1;
    // -1 for a vertex or handle; 0 for the second control point of a cubic
    // segment, 1 for that point mirrored through the segment's end.
    int subIndex = -1;
    CSVGElement* element = nullptr;

    bool isSameNode(const HighlightNode& other) const
    {
        return index == other.index && subIndex == other.subIndex && element == other.element;
    }
};

// A line drawn with a highlight, in canvas coordinates.
struct HighlightLine
{
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    int weight = 1;
    QColor color = Qt::blue;
    int style = 2;
};

// The editable points and helper lines of one highlighted element. The
// element is not owned.
class CSVGHighlight
{
public:
    CSVGHighlight(CSVGElement* element, const QColor& color);

    CSVGElement* getElement() const { return m_element; }
    QColor getColor() const { return m_color; }

    QVector<HighlightNode> nodes;
    QVector<HighlightLine> lines;

private:
    CSVGElement* m_element;
    QColor m_color;
};
