#include "CActionLayer.h"

#include "CSVGDocument.h"

CActionLayer::CActionLayer(CSVGDocument* document, CSVGElement* element)
    : CActionBase(document, TypeLayer)
    , m_element(element)
    , m_parent(element ? element->getParent() : nullptr)
{
    if (element)
        m_before.previous = element->getPreviousSibling();
    m_before.hadPrevious = m_before.previous != nullptr;
    m_after = m_before;
}

void CActionLayer::captureAfterState()
{
    if (!m_element)
        return;
    m_after.previous = m_element->getPreviousSibling();
    m_after.hadPrevious = m_after.previous != nullptr;
}

std::wstring CActionLayer::undo()
{
    moveTo(m_before);
    return std::wstring();
}

std::wstring CActionLayer::redo()
{
    moveTo(m_after);
    return std::wstring();
}

// A sibling that has gone since leaves the element last.
void CActionLayer::moveTo(const Place& place)
{
    if (!m_element || !m_parent || m_element == place.previous)
        return;
    if (!place.hadPrevious)
        m_parent->insertChildBefore(m_element, nullptr, true, true);
    else
        m_parent->insertChildAfter(
            m_element, isChildOf(m_parent, place.previous) ? place.previous.data() : nullptr, true);
    refreshAfterChange(true);
    markContentChanged();
}
