#pragma once

#include "CSVGElementShape.h"

// A clip path: its outline is the union of its shape children's outlines,
// each under its own transform. It is not a shape, so it is never painted,
// hit or selected itself; it and its children stay out of the document's
// intersection check.
class CSVGElementClipPath : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementClipPath(CSVGDocument* document);

    bool isShape() const override { return false; }
    // Rebuilds the outline while dirty: a child added, removed or changed
    // after the first use still counts.
    void updateGeometry() override;
};
