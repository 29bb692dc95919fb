#include "CSVGDocument.h"
#include "CSVGElementShape.h"

QRectF CSVGDocument::getSelectionRect()
{
    QRectF rect;
    for (CSVGElement* element : qAsConst(m_selection)) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(element))
            rect = rect.united(shape->getTransformedBoundingRect().toQRectF().normalized());
    }
    return rect;
}
