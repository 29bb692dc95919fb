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

void CActionBase::deleteOwned(CSVGElement* element)
{
    if (element && !element->getParent())
        delete element;
}

void CActionBase::markContentChanged()
{
    if (m_document)
        m_document->setContentChanged(true);
}
