#include "DouglasPeuckerSimplify.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {
// The square of the distance from p to the segment from a to b, which has
// the direction d and the squared length length2.
double squaredDistanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b, const QPointF& d, double length2)
{
    QPointF nearest = a;
    if (length2 != 0) {
        const double t = QPointF::dotProduct(p - a, d) / length2;
        if (t > 1)
            nearest = b;
        else if (t >= 0)
            nearest = a + t * d;
    }
    const QPointF offset = p - nearest;
    return offset.x() * offset.x() + offset.y() * offset.y();
}
} // namespace

DouglasPeuckerSimplify::DouglasPeuckerSimplify(QObject* parent)
    : QObject(parent)
{
}

QPolygonF DouglasPeuckerSimplify::simplify(const QPolygonF& polygon) const
{
    if (!polygon.isClosed())
        return polygon;
    const QRectF bounds = polygon.boundingRect();
    // A ring whose points all coincide has no extent to normalise by; its
    // points are compared as they are.
    double scale = bounds.height() > bounds.width() ? bounds.height() : bounds.width();
    if (scale == 0)
        scale = 1;
    QPolygonF normalised;
    normalised.reserve(polygon.size());
    for (const QPointF& p : polygon)
        normalised.append(QPointF((p.x() - bounds.left()) / scale, (p.y() - bounds.top()) / scale));

    QVector<bool> kept(normalised.size(), false);
    reduce(normalised, kept);
    QPolygonF result;
    result.reserve(normalised.size() + 2);
    for (int i = 0; i < normalised.size(); ++i) {
        if (kept[i])
            result.append(normalised[i]);
    }
    if (!result.contains(normalised.first()))
        result.prepend(normalised.first());
    result.append(result.first());
    for (QPointF& p : result)
        p = QPointF(bounds.left() + p.x() * scale, bounds.top() + p.y() * scale);
    return result;
}

// Each range keeps its farthest point when that lies beyond the tolerance
// and splits there. The kept points of both halves fall on either side of
// it, so marking them and reading the marks in index order gives the points
// in the order of a depth-first walk, without a recursion as deep as the
// ring is long.
void DouglasPeuckerSimplify::reduce(const QPolygonF& points, QVector<bool>& kept)
{
    std::vector<std::pair<int, int>> ranges { { 0, int(points.size()) - 1 } };
    while (!ranges.empty()) {
        const auto [first, last] = ranges.back();
        ranges.pop_back();
        double distance = 0;
        const int split = farthest(points, first, last, distance);
        if (split < 0 || distance <= kTolerance)
            continue;
        kept[split] = true;
        ranges.emplace_back(first, split);
        ranges.emplace_back(split, last);
    }
}

// The interior point farthest from the segment first-last, the earliest on
// equal distances; -1 when no interior point lies off the segment. The root
// grows with the square, so only a square above the largest so far can give
// a larger distance: the roots of the others are not taken.
int DouglasPeuckerSimplify::farthest(const QPolygonF& points, int first, int last, double& distance)
{
    int index = -1;
    distance = 0;
    double largestSquare = 0;
    const QPointF& a = points[first];
    const QPointF& b = points[last];
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    for (int i = first + 1; i < last; ++i) {
        const double square = squaredDistanceToSegment(points[i], a, b, d, length2);
        if (square <= largestSquare)
            continue;
        const double root = std::sqrt(square);
        if (root > distance) {
            index = i;
            distance = root;
            largestSquare = square;
        }
    }
    return index;
}
