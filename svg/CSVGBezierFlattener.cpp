#include "CSVGBezierFlattener.h"

#include <algorithm>
#include <cmath>

namespace {
bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Halving each term first keeps the middle of two huge coordinates finite.
QPointF middle(const QPointF& a, const QPointF& b)
{
    return QPointF(0.5 * a.x() + 0.5 * b.x(), 0.5 * a.y() + 0.5 * b.y());
}
} // namespace

CSVGBezierFlattener::CSVGBezierFlattener(double threshold)
    : m_tolerance(threshold >= kMinimumTolerance ? threshold : kMinimumTolerance)
    , m_limit(16.0 * m_tolerance * m_tolerance)
{
}

void CSVGBezierFlattener::flatten(
    const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3, QPolygonF& out) const
{
    const bool ends = isFinite(p0) && isFinite(p3);
    if (isFinite(p0) && (out.isEmpty() || !(out.last() == p0)))
        out.append(p0);
    if (ends && isFinite(p1) && isFinite(p2))
        subdivide(Piece { p0, p1, p2, p3, 0 }, out);
    if (isFinite(p3))
        out.append(p3);
}

// The curve's distance from its chord, taken at equal parameters, is
// t (1 - t) ((1 - t) u + t v) with u = 3 q1 - 2 q0 - q3 and v = 3 q2 - 2 q3 - q0,
// so each coordinate stays within a quarter of the larger of u and v. The
// measure is thus below 16 t^2 only when the piece is within t of its chord.
// A measure that is not a number (overflow) counts as not flat.
bool CSVGBezierFlattener::isFlat(const Piece& piece) const
{
    const double ux = 3.0 * piece.q1.x() - 2.0 * piece.q0.x() - piece.q3.x();
    const double uy = 3.0 * piece.q1.y() - 2.0 * piece.q0.y() - piece.q3.y();
    const double vx = 3.0 * piece.q2.x() - 2.0 * piece.q3.x() - piece.q0.x();
    const double vy = 3.0 * piece.q2.y() - 2.0 * piece.q3.y() - piece.q0.y();
    const double measure = std::max(ux * ux, vx * vx) + std::max(uy * uy, vy * vy);
    return measure < m_limit;
}

void CSVGBezierFlattener::split(const Piece& piece, Piece& first, Piece& second)
{
    const QPointF a = middle(piece.q0, piece.q1);
    const QPointF b = middle(piece.q1, piece.q2);
    const QPointF c = middle(piece.q2, piece.q3);
    const QPointF ab = middle(a, b);
    const QPointF bc = middle(b, c);
    const QPointF centre = middle(ab, bc);
    const int depth = piece.depth + 1;
    first = Piece { piece.q0, a, ab, centre, depth };
    second = Piece { centre, bc, c, piece.q3, depth };
}

// Depth first with an explicit stack, the first half always on top, so the
// points come out from the start of the curve to its end. A piece at depth d
// sits at most at index d, so the stack never outgrows the depth limit. The
// last piece's end point is left to the caller, which appends the exact p3.
void CSVGBezierFlattener::subdivide(const Piece& whole, QPolygonF& out) const
{
    Piece stack[kMaximumDepth + 1];
    int top = 0;
    stack[0] = whole;
    for (;;) {
        Piece& piece = stack[top];
        if (piece.depth < kMaximumDepth && !isFlat(piece)) {
            const Piece current = piece;
            split(current, stack[top + 1], stack[top]);
            ++top;
            continue;
        }
        if (top == 0)
            return;
        out.append(piece.q3);
        --top;
    }
}
