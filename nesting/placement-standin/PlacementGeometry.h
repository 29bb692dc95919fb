#pragma once

#include "PlacementCompositePolygon.h"

#include <polyclipping/clipper.hpp>

namespace Vantor {
namespace Placement {

// A piece in one orientation, in integer units of kScale per millimetre, as
// the clipping library takes it.
struct OrientedShape
{
    double angle = 0;
    // The turned rings, for the roll's edges.
    ClipperLib::Paths parts;
    ClipperLib::IntRect bounds {};
    // The radius of a disc that the grown rings hold: a gap that has no
    // room for the disc has none for the piece.
    double innerRadius = 0;
    // The turned rings grown by half the spacing, merged, holes dropped:
    // two pieces whose grown rings do not overlap are spacing apart.
    ClipperLib::Paths grown;
    ClipperLib::IntRect grownBounds {};
    // Per grown ring, convex pieces that tile it; none where the ring could
    // not be split.
    std::vector<ClipperLib::Paths> convexGrown;
    // The grown rings shrunk by erosion (half the inner radius), when that
    // leaves one ring: its bounds and area, to rule out gaps that cannot
    // hold the piece and to tell where in a gap it may lie. Without one ring
    // the erosion is 0 and rules out none.
    double erosion = 0;
    ClipperLib::IntRect erodedBounds {};
    double erodedArea = 0;
};

// The integer geometry of placement. No-fit polygons are the union of the
// Minkowski sums of convex pieces, or else the library's Minkowski
// difference; everything runs under the non-zero rule.
class PlacementGeometry
{
public:
    static constexpr double kScale = 1000.0;
    // Largest coordinate magnitude in millimetres that a piece may have.
    static constexpr double kLimit = 1.0e5;

    // False when a point is not finite or beyond kLimit, or no ring has an area.
    static bool isUsable(const PlacementCompositePolygon& shape);
    static OrientedShape orient(const PlacementCompositePolygon& shape, double angle, double spacing);

    // The translations of the moving shape at which its grown rings would
    // overlap those of the fixed shape, which lies at the origin.
    static ClipperLib::Paths noFitPolygon(const OrientedShape& fixed, const OrientedShape& moving);
    static void translate(ClipperLib::Paths& paths, const ClipperLib::IntPoint& by);
    // The outer rings of a union, filled.
    static ClipperLib::Paths outers(const ClipperLib::Paths& paths);
    static ClipperLib::IntRect boundsOf(const ClipperLib::Paths& paths);
    // Whether something is left of the region shrunk by the radius.
    static bool holdsDisc(const ClipperLib::Paths& region, double radius);
    // The parts of the rectangle of moves where the gaps (the free part of
    // the roll) might hold the grown piece; none when they cannot. Both are
    // shrunk by the piece's erosion: the shrunk piece is one ring, so
    // wherever the piece fits, its shrunk ring lies within one shrunk gap,
    // which must be as wide, as high and as large as it and hold the disc
    // that the piece holds; and the piece lies where its shrunk ring's
    // bounds are within the gap's.
    static std::vector<ClipperLib::IntRect> mayHold(
        const ClipperLib::PolyTree& shrunkGaps, const OrientedShape& piece, const ClipperLib::IntRect& moves);
    // The rings grown by the distance, with round corners: what they leave
    // free is the free part shrunk by it.
    static ClipperLib::Paths dilated(const ClipperLib::Paths& rings, double by);

private:
    // The rings grown by delta units and merged, holes dropped, with few
    // points.
    static ClipperLib::Paths grow(const ClipperLib::Paths& parts, double delta);
    static ClipperLib::Path reduce(const ClipperLib::Path& ring, double tolerance);
    static bool covers(const ClipperLib::Paths& outer, const ClipperLib::Paths& inner);
    static double innerRadius(const ClipperLib::Paths& rings);
    static void erode(OrientedShape& shape);
    static double erosionLevel(double erosion);
    static ClipperLib::Paths shrunk(const ClipperLib::Paths& rings, double by);
};

} // namespace Placement
} // namespace Vantor
