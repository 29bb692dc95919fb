#pragma once

#include <QMetaType>
#include <QPointF>
#include <QString>
#include <QTransform>

namespace Vantor {
namespace Placement {

// Where a piece went: turned by angle degrees about the origin of its
// coordinates, then moved by offset (Qt's sense of rotation: clockwise on a
// y-down canvas).
struct PlacementInfo
{
    QString id;
    double angle = 0;
    QPointF offset;

    QTransform transform() const { return QTransform().translate(offset.x(), offset.y()).rotate(angle); }
};

} // namespace Placement
} // namespace Vantor

Q_DECLARE_METATYPE(Vantor::Placement::PlacementInfo)
