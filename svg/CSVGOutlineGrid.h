#pragma once

#include <QPointF>
#include <QRectF>

#include <vector>

// A uniform grid over a set of rectangles that answers which of them may
// hold a point: each rectangle is listed in every cell it overlaps, so the
// cell of a point lists every rectangle that contains it (and some that only
// share the cell). Finding the containers of many small outlines among many
// others thus looks at their neighbours only instead of at all of them.
class CSVGOutlineGrid
{
public:
    // Rectangles are known by their position in the vector; all must be finite.
    explicit CSVGOutlineGrid(const std::vector<QRectF>& rects);

    // The positions, ascending, of the rectangles listed in the point's cell.
    const std::vector<int>& candidates(const QPointF& point) const;

private:
    static int cell(double offset, double size, int count);
    int column(double x) const { return cell(x - m_bounds.left(), m_bounds.width(), m_columns); }
    int row(double y) const { return cell(y - m_bounds.top(), m_bounds.height(), m_rows); }

    QRectF m_bounds;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<std::vector<int>> m_cells;
};
