#include "CSVGRect.h"

#include "CSVGMatrix.h"

#include <algorithm>
#include <cmath>

CSVGRect::CSVGRect(double x, double y, double width, double height)
    : x(x)
    , y(y)
    , width(width)
    , height(height)
{
}

void CSVGRect::setEmpty()
{
    *this = CSVGRect();
}

CSVGRect CSVGRect::inflated(double dx, double dy) const
{
    return CSVGRect(x - dx, y - dy, width + 2 * dx, height + 2 * dy);
}

bool CSVGRect::intersects(const CSVGRect& other) const
{
    return other.x + other.width >= x && other.y + other.height >= y && x + width >= other.x && y + height >= other.y;
}

bool CSVGRect::contains(const CSVGRect& other) const
{
    return other.x >= x && other.y >= y && x + width >= other.x + other.width && y + height >= other.y + other.height;
}

bool CSVGRect::containsPoint(const QPointF& p) const
{
    return p.x() >= x && p.y() >= y && x + width >= p.x() && y + height >= p.y();
}

bool CSVGRect::isEmpty() const
{
    return std::fabs(width) < 0.0000005 || std::fabs(height) < 0.0000005;
}

CSVGRect CSVGRect::toCornerRect() const
{
    return CSVGRect(x, y, x + width, y + height);
}

CSVGRect CSVGRect::united(const CSVGRect& other) const
{
    const double left = std::min(x, other.x);
    const double top = std::min(y, other.y);
    const double right = std::max(x + width, other.x + other.width);
    const double bottom = std::max(y + height, other.y + other.height);
    return CSVGRect(left, top, right - left, bottom - top);
}

CSVGRect CSVGRect::transformed(const CSVGMatrix& matrix) const
{
    const QPointF corners[] = { matrix.map(QPointF(x, y)), matrix.map(QPointF(x + width, y)),
        matrix.map(QPointF(x, y + height)), matrix.map(QPointF(x + width, y + height)) };
    double left = corners[0].x();
    double top = corners[0].y();
    double right = left;
    double bottom = top;
    for (const QPointF& corner : corners) {
        left = std::min(left, corner.x());
        top = std::min(top, corner.y());
        right = std::max(right, corner.x());
        bottom = std::max(bottom, corner.y());
    }
    return CSVGRect(left, top, right - left, bottom - top);
}

void CSVGRect::setFromQRectF(const QRectF& rect)
{
    *this = CSVGRect(rect.x(), rect.y(), rect.width(), rect.height());
}

QRectF CSVGRect::toQRectF() const
{
    return QRectF(x, y, width, height);
}
