#include "OpenCVTrace.h"

#include <QLineF>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace HelmSystem {

namespace {
bool isConvex(const QPolygonF& corners)
{
    int sign = 0;
    for (int i = 0; i < 4; ++i) {
        const QPointF a = corners[(i + 1) % 4] - corners[i];
        const QPointF b = corners[(i + 2) % 4] - corners[(i + 1) % 4];
        const double cross = a.x() * b.y() - a.y() * b.x();
        if (cross == 0 || (sign != 0 && (cross > 0) != (sign > 0)))
            return false;
        sign = cross > 0 ? 1 : -1;
    }
    return true;
}

struct Vector
{
    double x, y, z;
    Vector operator-(const Vector& o) const { return { x - o.x, y - o.y, z - o.z }; }
    Vector operator*(double k) const { return { k * x, k * y, k * z }; }
    double dot(const Vector& o) const { return x * o.x + y * o.y + z * o.z; }
    Vector cross(const Vector& o) const { return { y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x }; }
};

// The proportion width / height of the rectangle seen through the corners
// m1 (top left), m2 (top right), m3 (bottom left), m4 (bottom right),
// given relative to the principal point. The camera's focal length follows
// from the corners when both pairs of sides converge; else (or when it comes
// out absurd) the picture's diagonal stands in for it, as for a common lens.
double aspectRatio(const QPointF& p1, const QPointF& p2, const QPointF& p3, const QPointF& p4, double diagonal)
{
    const Vector m1 { p1.x(), p1.y(), 1 };
    const Vector m2 { p2.x(), p2.y(), 1 };
    const Vector m3 { p3.x(), p3.y(), 1 };
    const Vector m4 { p4.x(), p4.y(), 1 };
    const double k2 = m1.cross(m4).dot(m3) / m2.cross(m4).dot(m3);
    const double k3 = m1.cross(m4).dot(m2) / m3.cross(m4).dot(m2);
    const Vector n2 = m2 * k2 - m1;
    const Vector n3 = m3 * k3 - m1;
    const double depth = n2.z * n3.z;
    double focal2 = std::abs(depth) > 1e-6 ? -(n2.x * n3.x + n2.y * n3.y) / depth : 0;
    if (!(focal2 > 0.01 * diagonal * diagonal && focal2 < 1e4 * diagonal * diagonal))
        focal2 = diagonal * diagonal;
    const auto length2 = [focal2](const Vector& n) { return (n.x * n.x + n.y * n.y) / focal2 + n.z * n.z; };
    return std::sqrt(length2(n2) / length2(n3));
}
} // namespace

QSizeF OpenCVTrace::rectangleSize(const QPolygonF& corners, const QSizeF& imageSize)
{
    const QPointF centre(imageSize.width() / 2, imageSize.height() / 2);
    const double ratio = aspectRatio(corners[0] - centre, corners[1] - centre, corners[3] - centre, corners[2] - centre,
        std::hypot(imageSize.width(), imageSize.height()));
    const double width = std::max(QLineF(corners[0], corners[1]).length(), QLineF(corners[3], corners[2]).length());
    if (!std::isfinite(ratio) || ratio <= 0)
        return QSizeF();
    return QSizeF(width, width / ratio);
}

QImage OpenCVTrace::rectify(const QImage& image, const QPolygonF& corners)
{
    if (image.isNull() || corners.size() != 4 || !isConvex(corners))
        return QImage();
    QSizeF size = rectangleSize(corners, image.size());
    if (size.isEmpty())
        return QImage();
    const double pixels = size.width() * size.height();
    if (pixels > double(kMaximumPixels))
        size *= std::sqrt(double(kMaximumPixels) / pixels);
    const QSize target(std::max(1, int(std::lround(size.width()))), std::max(1, int(std::lround(size.height()))));
    QTransform transform;
    const QPolygonF rectangle(QRectF(QPointF(0, 0), target));
    if (!QTransform::quadToQuad(corners, rectangle.mid(0, 4), transform))
        return QImage();
    QImage result(target, QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(transform);
    painter.drawImage(QPointF(0, 0), image);
    return result;
}

} // namespace HelmSystem
