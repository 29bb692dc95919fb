#pragma once

#include <QPolygonF>

#include <string>

// The "points" text of polylines and polygons.
class CSVGPointList
{
public:
    // Numbers in pairs, x then y, separated by commas and XML white space
    // (character references such as "&#xA;" included); a last number
    // without its partner is dropped.
    static QPolygonF parsePoints(const std::wstring& text);
    // "x y" per point, single spaces between; each number whole when it is
    // within 0.0001 of a whole number, otherwise with six decimals.
    static std::wstring pointsToText(const QPolygonF& points);
};
