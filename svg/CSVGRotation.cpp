#include "CSVGRotation.h"

#include "CSVGDocument.h"

CSVGRotation::CSVGRotation(CSVGDocument* document)
    : m_document(document)
{
}

void CSVGRotation::begin(const QList<CSVGElement*>& elements, const QPointF& centre)
{
    for (CSVGElement* element : elements) {
        if (element && element->isShape())
            m_startMatrices[element] = { element, element->getMatrix() };
    }
    m_centre = centre;
}

// The rotation R applies in canvas coordinates after the accumulated matrix
// M, which becomes R M.
void CSVGRotation::rotate(double angle)
{
    m_angle += angle;
    for (const auto& [key, start] : m_startMatrices) {
        CSVGElement* element = start.first;
        if (!element)
            continue;
        CSVGMatrix rotated = start.second;
        rotated.postTranslate(-m_centre.x(), -m_centre.y());
        rotated.postRotate(m_angle);
        rotated.postTranslate(m_centre.x(), m_centre.y());
        element->setCanvasMatrix(rotated);
    }
}

void CSVGRotation::refreshDocument()
{
    if (m_document)
        m_document->setContentChanged(true);
}
