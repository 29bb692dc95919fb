#include "CSVGOutlineGrid.h"

#include <algorithm>
#include <cmath>

namespace {
// About one cell per rectangle; the cap bounds the cells that one large
// rectangle is listed in.
constexpr int kMaximumSide = 512;
} // namespace

CSVGOutlineGrid::CSVGOutlineGrid(const std::vector<QRectF>& rects)
{
    if (!rects.empty()) {
        double left = rects[0].left(), top = rects[0].top(), right = rects[0].right(), bottom = rects[0].bottom();
        for (const QRectF& rect : rects) {
            left = std::min(left, rect.left());
            top = std::min(top, rect.top());
            right = std::max(right, rect.right());
            bottom = std::max(bottom, rect.bottom());
        }
        m_bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    int side = 1;
    while (side < kMaximumSide && std::size_t(side) * std::size_t(side) < rects.size())
        ++side;
    m_columns = m_bounds.width() > 0 ? side : 1;
    m_rows = m_bounds.height() > 0 ? side : 1;
    m_cells.resize(std::size_t(m_columns) * std::size_t(m_rows));
    for (int i = 0; i < int(rects.size()); ++i) {
        const QRectF& rect = rects[std::size_t(i)];
        const int lastColumn = column(rect.right());
        const int lastRow = row(rect.bottom());
        for (int r = row(rect.top()); r <= lastRow; ++r) {
            for (int c = column(rect.left()); c <= lastColumn; ++c)
                m_cells[std::size_t(r) * std::size_t(m_columns) + std::size_t(c)].push_back(i);
        }
    }
}

const std::vector<int>& CSVGOutlineGrid::candidates(const QPointF& point) const
{
    return m_cells[std::size_t(row(point.y())) * std::size_t(m_columns) + std::size_t(column(point.x()))];
}

// Monotonic in the offset, so a point inside a rectangle falls into one of
// the rectangle's cells; clamped before the conversion, so that offsets
// outside the grid or extents too large for a double cannot overflow it.
int CSVGOutlineGrid::cell(double offset, double size, int count)
{
    const double at = std::floor(offset / size * count);
    if (!(at >= 0))
        return 0;
    if (!(at < count))
        return count - 1;
    return int(at);
}
