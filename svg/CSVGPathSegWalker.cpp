#include "CSVGPathSegWalker.h"

#include "CSVGPathSegArc.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGPathSegCurvetoCubicSmooth.h"
#include "CSVGPathSegCurvetoQuadratic.h"

void CSVGPathSegWalker::walk(const CSVGPathSegList& segments)
{
    m_current = m_subpathStart = m_control = QPointF();
    m_lastCurve = Curve::None;
    for (const auto& segment : segments) {
        if (segment)
            step(*segment);
    }
}

void CSVGPathSegWalker::step(const CSVGPathSeg& segment)
{
    const QPointF end(segment.x, segment.y);
    const Curve before = m_lastCurve;
    m_lastCurve = Curve::None;
    switch (segment.getType()) {
    case CSVGPathSeg::Moveto:
        moveTo(end);
        m_subpathStart = end;
        break;
    case CSVGPathSeg::Lineto:
        lineTo(m_current, end);
        break;
    case CSVGPathSeg::CurvetoCubic: {
        const auto& c = static_cast<const CSVGPathSegCurvetoCubic&>(segment);
        cubic(QPointF(c.x1, c.y1), QPointF(c.x2, c.y2), end);
        break;
    }
    case CSVGPathSeg::CurvetoCubicSmooth: {
        const auto& s = static_cast<const CSVGPathSegCurvetoCubicSmooth&>(segment);
        cubic(before == Curve::Cubic ? mirrored() : m_current, QPointF(s.x2, s.y2), end);
        break;
    }
    case CSVGPathSeg::CurvetoQuadratic: {
        const auto& q = static_cast<const CSVGPathSegCurvetoQuadratic&>(segment);
        quadratic(QPointF(q.x1, q.y1), end);
        break;
    }
    case CSVGPathSeg::CurvetoQuadraticSmooth:
        quadratic(before == Curve::Quadratic ? mirrored() : m_current, end);
        break;
    case CSVGPathSeg::Arc: {
        const auto& a = static_cast<const CSVGPathSegArc&>(segment);
        for (const CSVGCubicPiece& piece :
            CSVGPathData::arcToCubics(m_current, a.r1, a.r2, a.angle, a.largeArcFlag, a.sweepFlag, end))
            cubicTo(piece);
        break;
    }
    case CSVGPathSeg::ClosePath:
        closeSubpath(m_subpathStart);
        m_current = m_subpathStart;
        return;
    default:
        return;
    }
    m_current = end;
}

void CSVGPathSegWalker::cubic(const QPointF& c1, const QPointF& c2, const QPointF& end)
{
    cubicTo({ m_current, c1, c2, end });
    m_control = c2;
    m_lastCurve = Curve::Cubic;
}

// The cubic with the quadratic's control point two thirds of the way along
// each of its two handles draws exactly the same curve.
void CSVGPathSegWalker::quadratic(const QPointF& control, const QPointF& end)
{
    const QPointF c1 = m_current + (control - m_current) * (2.0 / 3.0);
    const QPointF c2 = end + (control - end) * (2.0 / 3.0);
    cubicTo({ m_current, c1, c2, end });
    m_control = control;
    m_lastCurve = Curve::Quadratic;
}

QPointF CSVGPathSegWalker::mirrored() const
{
    return 2.0 * m_current - m_control;
}
