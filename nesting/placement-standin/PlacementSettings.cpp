#include "PlacementSettings.h"

#include <QCoreApplication>

#include <cmath>

namespace Vantor {
namespace Placement {

QString PlacementSettings::validate() const
{
    if (!std::isfinite(rollWidth) || rollWidth <= 0 || rollWidth > 100000)
        return QCoreApplication::translate("PlacementSettings", "The roll width must lie between 0 and 100000 mm.");
    if (!std::isfinite(spacing) || spacing < 0 || spacing >= rollWidth)
        return QCoreApplication::translate(
            "PlacementSettings", "The spacing must be at least 0 and below the roll width.");
    if (rotations < 1 || rotations > kMaximumRotations)
        return QCoreApplication::translate("PlacementSettings", "The number of rotations must lie between 1 and %1.")
            .arg(kMaximumRotations);
    return QString();
}

} // namespace Placement
} // namespace Vantor
