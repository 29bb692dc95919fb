#pragma once

#include "PlacementAutomatic.h"

#include <QString>

// A piece that stops a placement, worded in the interface language with its
// numbers, whether the placement ran here or on the nesting server.
class RefusalText
{
public:
    // otherwise: what is shown for a refusal of no kind known here.
    static QString of(const Vantor::Placement::PlacementRefusal& refusal, const QString& otherwise);
};
