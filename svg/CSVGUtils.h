#pragma once

#include "CSVGOutline.h"

#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <string>
#include <vector>

// Geometry routines of the element model.
class CSVGUtils
{
public:
    // Flattens the path, mapped by the transform, into one polygon per
    // sub-path with the curve tolerance of the setting
    // "BezierFlatteningThreshold", read at every call. Sub-paths of fewer
    // than two points are left out; points that are not finite are dropped.
    // Keeps no state, so several threads may call it at once.
    static QList<QPolygonF> pathToPolygons(const QPainterPath& path, const QTransform& transform);

    // Replaces every occurrence of from in text by to. While a replacement
    // shortens the text, the changed text is searched again from its start,
    // so an occurrence that a replacement creates goes too ("aabb" without
    // "ab" is empty). A replacement as long as from or longer could feed
    // itself for ever ("ab" by "bbaa" in "aab"), so then the search goes on
    // behind the inserted text. An empty from leaves the text as it is.
    static std::wstring replaceAll(std::wstring text, std::wstring from, std::wstring to);

    // Half the shoelace sum over the points, the last point closing the ring.
    static double signedArea(const QPolygonF& polygon);

    // One outline of the element per sub-path of a path in canvas
    // coordinates, each reversed where needed so that its flattened ring has
    // a positive signed area. A sub-path that flattens to no polygon gives no
    // outline.
    static std::vector<CSVGOutline> outlinesOfPath(const QPainterPath& path, CSVGElement* element);

    // Gives a copy of the outline to the first outline of the vector whose
    // path contains its path; false when there is none.
    static bool insertIntoContainer(const CSVGOutline& outline, std::vector<CSVGOutline>& outlines);

    // Measures the outlines, drops those below the minimum area (and those
    // whose geometry is not finite), and nests each one into the smallest
    // other outline that contains it, as repeated insertIntoContainer calls
    // in ascending area would. Returns the outermost outlines, ascending by
    // area. Near-linear for pieces spread over a drawing.
    static std::vector<CSVGOutline> nestOutlines(std::vector<CSVGOutline> outlines, double minimumArea);

private:
    static void appendOutline(const QPainterPath& subPath, CSVGElement* element, std::vector<CSVGOutline>& outlines);
    static std::vector<int> findContainers(const std::vector<CSVGOutline>& outlines);
};
