#include "CActionAdd.h"

#include "CSVGDocument.h"

CActionAdd::CActionAdd(CSVGDocument* document, CSVGElement* parent, CSVGElement* element)
    : CActionBase(document, TypeAdd)
    , m_element(element)
    , m_parent(parent)
{
}

CActionAdd::~CActionAdd()
{
    if (m_owned)
        deleteOwned(m_element);
}

std::wstring CActionAdd::undo()
{
    if (!m_element || !m_element->getParent())
        return std::wstring();
    unselect(m_element);
    markContentChanged();
    m_previous = m_element->getPreviousSibling();
    m_hadPrevious = m_previous != nullptr;
    m_placeKnown = true;
    m_element->removeFromParent(true);
    m_owned = true;
    return std::wstring();
}

// Commands put new pieces in the middle too (in the place of what they
// replace): appended, a redone step would change the drawing's order.
std::wstring CActionAdd::redo()
{
    if (!m_element || !m_parent || m_element->getParent())
        return std::wstring();
    bool placed = false;
    if (!m_placeKnown)
        placed = m_parent->appendChild(m_element, true, true);
    else if (!m_hadPrevious)
        placed = m_parent->insertChildBefore(m_element, nullptr, true, true);
    else if (isChildOf(m_parent, m_previous))
        placed = m_parent->insertChildAfter(m_element, m_previous, true);
    else
        placed = m_parent->appendChild(m_element, true, true);
    if (!placed)
        return std::wstring();
    m_owned = false;
    select(m_element);
    markContentChanged();
    return std::wstring();
}
