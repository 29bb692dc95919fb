#pragma once

#include <QPolygonF>

#include <vector>

// Grows or shrinks one ring with round joins through GEOS. Clipper merges
// the pieces of a raw offset into its output rings in a way that takes time
// with the square of the points once a ring has tens of thousands of them;
// GEOS nodes the raw offset with an index and stays near n log n.
class CSVGGeosBuffer
{
public:
    // The ring grown by delta (shrunk when it is negative), each join
    // rounded with quadrantSegments steps per quarter turn. Appends every
    // resulting outer ring with a positive signed area, each followed by its
    // holes with a negative one, all closed by a copy of the first point;
    // appends nothing when the offset makes the ring vanish. False, with
    // rings unchanged, when the ring crosses itself (GEOS does not fill such
    // a ring by the non-zero rule) or GEOS fails.
    static bool roundOffset(const QPolygonF& ring, double delta, int quadrantSegments, std::vector<QPolygonF>& rings);
};
