// Plane geometry: point in polygon, normals at the ends of a segment.

#include "CGlobalConfig.h"

#include <cmath>

namespace {

// Quadrants around p, counter-clockwise in y-up terms.
int quadrant(const QPointF& v, const QPointF& p)
{
    const bool right = v.x() >= p.x();
    const bool above = v.y() >= p.y();
    if (above)
        return right ? 0 : 1;
    return right ? 3 : 2;
}

// a x b - c x d with one rounding: the error of the first product is
// carried into the result, so that the sign comes out right also where the
// two products nearly cancel.
double differenceOfProducts(double a, double b, double c, double d)
{
    const double cd = c * d;
    const double error = std::fma(-c, d, cd);
    return std::fma(a, b, -cd) + error;
}

// The edge from a to b jumps across p into the opposite quadrant: it passes
// p on one side or the other, worth two quarter turns either way. The side
// is decided in floating point: shapes under one unit, and those drawn in
// small units under a scaling group, must not be rounded away.
int diagonalCrossing(const QPointF& a, const QPointF& b, const QPointF& p)
{
    const double dx = a.x() - b.x();
    const double dy = a.y() - b.y();
    return differenceOfProducts(dy, p.x() - a.x(), dx, p.y() - a.y()) > 0 ? 2 : -2;
}

} // namespace

bool CGlobalConfig::pointInPolygon(const std::vector<QPointF>& polygon, const QPointF& p)
{
    if (polygon.empty())
        return false;
    int q = quadrant(polygon.back(), p);
    int winding = 0;
    const QPointF* previous = &polygon.back();
    for (const QPointF& vertex : polygon) {
        const int next = quadrant(vertex, p);
        if (next == (q + 1) % 4)
            ++winding;
        else if (q == (next + 1) % 4)
            --winding;
        else if (next != q)
            winding += diagonalCrossing(*previous, vertex, p);
        q = next;
        previous = &vertex;
    }
    return winding != 0;
}

bool CGlobalConfig::pointInPolygon(const QList<QPointF>& polygon, const QPointF& p)
{
    return pointInPolygon(std::vector<QPointF>(polygon.begin(), polygon.end()), p);
}

void CGlobalConfig::segmentEndNormalPoints(
    const QPointF& p1, const QPointF& p2, QPointF& q1, QPointF& q2, double distance)
{
    q1 = segmentNormalPoint(p1, p2, distance, true);
    q2 = segmentNormalPoint(p1, p2, distance, false);
}

// The point at the signed distance from one end along the normal (u.y, -u.x)
// of the direction u from p1 to p2.
QPointF CGlobalConfig::segmentNormalPoint(const QPointF& p1, const QPointF& p2, double distance, bool atP1)
{
    const QPointF base = atP1 ? p1 : p2;
    const double t = std::atan2(std::fabs(p2.y() - p1.y()), std::fabs(p2.x() - p1.x()));
    const double across = distance * std::sin(t);
    const double along = distance * std::cos(t);
    switch (segmentQuadrant(p1, p2)) {
    case 1:
        return QPointF(base.x() + across, base.y() - along);
    case 2:
        return QPointF(base.x() + across, base.y() + along);
    case 3:
        return QPointF(base.x() - across, base.y() + along);
    case 4:
        return QPointF(base.x() - across, base.y() - along);
    default:
        return QPointF(0, 0);
    }
}

int CGlobalConfig::segmentQuadrant(const QPointF& p1, const QPointF& p2)
{
    const double dx = p2.x() - p1.x();
    const double dy = p2.y() - p1.y();
    if (dx > 0 && dy >= 0)
        return 1;
    if (dx <= 0 && dy > 0)
        return 2;
    if (dx < 0 && dy <= 0)
        return 3;
    if (dx >= 0 && dy < 0)
        return 4;
    return 0;
}
