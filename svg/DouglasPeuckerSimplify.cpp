#include "DouglasPeuckerSimplify.h"

#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
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

#ifdef __SSE2__
// squaredDistanceToSegment for two points at once, operation for operation
// the same, so that the squares are the same to the last bit.
class SegmentPair
{
public:
    SegmentPair(const QPointF& a, const QPointF& b, const QPointF& d, double length2)
        : m_ax(_mm_set1_pd(a.x()))
        , m_ay(_mm_set1_pd(a.y()))
        , m_bx(_mm_set1_pd(b.x()))
        , m_by(_mm_set1_pd(b.y()))
        , m_dx(_mm_set1_pd(d.x()))
        , m_dy(_mm_set1_pd(d.y()))
        , m_length2(_mm_set1_pd(length2))
        , m_degenerate(length2 == 0)
    {
    }

    void squaredDistances(const QPointF* p, double (&squares)[2]) const
    {
        // A point is its x and y, next to each other.
        static_assert(sizeof(QPointF) == 2 * sizeof(double), "QPointF holds two doubles");
        const double* coordinates = reinterpret_cast<const double*>(p);
        const __m128d first = _mm_loadu_pd(coordinates);
        const __m128d second = _mm_loadu_pd(coordinates + 2);
        const __m128d px = _mm_unpacklo_pd(first, second);
        const __m128d py = _mm_unpackhi_pd(first, second);
        __m128d nearestX = m_ax;
        __m128d nearestY = m_ay;
        if (!m_degenerate) {
            const __m128d dot
                = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(px, m_ax), m_dx), _mm_mul_pd(_mm_sub_pd(py, m_ay), m_dy));
            const __m128d t = _mm_div_pd(dot, m_length2);
            const __m128d beyond = _mm_cmpgt_pd(t, _mm_set1_pd(1.0));
            const __m128d along = _mm_andnot_pd(beyond, _mm_cmpge_pd(t, _mm_setzero_pd()));
            const __m128d alongX = _mm_add_pd(m_ax, _mm_mul_pd(m_dx, t));
            const __m128d alongY = _mm_add_pd(m_ay, _mm_mul_pd(m_dy, t));
            nearestX = select(beyond, m_bx, select(along, alongX, m_ax));
            nearestY = select(beyond, m_by, select(along, alongY, m_ay));
        }
        const __m128d ox = _mm_sub_pd(px, nearestX);
        const __m128d oy = _mm_sub_pd(py, nearestY);
        _mm_storeu_pd(squares, _mm_add_pd(_mm_mul_pd(ox, ox), _mm_mul_pd(oy, oy)));
    }

private:
    static __m128d select(__m128d mask, __m128d yes, __m128d no)
    {
        return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
    }

    __m128d m_ax, m_ay, m_bx, m_by, m_dx, m_dy, m_length2;
    bool m_degenerate;
};
#endif
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
        // A range without interior points has nothing to keep.
        if (split - first > 1)
            ranges.emplace_back(first, split);
        if (last - split > 1)
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
    const auto consider = [&](int i, double square) {
        if (square <= largestSquare)
            return;
        const double root = std::sqrt(square);
        if (root > farthestDistance) {
            index = i;
            farthestDistance = root;
            largestSquare = square;
        }
    };
    int i = first + 1;
#ifdef __SSE2__
    // Two points at a time: the division that places each along the
    // segment is most of the work, and the pair shares one.
    const SegmentPair segment(a, b, d, length2);
    for (; i + 1 < last; i += 2) {
        double squares[2];
        segment.squaredDistances(points + i, squares);
        consider(i, squares[0]);
        consider(i + 1, squares[1]);
    }
#endif
    for (; i < last; ++i)
        consider(i, squaredDistanceToSegment(points[i], a, b, d, length2));
    distance = farthestDistance;
    return index;
}
