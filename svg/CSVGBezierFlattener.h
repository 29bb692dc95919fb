#pragma once

#include <QPointF>
#include <QPolygonF>

// Turns one cubic Bezier curve into points by adaptive subdivision: a piece is
// split in half until no point of it lies farther than the tolerance from its
// chord. A small value object; make one per curve or reuse it, it keeps no
// state between calls.
class CSVGBezierFlattener
{
public:
    // A tolerance of 0, below it or not a number could never be met (or, at
    // 0, would leave curves out altogether), so it is raised to this floor:
    // a thousandth of a millimetre, far below any plotter's step.
    static constexpr double kMinimumTolerance = 0.001;
    // Each halving shrinks the deviation fourfold; 16 levels cover a curve
    // 4^16 times larger than the tolerance and bound a curve to 65536 chords
    // even when its pieces never become flat (coordinates that overflow).
    static constexpr int kMaximumDepth = 16;

    explicit CSVGBezierFlattener(double threshold);

    // Appends the curve p0 p1 p2 p3 to out, from p0 (left out when out
    // already ends there) to exactly p3. Points that are not finite are left
    // out; a curve with such a control point is drawn as its chord.
    void flatten(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3, QPolygonF& out) const;

private:
    struct Piece
    {
        QPointF q0, q1, q2, q3;
        int depth;
    };

    bool isFlat(const Piece& piece) const;
    static void split(const Piece& piece, Piece& first, Piece& second);
    void subdivide(const Piece& whole, QPolygonF& out) const;

    double m_tolerance;
    double m_limit;
};
