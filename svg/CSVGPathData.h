#pragma once

#include "CSVGPathSeg.h"

#include <QPainterPath>
#include <QPointF>

#include <array>
#include <cmath>
#include <string>
#include <vector>

// One cubic Bezier piece: start, first control, second control, end.
using CSVGCubicPiece = std::array<QPointF, 4>;

// The path data of a path element: "d" text to segments and back, and the
// geometry drawn from the segments.
class CSVGPathData
{
public:
    // Reads "d" text into absolute segments. Relative commands are made
    // absolute, further pairs after a move are lines, and a close is put in
    // front of every move that follows another segment. Missing numbers of
    // a last incomplete group count as 0, unknown letters are skipped with
    // their numbers and text before the first letter is ignored. Every
    // coordinate of the result is finite.
    static CSVGPathSegList parsePathData(const std::wstring& text);

    // The segments as "d" text, two decimals, single spaces between them; a
    // close that follows a close is left out. Empty for no segments.
    static std::wstring toPathData(const CSVGPathSegList& segments);

    // The elliptical arc from start to end as cubic pieces, the first from
    // exactly start and the last to exactly end. Radii are taken as absolute
    // values and grown when they cannot reach the end; a radius of 0 gives
    // one straight piece; equal end points give no piece at all.
    static std::vector<CSVGCubicPiece> arcToCubics(const QPointF& start, double rx, double ry, double angle,
        bool largeArcFlag, bool sweepFlag, const QPointF& end);

    // The outline for drawing. Quadratic curves become their exact cubic;
    // smooth curves mirror the control point of a curve of their kind just
    // before them and start with the current point otherwise. Points that
    // are not finite or too large to draw leave their segment out.
    static QPainterPath toPainterPath(const CSVGPathSegList& segments);
    // QPainterPath refuses points beyond about 1e128, with a warning for
    // each; the painter path leaves such points out instead, quietly.
    // Inline: the outlines that commands make ask it for every point.
    static bool isDrawable(const QPointF& p)
    {
        const double limit = 1e128;
        return std::isfinite(p.x()) && std::isfinite(p.y()) && std::fabs(p.x()) < limit && std::fabs(p.y()) < limit;
    }

    // A coarse point list along the same outline, for bounds and hit tests:
    // both ends of every line, the curves sampled by flattenCubic, and the
    // sub-path's start again at every close. Only finite points.
    static std::vector<QPointF> toFlattenedPoints(const CSVGPathSegList& segments);
    // The same points appended to points.
    static void appendFlattenedPoints(const CSVGPathSegList& segments, std::vector<QPointF>& points);

    // Appends the piece's start and then those of 21 even samples (t = 0,
    // 0.05, ..., 1) that lie 1.0 or more, in x or in y, from the point
    // appended last.
    static void flattenCubic(const CSVGCubicPiece& piece, std::vector<QPointF>& out);
};
