// Plane geometry: point in polygon, normals at the ends of a segment.

#include "CGlobalConfig.h"
#include "SafeTruncate.h"

#include <cmath>
#include <cstdint>

namespace {

// Coordinates are truncated into this range before the crossing test, so
// that its products cannot overflow 64 bits. Drawings stay far inside it.
const std::int64_t kCoordinateLimit = std::int64_t(1) << 30;

std::int64_t whole(double value)
{
    return truncateClamped<std::int64_t>(value, -kCoordinateLimit, kCoordinateLimit);
}

// Quadrants around p, counter-clockwise in y-up terms.
int quadrant(const QPointF& v, const QPointF& p)
{
    const bool right = v.x() >= p.x();
    const bool above = v.y() >= p.y();
    if (above)
        return right ? 0 : 1;
    return right ? 3 : 2;
}

// The edge from a to b jumps across p into the opposite quadrant: it passes
// p on one side or the other, worth two quarter turns either way.
int diagonalCrossing(const QPointF& a, const QPointF& b, const QPointF& p)
{
    const std::int64_t dx = whole(a.x()) - whole(b.x());
    const std::int64_t dy = whole(a.y()) - whole(b.y());
    const std::int64_t s = dy * whole(p.x() - a.x()) + whole(a.y()) * dx;
    return s > whole(p.y()) * dx ? 2 : -2;
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
