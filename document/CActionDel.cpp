#include "CActionDel.h"

#include "CSVGDocument.h"

CActionDel::CActionDel(CSVGDocument* document, CSVGElement* element)
    : CActionBase(document, TypeDel)
    , m_element(element)
    , m_parent(element ? element->getParent() : nullptr)
    , m_previous(element ? element->getPreviousSibling() : nullptr)
    , m_hadPrevious(m_previous != nullptr)
    , m_owned(element != nullptr)
{
}

CActionDel::~CActionDel()
{
    if (m_owned)
        deleteOwned(m_element);
}

std::wstring CActionDel::undo()
{
    if (!m_element || !m_parent || m_element->getParent())
        return std::wstring();
    bool placed = false;
    if (!m_hadPrevious)
        placed = m_parent->prependChild(m_element, true, true);
    else if (isChildOf(m_parent, m_previous))
        placed = m_parent->insertChildAfter(m_element, m_previous, true);
    else
        placed = m_parent->appendChild(m_element, true, true);
    if (!placed)
        return std::wstring();
    m_owned = false;
    select(m_element);
    refreshAfterChange(true);
    markContentChanged();
    return std::wstring();
}

std::wstring CActionDel::redo()
{
    if (!m_element || !m_element->getParent())
        return std::wstring();
    unselect(m_element);
    m_element->removeFromParent(true);
    m_owned = true;
    markContentChanged();
    refreshAfterChange(false);
    return std::wstring();
}
