#include "CSVGDocument.h"
#include "CSVGElementShape.h"

// What is drawn of the selection, as the cut takes it: a hidden piece adds
// nothing to the box or to the size shown for it.
QRectF CSVGDocument::getSelectionRect()
{
    QRectF rect;
    for (CSVGElement* element : qAsConst(m_selection)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (const std::optional<CSVGRect> drawn = shape ? shape->getDrawnBoundingRect() : std::nullopt)
            rect = rect.united(drawn->toQRectF().normalized());
    }
    return rect;
}
