#include "CSVGVertexGrid.h"

#include <algorithm>
#include <cmath>

CSVGVertexGrid::CSVGVertexGrid(const QPolygonF& polygon, int count)
    : m_points(polygon.mid(0, std::max(0, count)))
{
    if (m_points.isEmpty())
        return;
    m_bounds = m_points.boundingRect();
    // About one vertex per cell.
    const double side = std::ceil(std::sqrt(double(m_points.size())));
    m_cell = std::max(m_bounds.width(), m_bounds.height()) / side;
    if (!(m_cell > 0) || !std::isfinite(m_cell))
        m_cell = 1.0;
    m_columns = std::max(1, int(std::min(side, std::floor(m_bounds.width() / m_cell) + 1)));
    m_rows = std::max(1, int(std::min(side, std::floor(m_bounds.height() / m_cell) + 1)));
    std::vector<int> cells(std::size_t(m_points.size()));
    m_starts.assign(std::size_t(m_columns) * std::size_t(m_rows) + 1, 0);
    for (int i = 0; i < m_points.size(); ++i) {
        cells[std::size_t(i)] = row(m_points[i].y()) * m_columns + column(m_points[i].x());
        ++m_starts[std::size_t(cells[std::size_t(i)]) + 1];
    }
    for (std::size_t c = 1; c < m_starts.size(); ++c)
        m_starts[c] += m_starts[c - 1];
    m_items.resize(std::size_t(m_points.size()));
    std::vector<int> filled(m_starts.begin(), m_starts.end() - 1);
    for (int i = 0; i < m_points.size(); ++i)
        m_items[std::size_t(filled[std::size_t(cells[std::size_t(i)])]++)] = i;
}

int CSVGVertexGrid::column(double x) const
{
    const double offset = std::floor((x - m_bounds.left()) / m_cell);
    return int(std::clamp(std::isfinite(offset) ? offset : 0.0, 0.0, double(m_columns - 1)));
}

int CSVGVertexGrid::row(double y) const
{
    const double offset = std::floor((y - m_bounds.top()) / m_cell);
    return int(std::clamp(std::isfinite(offset) ? offset : 0.0, 0.0, double(m_rows - 1)));
}

// A vertex in ring r + 1 lies at least r cells away from a point in (or
// clamped to) the centre cell, so the search stops once the best distance
// is shorter than that.
int CSVGVertexGrid::nearest(const QPointF& point) const
{
    double best = INFINITY;
    int bestIndex = -1;
    const int centreColumn = column(point.x());
    const int centreRow = row(point.y());
    const int rings = std::max(m_columns, m_rows);
    for (int ring = 0; ring <= rings && !m_points.isEmpty(); ++ring) {
        searchRing(point, centreColumn, centreRow, ring, best, bestIndex);
        if (bestIndex >= 0 && std::sqrt(best) < ring * m_cell)
            break;
    }
    return bestIndex;
}

void CSVGVertexGrid::searchRing(
    const QPointF& point, int centreColumn, int centreRow, int ring, double& best, int& bestIndex) const
{
    for (int r = centreRow - ring; r <= centreRow + ring; ++r) {
        const bool edgeRow = r == centreRow - ring || r == centreRow + ring;
        const int step = edgeRow ? 1 : std::max(1, 2 * ring);
        for (int c = centreColumn - ring; c <= centreColumn + ring; c += step)
            searchCell(point, c, r, best, bestIndex);
    }
}

void CSVGVertexGrid::searchCell(const QPointF& point, int column, int row, double& best, int& bestIndex) const
{
    if (column < 0 || row < 0 || column >= m_columns || row >= m_rows)
        return;
    const std::size_t cell = std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    for (int k = m_starts[cell]; k < m_starts[cell + 1]; ++k) {
        const int index = m_items[std::size_t(k)];
        const QPointF d = m_points[index] - point;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance < best || (distance == best && index < bestIndex)) {
            best = distance;
            bestIndex = index;
        }
    }
}
