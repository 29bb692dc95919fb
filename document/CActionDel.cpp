#include "CActionDel.h"

#include "CSVGDocument.h"

CActionDel::CActionDel(CSVGDocument* document, CSVGElement* element)
    : CActionBase(document, TypeDel)
    , m_element(element)
    , m_parent(element ? element->getParent() : nullptr)
    , m_previous(element ? element->getPreviousSibling() : nullptr)
    , m_owned(element != nullptr)
{
}

CActionDel::~CActionDel()
{
    if (m_owned)
        deleteOwned(m_element);
}

// Compares pointers only: the recorded sibling may be gone by now.
bool CActionDel::isChildOfParent(const CSVGElement* element) const
{
    for (int i = 0; i < m_parent->getChildCount(); ++i) {
        if (m_parent->getChild(i) == element)
            return true;
    }
    return false;
}

std::wstring CActionDel::undo()
{
    if (!m_element || !m_parent || m_element->getParent())
        return std::wstring();
    bool placed = false;
    if (!m_previous)
        placed = m_parent->prependChild(m_element, true, true);
    else if (isChildOfParent(m_previous))
        placed = m_parent->insertChildAfter(m_element, m_previous, true);
    else
        placed = m_parent->appendChild(m_element, true, true);
    if (!placed)
        return std::wstring();
    m_owned = false;
    if (CSVGDocument* document = getDocument()) {
        document->renumberDrawingOrder();
        document->selectElement(m_element, Qt::green);
        document->rebuildHighlights();
    }
    markContentChanged();
    return std::wstring();
}

std::wstring CActionDel::redo()
{
    if (!m_element || !m_element->getParent())
        return std::wstring();
    if (CSVGDocument* document = getDocument())
        document->unselectElement(m_element);
    m_element->removeFromParent(true);
    m_owned = true;
    markContentChanged();
    if (CSVGDocument* document = getDocument())
        document->rebuildHighlights();
    return std::wstring();
}
