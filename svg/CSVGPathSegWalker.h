#pragma once

#include "CSVGPathData.h"

// Walks a segment list as moves, lines, cubic pieces and closes in absolute
// coordinates: smooth curves get their mirrored control point, quadratic
// curves their exact cubic, arcs their cubic pieces. Subclasses draw.
class CSVGPathSegWalker
{
public:
    virtual ~CSVGPathSegWalker() = default;
    void walk(const CSVGPathSegList& segments);

protected:
    virtual void moveTo(const QPointF& p) = 0;
    virtual void lineTo(const QPointF& from, const QPointF& to) = 0;
    virtual void cubicTo(const CSVGCubicPiece& piece) = 0;
    // start is the point the sub-path began at, where the walk goes on.
    virtual void closeSubpath(const QPointF& start) = 0;

private:
    enum class Curve { None, Cubic, Quadratic };

    void step(const CSVGPathSeg& segment);
    void cubic(const QPointF& c1, const QPointF& c2, const QPointF& end);
    void quadratic(const QPointF& control, const QPointF& end);
    QPointF mirrored() const;

    QPointF m_current;
    QPointF m_subpathStart;
    // The last control point of the segment before, when that was a curve.
    QPointF m_control;
    Curve m_lastCurve = Curve::None;
};
