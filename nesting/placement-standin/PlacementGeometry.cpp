#include "PlacementGeometry.h"

#include "PlacementConvex.h"

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ClipperLib;

namespace Vantor {
namespace Placement {

namespace {
// Rounding to whole units may bring two touching rings a unit into each
// other; this much extra growth keeps them apart whatever the spacing.
constexpr double kGuardUnits = 2;
// Flattened curves bring many points, and a no-fit polygon costs the product
// of both point counts. The grown rings are grown a little further, then rid
// of every point that moves them by less, so they still hold the piece; the
// tolerance doubles while too many points are left, up to a gap that film
// can afford to lose.
constexpr double kCleanUnits = 0.25 * PlacementGeometry::kScale;
constexpr double kMaximumCleanUnits = 2 * PlacementGeometry::kScale;
constexpr std::size_t kMaximumPoints = 16;
// Of the round joins of the shrinking that rules out gaps: a tenth of a
// millimetre.
constexpr double kArcTolerance = 0.1 * PlacementGeometry::kScale;
// Of the round corners of the pieces grown by a piece's erosion: their chords
// only leave the gaps larger, so half a millimetre rules out as much and
// leaves the grown pieces far fewer points.
constexpr double kDilationTolerance = 0.5 * PlacementGeometry::kScale;

std::size_t pointCount(const Paths& paths)
{
    std::size_t count = 0;
    for (const Path& path : paths)
        count += path.size();
    return count;
}
} // namespace

bool PlacementGeometry::isUsable(const PlacementCompositePolygon& shape)
{
    for (const PlacementPolygon& part : shape.parts)
        for (const QPointF& p : part)
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::abs(p.x()) > kLimit || std::abs(p.y()) > kLimit)
                return false;
    return shape.area() > 0;
}

OrientedShape PlacementGeometry::orient(const PlacementCompositePolygon& shape, double angle, double spacing)
{
    OrientedShape oriented;
    oriented.angle = angle;
    const QTransform turn = QTransform().rotate(angle);
    for (const PlacementPolygon& part : shape.parts) {
        Path path;
        // Const, so that the turned copy, which shares the piece's points
        // when there is no turn, is not copied again to be read.
        const PlacementPolygon turned = turn.map(part);
        for (const QPointF& p : turned)
            path.emplace_back(cInt(std::llround(p.x() * kScale)), cInt(std::llround(p.y() * kScale)));
        if (path.size() >= 3 && Area(path) != 0)
            oriented.parts.push_back(std::move(path));
    }
    oriented.bounds = boundsOf(oriented.parts);

    oriented.grown = grow(oriented.parts, spacing / 2 * kScale + kGuardUnits);
    oriented.grownBounds = boundsOf(oriented.grown);
    for (const Path& ring : oriented.grown)
        oriented.convexGrown.push_back(PlacementConvex::pieces(ring));
    oriented.innerRadius = innerRadius(oriented.grown);
    erode(oriented);
    return oriented;
}

Paths PlacementGeometry::grow(const Paths& parts, double delta)
{
    // The rings may run either way round; a union first gives them the
    // library's orientation, so that growing grows.
    Paths merged;
    Clipper clipper;
    clipper.AddPaths(parts, ptSubject, true);
    clipper.Execute(ctUnion, merged, pftNonZero, pftNonZero);
    ClipperOffset offset(2.0, 0.25 * kScale);
    offset.AddPaths(outers(merged), jtMiter, etClosedPolygon);
    Paths exact;
    offset.Execute(exact, delta);
    const std::size_t limit = kMaximumPoints * std::max<std::size_t>(1, parts.size());
    exact = outers(exact);
    Paths best = exact;
    for (double tolerance = kCleanUnits; pointCount(best) > limit && tolerance <= kMaximumCleanUnits; tolerance *= 2) {
        // A ring within the tolerance of the reduced one lies inside the
        // reduced one grown by it.
        Paths reduced;
        for (const Path& ring : exact)
            reduced.push_back(reduce(ring, tolerance));
        clipper.Clear();
        clipper.AddPaths(reduced, ptSubject, true);
        clipper.Execute(ctUnion, reduced, pftNonZero, pftNonZero);
        ClipperOffset more(2.0, 0.25 * kScale);
        more.AddPaths(outers(reduced), jtMiter, etClosedPolygon);
        more.Execute(reduced, tolerance);
        reduced = outers(reduced);
        if (pointCount(reduced) < pointCount(best) && covers(reduced, exact))
            best = reduced;
    }
    return best;
}

Path PlacementGeometry::reduce(const Path& ring, double tolerance)
{
    // Douglas and Peucker's reduction, on the ring cut at its first point
    // and at the point farthest from it.
    const auto distance = [](const IntPoint& p, const IntPoint& a, const IntPoint& b) {
        const double dx = double(b.X - a.X);
        const double dy = double(b.Y - a.Y);
        const double length = std::hypot(dx, dy);
        if (length == 0)
            return std::hypot(double(p.X - a.X), double(p.Y - a.Y));
        const double along = std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / (length * length), 0.0, 1.0);
        return std::hypot(p.X - a.X - along * dx, p.Y - a.Y - along * dy);
    };
    const std::size_t count = ring.size();
    std::size_t far = 0;
    for (std::size_t i = 1; i < count; ++i)
        if (distance(ring[i], ring[0], ring[0]) > distance(ring[far], ring[0], ring[0]))
            far = i;
    std::vector<bool> keep(count, false);
    keep[0] = keep[far] = true;
    std::vector<std::pair<std::size_t, std::size_t>> spans { { 0, far }, { far, count } };
    while (!spans.empty()) {
        const auto [from, to] = spans.back();
        spans.pop_back();
        const IntPoint& a = ring[from];
        const IntPoint& b = ring[to % count];
        std::size_t worst = from;
        double worstDistance = tolerance;
        for (std::size_t i = from + 1; i < to; ++i)
            if (distance(ring[i], a, b) > worstDistance) {
                worst = i;
                worstDistance = distance(ring[i], a, b);
            }
        if (worst != from) {
            keep[worst] = true;
            spans.push_back({ from, worst });
            spans.push_back({ worst, to });
        }
    }
    Path reduced;
    for (std::size_t i = 0; i < count; ++i)
        if (keep[i])
            reduced.push_back(ring[i]);
    return reduced;
}

