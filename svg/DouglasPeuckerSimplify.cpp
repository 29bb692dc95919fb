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

// The working lists are the thread's own and kept for its next ring: a
// command reduces thousands of small rings in a row.
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
    thread_local std::vector<QPointF> normalised;
    thread_local std::vector<char> kept;
    normalised.clear();
    for (const QPointF& p : polygon)
        normalised.emplace_back((p.x() - bounds.left()) / scale, (p.y() - bounds.top()) / scale);
    kept.assign(normalised.size(), 0);
    reduce(normalised, kept);

    const QPointF first = normalised.front();
    int count = 0;
    bool firstKept = false;
    for (std::size_t i = 0; i < normalised.size(); ++i) {
        if (kept[i]) {
            ++count;
            firstKept = firstKept || normalised[i] == first;
        }
    }
    QPolygonF result(count + (firstKept ? 1 : 2));
    QPointF* out = result.data();
    const auto mappedBack
        = [&](const QPointF& p) { return QPointF(bounds.left() + p.x() * scale, bounds.top() + p.y() * scale); };
    if (!firstKept)
        *out++ = mappedBack(first);
    for (std::size_t i = 0; i < normalised.size(); ++i) {
        if (kept[i])
            *out++ = mappedBack(normalised[i]);
    }
    *out = result.first();
    // One very large ring does not keep its room for the rest of the run.
    if (normalised.capacity() > 65536) {
        std::vector<QPointF>().swap(normalised);
        std::vector<char>().swap(kept);
    }
    return result;
}

// Each range keeps its farthest point when that lies beyond the tolerance
// and splits there. The kept points of both halves fall on either side of
// it, so marking them and reading the marks in index order gives the points
// in the order of a depth-first walk, without a recursion as deep as the
// ring is long.
void DouglasPeuckerSimplify::reduce(const std::vector<QPointF>& points, std::vector<char>& kept)
{
    thread_local std::vector<std::pair<int, int>> ranges;
    ranges.assign(1, { 0, int(points.size()) - 1 });
    while (!ranges.empty()) {
        const auto [first, last] = ranges.back();
        ranges.pop_back();
        double distance = 0;
        const int split = farthest(points.data(), first, last, distance);
        if (split < 0 || distance <= kTolerance)
            continue;
        kept[std::size_t(split)] = 1;
        ranges.emplace_back(first, split);
        ranges.emplace_back(split, last);
    }
}

// The interior point farthest from the segment first-last, the earliest on
// equal distances; -1 when no interior point lies off the segment. The root
// grows with the square, so only a square above the largest so far can give
// a larger distance: the roots of the others are not taken.
int DouglasPeuckerSimplify::farthest(const QPointF* points, int first, int last, double& distance)
{
    int index = -1;
    // Kept in a register rather than through the reference, which the
    // compiler cannot tell apart from the points.
    double farthestDistance = 0;
    double largestSquare = 0;
    const QPointF a = points[first];
    const QPointF b = points[last];
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    for (int i = first + 1; i < last; ++i) {
        const double square = squaredDistanceToSegment(points[i], a, b, d, length2);
        if (square <= largestSquare)
            continue;
        const double root = std::sqrt(square);
        if (root > farthestDistance) {
            index = i;
            farthestDistance = root;
            largestSquare = square;
        }
    }
    distance = farthestDistance;
    return index;
}
