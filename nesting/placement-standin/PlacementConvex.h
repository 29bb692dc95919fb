#pragma once

#include <polyclipping/clipper.hpp>

#include <vector>

namespace Vantor {
namespace Placement {

// Convex pieces of rings and their Minkowski sums. The library's Minkowski
// difference unites a quadrilateral per pair of edges, and the crossings of
// those many quadrilaterals cost most of a placement; a few convex pieces
// per ring give the same region from far fewer and smaller polygons.
class PlacementConvex
{
public:
    // Convex rings, counter-clockwise (positive area), that tile the simple
    // ring exactly, sharing only edges; empty when the ring cannot be split
    // with certainty, so that the caller falls back to the exact sweep.
    static ClipperLib::Paths pieces(const ClipperLib::Path& ring);
    // The Minkowski sum of two convex counter-clockwise rings.
    static ClipperLib::Path sum(const ClipperLib::Path& a, const ClipperLib::Path& b);
    static ClipperLib::Path negated(const ClipperLib::Path& ring);
    // The part of the convex ring within the rectangle; its crossings with
    // the rectangle's sides rounded to whole units.
    static ClipperLib::Path clipped(const ClipperLib::Path& ring, const ClipperLib::IntRect& rect);

private:
    // Ear clipping; false when no ear is left before the end.
    static bool triangulate(const ClipperLib::Path& ring, std::vector<std::vector<int>>& triangles);
    // Joins pieces across shared edges while the join stays convex
    // (Hertel and Mehlhorn).
    static void merge(const ClipperLib::Path& ring, std::vector<std::vector<int>>& pieces);
    static bool isConvex(const ClipperLib::Path& ring, const std::vector<int>& piece);
};

} // namespace Placement
} // namespace Vantor
