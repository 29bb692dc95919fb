// Elliptical arcs as cubic Bezier pieces.

#include "CSVGPathData.h"

#include <algorithm>
#include <cmath>

namespace {
// The model's angle constants: degrees turn into radians with pi taken as
// 3.1415926, as in every transform.
const double kDegree = 3.1415926 / 180.0;
const double kFullTurn = 6.2831852;
const double kQuarterTurn = 1.5707963;

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

CSVGCubicPiece straightPiece(const QPointF& start, const QPointF& end)
{
    return { start, start + (end - start) / 3.0, start + (end - start) * (2.0 / 3.0), end };
}

// The ellipse around its centre, its x axis turned by the angle whose
// cosine and sine are given.
struct Ellipse
{
    double rx, ry, cos, sin;
    QPointF centre;

    QPointF at(double t) const
    {
        return QPointF(rx * cos * std::cos(t) - ry * sin * std::sin(t) + centre.x(),
            rx * sin * std::cos(t) + ry * cos * std::sin(t) + centre.y());
    }
    QPointF tangent(double t) const
    {
        return QPointF(
            -rx * cos * std::sin(t) - ry * sin * std::cos(t), -rx * sin * std::sin(t) + ry * cos * std::cos(t));
    }
};
} // namespace

// The end-point form of the arc is turned into its centre form: the start
// and end point in the ellipse's own axes, the centre, then the angles of
// both points around it.
std::vector<CSVGCubicPiece> CSVGPathData::arcToCubics(
    const QPointF& start, double rx, double ry, double angle, bool largeArcFlag, bool sweepFlag, const QPointF& end)
{
    std::vector<CSVGCubicPiece> pieces;
    if (!isFinite(start) || !isFinite(end) || start == end)
        return pieces;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    const double phi = std::isfinite(angle) ? angle * kDegree : 0.0;
    Ellipse e { rx, ry, std::cos(phi), std::sin(phi), QPointF() };
    const double x1 = 0.5 * (start.x() - end.x()) * e.cos + 0.5 * (start.y() - end.y()) * e.sin;
    const double y1 = 0.5 * (start.y() - end.y()) * e.cos - 0.5 * (start.x() - end.x()) * e.sin;

    // Above 1 the radii fall short of reaching from start to end: they grow
    // until the end lies on the ellipse, whose centre then sits halfway
    // between the points. Radii so small or large that this measure
    // overflows or vanishes give a straight piece.
    const double reach = rx > 0.0 && ry > 0.0 ? std::hypot(x1 / rx, y1 / ry) : 0.0;
    if (!std::isfinite(reach) || !(reach > 0.0)) {
        pieces.push_back(straightPiece(start, end));
        return pieces;
    }
    double factor = 0.0;
    if (reach > 1.0) {
        e.rx *= reach;
        e.ry *= reach;
    } else {
        factor = std::sqrt(1.0 - reach * reach) / reach;
        if (largeArcFlag == sweepFlag)
            factor = -factor;
    }
    const double cx = factor * e.rx * y1 / e.ry;
    const double cy = -factor * e.ry * x1 / e.rx;
    e.centre = QPointF(
        e.cos * cx - e.sin * cy + 0.5 * (start.x() + end.x()), e.sin * cx + e.cos * cy + 0.5 * (start.y() + end.y()));

    double a1 = std::atan2((y1 - cy) / e.ry, (x1 - cx) / e.rx);
    const double a2 = std::atan2((-y1 - cy) / e.ry, (-x1 - cx) / e.rx);
    double sweep = a2 - a1;
    if (a2 < a1)
        sweep += kFullTurn;
    if (!sweepFlag && sweep > 0.0)
        sweep -= kFullTurn;
    else if (sweepFlag && sweep < 0.0)
        sweep += kFullTurn;
    if (a1 < 0.0)
        a1 += kFullTurn;

    const double quarters = std::ceil(std::fabs(sweep / kQuarterTurn));
    if (!std::isfinite(quarters) || !isFinite(e.centre) || quarters < 1.0) {
        pieces.push_back(straightPiece(start, end));
        return pieces;
    }
    // A finite sweep never exceeds a full turn: at most 5 pieces.
    const int count = static_cast<int>(std::min(quarters, 5.0));
    const double step = sweep / count;
    const double alpha = 8.0 / 3.0 * std::sin(step / 4) * std::sin(step / 4) / std::sin(step / 2);
    QPointF from = start;
    double t = a1;
    for (int i = 0; i < count; ++i) {
        const QPointF to = i + 1 == count ? end : e.at(t + step);
        pieces.push_back({ from, from + alpha * e.tangent(t), e.at(t + step) - alpha * e.tangent(t + step), to });
        from = to;
        t += step;
    }
    return pieces;
}
