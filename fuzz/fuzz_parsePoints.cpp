// The "points" attribute of polylines and polygons.

#include "CSVGPointList.h"
#include "FuzzInput.h"

#include <cmath>

namespace {
bool small(const QPolygonF& points)
{
    for (const QPointF& p : points) {
        if (!(std::fabs(p.x()) <= 1e9 && std::fabs(p.y()) <= 1e9))
            return false;
    }
    return true;
}

// Whole numbers are written for values within 0.0001 of them.
bool close(double a, double b)
{
    return std::fabs(a - b) <= 1.0001e-4 + 1e-15 * std::fabs(a);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzzText(data, size);
    const QPolygonF points = CSVGPointList::parsePoints(text);
    for (const QPointF& p : points)
        fuzzCheck(std::isfinite(p.x()) && std::isfinite(p.y()));

    // The points written read back as the same points within the rounding
    // of the writer; from the second writing on, the text stays the same.
    const std::wstring written = CSVGPointList::pointsToText(points);
    const QPolygonF back = CSVGPointList::parsePoints(written);
    fuzzCheck(back.size() == points.size());
    for (int i = 0; i < points.size(); ++i)
        fuzzCheck(close(points[i].x(), back[i].x()) && close(points[i].y(), back[i].y()));
    if (small(points)) {
        const std::wstring second = CSVGPointList::pointsToText(back);
        fuzzCheck(CSVGPointList::pointsToText(CSVGPointList::parsePoints(second)) == second);
    }
    return 0;
}
