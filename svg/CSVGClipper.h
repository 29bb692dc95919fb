#pragma once

#include "CSVGOutline.h"

#include <QPolygonF>

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <vector>

class CSVGElement;

// The bridge between canvas geometry and the Clipper library, which offsets
// and clips polygons of 64-bit integer points. Canvas coordinates are scaled
// by 10000 (four decimals survive) and truncated toward zero on the way in,
// and divided by 10000 on the way out.
//
// Nothing here throws: a coordinate or distance that is not finite or lies
// outside the range below makes the whole operation give an empty result,
// before the library could refuse it or an integer conversion overflow.
class CSVGClipper
{
public:
    static constexpr double kScale = 10000.0;
    // Largest magnitude of a scaled coordinate or distance: a quarter of the
    // library's range, so that a point grown by twice the largest distance
    // (a mitre) still fits. About 1.15e14 canvas units.
    static constexpr double kLimit = double(ClipperLib::hiRange / 4);
    static constexpr double kMiterLimit = 2.0;
    // A round join never takes more than this many steps for a full turn,
    // whatever the ratio of distance to arc tolerance asks for.
    static constexpr double kMaximumArcSteps = 100000;
    // Width, in integer units, of the strip that a straight cut removes.
    static constexpr double kSliverWidth = 3;
    // From this many points on, a ring that does not cross itself is grown
    // or shrunk with round joins by GEOS: the library's merge of its output
    // rings takes time with the square of the points there.
    static constexpr int kLargeRing = 4096;

    // Inline: the merge turns every point of every piece with it.
    static bool toIntPoint(const QPointF& point, ClipperLib::IntPoint& out)
    {
        const double x = point.x() * kScale;
        const double y = point.y() * kScale;
        if (!fits(x) || !fits(y))
            return false;
        out = ClipperLib::IntPoint(ClipperLib::cInt(x), ClipperLib::cInt(y));
        return true;
    }
    // The scaled points, last to first when reversed. False, with path left
    // as it was, when a point is not finite or out of range.
    static bool toPath(const QPolygonF& polygon, ClipperLib::Path& path, bool reversed = false);
    static QPolygonF toPolygon(const ClipperLib::Path& path);

    // The polygon grown (positive delta) or shrunk by delta with the given
    // joins and ends, one ring per resulting path in the library's order,
    // each closed by a copy of its first point. Empty when the offset makes
    // the polygon vanish or an argument is unusable. A large ring (see
    // kLargeRing) comes back from GEOS, outer rings each followed by their
    // holes, its arcs as finely divided as the library would divide them.
    static std::vector<QPolygonF> offsetRings(const QPolygonF& polygon, double delta, double arcTolerance,
        ClipperLib::JoinType joinType, ClipperLib::EndType endType);
    // offsetRings with each ring reduced by DouglasPeuckerSimplify, keeping
    // the unreduced ring where the reduction leaves fewer than 3 points.
    static std::vector<QPolygonF> offsetOutline(const QPolygonF& polygon, double delta, double arcTolerance,
        ClipperLib::JoinType joinType, ClipperLib::EndType endType);

    // One boolean operation on closed paths with the non-zero fill rule for
    // subject and clip; empty when it cannot run.
    static ClipperLib::Paths execute(
        ClipperLib::ClipType type, const ClipperLib::Paths& subject, const ClipperLib::Paths& clip = {});
    // The same into a tree that tells which ring lies directly in which;
    // false, with the tree empty, when it cannot run.
    static bool executeNested(ClipperLib::ClipType type, const ClipperLib::Paths& subject,
        const ClipperLib::Paths& clip, ClipperLib::PolyTree& tree);
    // The union of pieces into such a tree. A piece is the paths of the
    // subject from one of the ascending starts to the next (its rings nested
    // so that its holes cut), and is united only as a whole. Many pieces are
    // united in strips across the drawing on all cores first, and then the
    // strips' outlines, far fewer edges than the pieces', in one sweep.
    static bool uniteNested(
        const ClipperLib::Paths& subject, const std::vector<std::size_t>& pieceStarts, ClipperLib::PolyTree& tree);

    // Appends the first flattened polygon of the outline, reversed or not,
    // then those of the outlines nested in it with the direction flipped at
    // each level: under the non-zero rule a hole cuts, an island inside the
    // hole fills again. False when a point is out of range.
    static bool addNestedPath(const CSVGOutline& outline, bool reversed, ClipperLib::Paths& paths);
    // Appends the clip of a cut along the line: a straight segment becomes a
    // thin strip along it; any other line is flattened and each polygon is
    // taken as closed. False when a point is out of range.
    static bool addCutPaths(const QPainterPath& line, ClipperLib::Paths& paths);
    // A strip kSliverWidth wide on one side of the segment from a to b,
    // empty when they coincide. The strip is offset perpendicular to the
    // segment, so it has an area whatever the cut's direction.
    static ClipperLib::Path cutSliver(const ClipperLib::IntPoint& a, const ClipperLib::IntPoint& b);

    // An outline of the element per ring: moves to the first point, lines to
    // the others and back to the first.
    static std::vector<CSVGOutline> ringOutlines(const ClipperLib::Paths& rings, CSVGElement* element);
    // The same for the rings of the tree, measured, with parents[i] the
    // position of the outline directly around outline i, or -1.
    static std::vector<CSVGOutline> ringOutlines(
        const ClipperLib::PolyTree& tree, CSVGElement* element, std::vector<int>& parents);

private:
    static bool fits(double scaled) { return std::abs(scaled) <= kLimit; }
    // The library's offset in solution, true; or false with the rings of
    // GEOS in rings, or nothing when an argument is unusable.
    static bool offsetPaths(const QPolygonF& polygon, double delta, double arcTolerance, ClipperLib::JoinType joinType,
        ClipperLib::EndType endType, std::vector<QPolygonF>& rings, ClipperLib::Paths& solution);
    static bool toRing(const ClipperLib::Path& path, QPolygonF& ring);
    static void unscale(const ClipperLib::Path& path, QPointF* out);
    static double arcToleranceFor(double scaledArcTolerance, double scaledDelta);
    static int quadrantSegmentsFor(double scaledArcTolerance, double scaledDelta);
    static CSVGOutline ringOutline(const ClipperLib::Path& ring, CSVGElement* element);
};
