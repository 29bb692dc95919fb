#pragma once

#include <QPolygonF>
#include <QRectF>
#include <QVector>

namespace Vantor {
namespace Placement {

// One closed ring of a piece, in millimetres; the closing point may be
// repeated or not.
using PlacementPolygon = QPolygonF;

// The outer rings of one piece, moved and turned as one rigid body. A piece
// with holes is placed by its outer rings alone: nothing is put inside
// another piece.
struct PlacementCompositePolygon
{
    QVector<PlacementPolygon> parts;

    QRectF boundingRect() const;
    // Sum of the rings' absolute areas.
    double area() const;
};

} // namespace Placement
} // namespace Vantor