bool PlacementGeometry::covers(const Paths& outer, const Paths& inner)
{
    Clipper clipper;
    clipper.AddPaths(inner, ptSubject, true);
    clipper.AddPaths(outer, ptClip, true);
    Paths rest;
    clipper.Execute(ctDifference, rest, pftNonZero, pftNonZero);
    return rest.empty();
}

bool PlacementGeometry::holdsDisc(const Paths& region, double radius)
{
    ClipperOffset offset(2.0, 0.25 * kScale);
    offset.AddPaths(region, jtMiter, etClosedPolygon);
    Paths rest;
    offset.Execute(rest, -radius);
    return !rest.empty();
}

// The piece's shrinking rounds its concave corners with chords that cut
// into the true arcs by up to the arc tolerance, and the no-fit polygons are
// rounded to whole units: the comparisons leave the piece that much.
std::vector<IntRect> PlacementGeometry::mayHold(
    const PolyTree& shrunkGaps, const OrientedShape& piece, const IntRect& moves)
{
    const cInt slack = cInt(std::ceil(2 * kArcTolerance + 4 * kGuardUnits));
    const IntRect& eroded = piece.erodedBounds;
    std::vector<IntRect> places;
    std::vector<const PolyNode*> pending(shrunkGaps.Childs.begin(), shrunkGaps.Childs.end());
    while (!pending.empty()) {
        const PolyNode* gap = pending.back();
        pending.pop_back();
        double free = std::abs(Area(gap->Contour));
        for (const PolyNode* hole : gap->Childs) {
            free -= std::abs(Area(hole->Contour));
            pending.insert(pending.end(), hole->Childs.begin(), hole->Childs.end());
        }
        const IntRect bounds = boundsOf({ gap->Contour });
        if (bounds.right - bounds.left + slack < eroded.right - eroded.left
            || bounds.bottom - bounds.top + slack < eroded.bottom - eroded.top || free < piece.erodedArea)
            continue;
        const IntRect place { std::max(moves.left, bounds.left - eroded.left - slack),
            std::max(moves.top, bounds.top - eroded.top - slack),
            std::min(moves.right, bounds.right - eroded.right + slack),
            std::min(moves.bottom, bounds.bottom - eroded.bottom + slack) };
        if (place.left > place.right || place.top > place.bottom)
            continue;
        Paths region { gap->Contour };
        for (const PolyNode* hole : gap->Childs)
            region.push_back(hole->Contour);
        if (holdsDisc(region, piece.innerRadius - piece.erosion))
            places.push_back(place);
    }
    return places;
}

Paths PlacementGeometry::dilated(const Paths& rings, double by)
{
    ClipperOffset offset(2.0, kDilationTolerance);
    offset.AddPaths(rings, jtRound, etClosedPolygon);
    Paths result;
    offset.Execute(result, by);
    return result;
}

