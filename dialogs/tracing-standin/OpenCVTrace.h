#pragma once

#include <QImage>
#include <QPolygonF>
#include <QSizeF>

namespace HelmSystem {

// Stands in for the closed library's perspective correction, on Qt's
// projective transforms: the picture inside four corners (top left, top
// right, bottom right, bottom left) becomes an upright rectangle.
class OpenCVTrace
{
public:
    static constexpr qint64 kMaximumPixels = 30LL * 1000 * 1000;

    // The rectified picture; null for corners that do not make a convex
    // quadrilateral.
    static QImage rectify(const QImage& image, const QPolygonF& corners);
    // The size of the rectangle that the corners show, in pixels: as wide
    // as their longer horizontal side, and as high as the rectangle's sides
    // are in proportion, which the corners reveal for a camera with square
    // pixels looking at the picture's centre (Zhang and He).
    static QSizeF rectangleSize(const QPolygonF& corners, const QSizeF& imageSize);
};

} // namespace HelmSystem
