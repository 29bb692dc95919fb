#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <vector>

// Finds the vertex of a polygon nearest to a point without looking at every
// vertex: the vertices are sorted into square cells, and the search grows
// ring by ring around the point's cell until no nearer vertex can follow.
class CSVGVertexGrid
{
public:
    // The first count vertices of the polygon, which must be finite.
    CSVGVertexGrid(const QPolygonF& polygon, int count);

    // The index of the nearest vertex, the lowest one among equally near
    // ones; -1 without vertices.
    int nearest(const QPointF& point) const;

private:
    int column(double x) const;
    int row(double y) const;
    // Looks at the cells at the ring's distance from (column, row).
    void searchRing(
        const QPointF& point, int centreColumn, int centreRow, int ring, double& best, int& bestIndex) const;
    void searchCell(const QPointF& point, int column, int row, double& best, int& bestIndex) const;

    QPolygonF m_points;
    QRectF m_bounds;
    double m_cell = 1.0;
    int m_columns = 1;
    int m_rows = 1;
    // The vertex indices of cell c are m_items[m_starts[c] .. m_starts[c + 1]).
    std::vector<int> m_starts;
    std::vector<int> m_items;
};
