#pragma once

#include "PlacementCompositePolygon.h"

#include <QString>

namespace Vantor {
namespace Placement {

// A piece to place: the caller's name for it (an element id) and its shape
// where it lies now.
struct PieceInfo
{
    QString id;
    PlacementCompositePolygon shape;
};

} // namespace Placement
} // namespace Vantor
