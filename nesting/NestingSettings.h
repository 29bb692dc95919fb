#pragma once

#include "PlacementSettings.h"

// The placement settings of the user, in the settings group "autoplace":
// "width" (roll width in mm; the setting "Cutoff" until set), "spacing" (mm)
// and "rotations" (turns allowed per full circle).
class NestingSettings
{
public:
    static Vantor::Placement::PlacementSettings load();
    static void save(const Vantor::Placement::PlacementSettings& settings);
};