// The area is taken short by the slack along the whole outline.
void PlacementGeometry::erode(OrientedShape& shape)
{
    // A few sizes of erosion serve all pieces, so that the placed pieces
    // are dilated once for each.
    const double by = erosionLevel(shape.innerRadius / 2);
    if (shape.grown.size() != 1 || by <= 4 * kGuardUnits + 2 * kArcTolerance)
        return;
    const Paths eroded = shrunk(shape.grown, by);
    if (eroded.size() != 1 || eroded.front().size() < 3)
        return;
    double perimeter = 0;
    const Path& ring = eroded.front();
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const IntPoint& a = ring[i];
        const IntPoint& b = ring[(i + 1) % ring.size()];
        perimeter += std::hypot(double(b.X - a.X), double(b.Y - a.Y));
    }
    shape.erosion = by;
    shape.erodedBounds = boundsOf(eroded);
    shape.erodedArea = std::abs(Area(ring)) - perimeter * (2 * kArcTolerance + 4 * kGuardUnits);
}

double PlacementGeometry::erosionLevel(double erosion)
{
    constexpr double kFirst = 0.25 * kScale;
    constexpr double kGrowth = 1.25;
    if (erosion < kFirst)
        return 0;
    double level = kFirst;
    while (level * kGrowth <= erosion)
        level *= kGrowth;
    return level;
}

Paths PlacementGeometry::shrunk(const Paths& rings, double by)
{
    ClipperOffset offset(2.0, kArcTolerance);
    offset.AddPaths(rings, jtRound, etClosedPolygon);
    Paths result;
    offset.Execute(result, -by);
    return result;
}

double PlacementGeometry::innerRadius(const Paths& rings)
{
    // A disc in a ring shrunk by less than its radius; a little below the
    // largest such radius, found to within a twentieth of it.
    double low = 0;
    double high = (boundsOf(rings).right - boundsOf(rings).left) / 2.0;
    for (int i = 0; i < 12; ++i) {
        const double middle = (low + high) / 2;
        (holdsDisc(rings, middle) ? low : high) = middle;
    }
    return low * 0.95;
}

Paths PlacementGeometry::noFitPolygon(const OrientedShape& fixed, const OrientedShape& moving)
{
    Paths all;
    for (std::size_t s = 0; s < fixed.grown.size(); ++s)
        for (std::size_t m = 0; m < moving.grown.size(); ++m) {
            Paths difference;
            const Paths& stillPieces = fixed.convexGrown[s];
            const Paths& moverPieces = moving.convexGrown[m];
            if (!stillPieces.empty() && !moverPieces.empty()) {
                Clipper clipper;
                for (const Path& mover : moverPieces) {
                    const Path turned = PlacementConvex::negated(mover);
                    for (const Path& still : stillPieces)
                        clipper.AddPath(PlacementConvex::sum(still, turned), ptSubject, true);
                }
                clipper.Execute(ctUnion, difference, pftNonZero, pftNonZero);
            } else {
                MinkowskiDiff(moving.grown[m], fixed.grown[s], difference);
            }
            // The library sweeps outline along outline; where the mover lies
            // wholly inside (or around) the other, it leaves a hole that is
            // an overlap all the same. The pieces leave holes only where the
            // mover fits a pocket of the other; those are filled alike.
            for (Path& path : difference)
                if (Orientation(path))
                    all.push_back(std::move(path));
        }
    return all;
}

void PlacementGeometry::translate(Paths& paths, const IntPoint& by)
{
    for (Path& path : paths)
        for (IntPoint& p : path) {
            p.X += by.X;
            p.Y += by.Y;
        }
}

Paths PlacementGeometry::outers(const Paths& paths)
{
    Paths result;
    for (const Path& path : paths)
        if (Orientation(path))
            result.push_back(path);
    return result;
}

IntRect PlacementGeometry::boundsOf(const Paths& paths)
{
    IntRect r { std::numeric_limits<cInt>::max(), std::numeric_limits<cInt>::max(), std::numeric_limits<cInt>::min(),
        std::numeric_limits<cInt>::min() };
    for (const Path& path : paths)
        for (const IntPoint& p : path) {
            r.left = std::min(r.left, p.X);
            r.top = std::min(r.top, p.Y);
            r.right = std::max(r.right, p.X);
            r.bottom = std::max(r.bottom, p.Y);
        }
    return r;
}

} // namespace Placement
} // namespace Vantor
