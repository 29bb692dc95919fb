#include "CActionAttr.h"

#include "CSVGElement.h"

CActionAttr::CActionAttr(CSVGDocument* document, CSVGElement* element, const std::wstring& name)
    : CActionStateChange(document, TypeAttr, element)
    , m_name(name)
{
    captureBeforeState();
}

std::wstring CActionAttr::read(const CSVGElement* element) const
{
    return element->getAttribute(m_name);
}

void CActionAttr::write(CSVGElement* element, const std::wstring& value)
{
    element->setAttribute(m_name, value, true);
}
