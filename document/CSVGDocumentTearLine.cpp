// The tear line: an outline around the pieces that is cut with them.

#include "CSVGDocument.h"
#include "CSVGUtils.h"

bool CSVGDocument::hasTearLine()
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return false;
    for (const CSVGElement* shape : CSVGUtils::collectShapes(root)) {
        if (shape->isTearLine())
            return true;
    }
    return false;
}
