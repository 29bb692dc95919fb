#include "CActionBase.h"

#include "CSVGDocument.h"

CActionBase::CActionBase(CSVGDocument* document, int type)
    : m_type(type)
    , m_document(document)
{
}

std::wstring CActionBase::undo()
{
    return std::wstring();
}

std::wstring CActionBase::redo()
{
    return std::wstring();
}

void CActionBase::deleteOwned(const ElementRef& element)
{
    if (element && !element->getParent())
        delete element.data();
}

bool CActionBase::isChildOf(const CSVGElement* parent, const ElementRef& element)
{
    return parent && element && element->getParent() == parent;
}

bool CActionBase::isInDocument(const CSVGElement* element) const
{
    for (const CSVGElement* ancestor = element; ancestor; ancestor = ancestor->getParent()) {
        if (ancestor == m_document)
            return true;
    }
    return false;
}

void CActionBase::select(CSVGElement* element)
{
    if (m_document && isInDocument(element))
        m_document->selectElement(element, Qt::green);
}

void CActionBase::unselect(CSVGElement* element)
{
    if (m_document)
        m_document->unselectElement(element);
}

void CActionBase::refreshAfterChange(bool renumber)
{
    if (m_document)
        m_document->refreshAfterAction(renumber);
}

void CActionBase::markContentChanged()
{
    if (m_document)
        m_document->setContentChanged(true);
}
