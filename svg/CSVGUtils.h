#pragma once

#include <QList>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <string>

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
};
