#include "PlacementCompositePolygon.h"

#include <cmath>

namespace Vantor {
namespace Placement {

QRectF PlacementCompositePolygon::boundingRect() const
{
    QRectF bounds;
    for (const PlacementPolygon& part : parts)
        bounds = bounds.isNull() ? part.boundingRect() : bounds.united(part.boundingRect());
    return bounds;
}

double PlacementCompositePolygon::area() const
{
    double total = 0;
    for (const PlacementPolygon& part : parts) {
        double twice = 0;
        for (int i = 0; i < part.size(); ++i) {
            const QPointF& a = part[i == 0 ? part.size() - 1 : i - 1];
            const QPointF& b = part[i];
            twice += a.x() * b.y() - b.x() * a.y();
        }
        total += std::abs(twice) / 2;
    }
    return total;
}

} // namespace Placement
} // namespace Vantor
