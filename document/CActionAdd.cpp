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
    m_element->removeFromParent(true);
    m_owned = true;
    return std::wstring();
}

std::wstring CActionAdd::redo()
{
    if (!m_element || !m_parent || m_element->getParent() || !m_parent->appendChild(m_element, true, true))
        return std::wstring();
    m_owned = false;
    select(m_element);
    markContentChanged();
    return std::wstring();
}
