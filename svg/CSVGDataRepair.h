#pragma once

#include "CSVGOutline.h"

#include <QPointF>

#include <vector>

// The geometry of the path repair: open outlines whose ends meet are chained
// end to start into one outline.
class CSVGDataRepair
{
public:
    // One open outline with its end points, rounded to whole numbers.
    struct Segment
    {
        QPointF start;
        QPointF end;
        CSVGOutline outline;
    };
    // Segments in order, each one's end meeting the next one's start.
    using Chain = std::vector<Segment>;

    // The segment of an open outline: its first and last points times scale,
    // rounded to the nearest whole numbers. False when the path has no
    // polygon to take the points from.
    static bool segmentOf(const CSVGOutline& outline, int scale, Segment& segment);

    // Places each segment, in order, at an end of the first chain it meets
    // (reversed where that makes it fit), then merges chains that meet,
    // always the first meeting pair first, until none meet. End points are
    // whole numbers and meet when equal; points that are not finite meet
    // nothing. Near-linear: the chain ends are indexed by point.
    static std::vector<Chain> buildChains(const std::vector<Segment>& segments);

    // The paths of the chain's outlines connected end to start, each in the
    // direction of its segment.
    static QPainterPath joinedPath(const Chain& chain, int scale);
};
