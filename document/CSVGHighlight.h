#pragma once

#include "CSVGMatrix.h"

#include <QColor>
#include <QPointF>
#include <QVector>

#include <memory>

class CSVGCaret;
class CSVGElement;
class CSVGElementPath;
class CSVGElementText;

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

// The editable points and helper lines of one highlighted element, in
// canvas coordinates, and the caret of a text under editing. The element is
// not owned; the caret is.
class CSVGHighlight
{
public:
    CSVGHighlight(CSVGElement* element, const QColor& color);
    ~CSVGHighlight();
    CSVGHighlight(const CSVGHighlight&) = delete;
    CSVGHighlight& operator=(const CSVGHighlight&) = delete;

    CSVGElement* getElement() const { return m_element; }
    QColor getColor() const { return m_color; }
    CSVGCaret* getCaret() const { return m_caret.get(); }

    // Rebuilds the nodes, lines and caret from the element. The active index
    // picks the path segment whose control handles show, or the character
    // position of a text's caret; -1 for none.
    void buildNodes(int activeIndex);
    // False for a record whose nodes are still to be built; a record is
    // taken as its maker filled it until deferNodes.
    bool isBuilt() const { return m_built; }
    void deferNodes() { m_built = false; }

    QVector<HighlightNode> nodes;
    QVector<HighlightLine> lines;

private:
    void addNode(const QPointF& point, int index, int subIndex = -1);
    void addLine(const QPointF& from, const QPointF& to, const QColor& color);
    // The eight box handles, and with frame the blue frame over them.
    void addBoxHandles(double x, double y, double w, double h, bool frame);
    void addPathNodes(const CSVGElementPath* path, int activeIndex);
    void addTextFrame(CSVGElementText* text, int activeIndex);

    CSVGElement* m_element;
    QColor m_color;
    std::unique_ptr<CSVGCaret> m_caret;
    // The element's accumulated matrix while the nodes are built.
    CSVGMatrix m_matrix;
    bool m_built = true;
};
