#include "CSVGDataRepair.h"

#include "CSVGChainIndex.h"

#include <cmath>

namespace {
QPointF roundedEnd(const QPainterPath& path, double percent, int scale)
{
    const QPointF p = path.pointAtPercent(percent) * scale;
    return QPointF(std::floor(p.x() + 0.5), std::floor(p.y() + 0.5));
}
} // namespace

bool CSVGDataRepair::segmentOf(const CSVGOutline& outline, int scale, Segment& segment)
{
    if (outline.path.toSubpathPolygons().isEmpty())
        return false;
    segment.start = roundedEnd(outline.path, 0.0, scale);
    segment.end = roundedEnd(outline.path, 1.0, scale);
    segment.outline = outline;
    return true;
}

std::vector<CSVGDataRepair::Chain> CSVGDataRepair::buildChains(const std::vector<Segment>& segments)
{
    CSVGChainIndex index;
    for (const Segment& segment : segments)
        index.place(segment);
    index.mergeAll();
    return index.chains();
}

QPainterPath CSVGDataRepair::joinedPath(const Chain& chain, int scale)
{
    QPainterPath joined;
    for (const Segment& segment : chain) {
        const QPainterPath& path = segment.outline.path;
        const QPointF first = roundedEnd(path, 0.0, scale);
        const bool forward = first.x() == segment.start.x() && first.y() == segment.start.y();
        joined.connectPath(forward ? path : path.toReversed());
    }
    return joined;
}
