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
// M = P t, where P is the parent's accumulated matrix and t the element's
// own transform. The new own transform is P^-1 R M, so that the parent's
// part is not applied twice inside a transformed group.
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
        CSVGMatrix own = element->getParent() ? element->getParent()->getMatrix() : CSVGMatrix();
        if (!own.invert())
            continue;
        own.multiply(rotated);
        element->setAttribute(L"transform", own.toString(), true);
        element->updateMatrix(nullptr, true);
    }
}

void CSVGRotation::refreshDocument()
{
    if (m_document)
        m_document->setContentChanged(true);
}
