#pragma once

#include <QPolygonF>
#include <QRectF>

#include <algorithm>
#include <cmath>

// Rectangle helpers of the canvas items.
namespace CanvasGeometry {

// An inch: the least that the canvas items reach beyond their pieces.
constexpr double kItemMargin = 25.4;

// The scene's index must never see a rectangle with an infinite or NaN edge.
inline bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

// The rectangle that holds the rectangle (unless it is null) and the points.
inline QRectF unitedWithPoints(const QRectF& rect, QPolygonF points)
{
    if (points.isEmpty())
        return rect;
    if (!rect.isNull())
        points << rect.topLeft() << rect.bottomRight();
    return points.boundingRect();
}

// The rectangle grown by max(1 % of its larger side, an inch) on every side.
inline QRectF withMargin(const QRectF& rect)
{
    const double margin = std::max(0.01 * std::max(rect.width(), rect.height()), kItemMargin);
    return rect.adjusted(-margin, -margin, margin, margin);
}

// Equal up to rounding, edge by edge.
inline bool isSameRect(const QRectF& a, const QRectF& b)
{
    return qFuzzyCompare(a.x(), b.x()) && qFuzzyCompare(a.y(), b.y()) && qFuzzyCompare(a.width(), b.width())
        && qFuzzyCompare(a.height(), b.height());
}

// An item's box takes a new value only right after the scene's index was
// told (the item's prepareGeometryChange, passed as prepare): the index would
// otherwise keep the item under its old box, and a paint would still find it
// there once it is deleted. False when the box had not changed.
template <typename Prepare>
bool replaceBox(QRectF& box, const QRectF& rect, Prepare prepare)
{
    if (isSameRect(rect, box))
        return false;
    prepare();
    box = rect;
    return true;
}

} // namespace CanvasGeometry
