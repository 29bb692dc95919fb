#pragma once

#include <QString>

namespace Vantor {
namespace Placement {

// The roll runs along x from 0; its width spans y from 0 to rollWidth.
// Pieces keep spacing from each other (not from the roll's edges) and may
// turn by whole multiples of 360 / rotations degrees.
struct PlacementSettings
{
    double rollWidth = 1520;
    double spacing = 2;
    int rotations = 4;

    static constexpr int kMaximumRotations = 72;
    // Empty when usable, else what is wrong, for the user.
    QString validate() const;
};

} // namespace Placement
} // namespace Vantor
