#include "CActionValue.h"

#include "CSVGElement.h"

CActionValue::CActionValue(CSVGDocument* document, CSVGElement* element)
    : CActionStateChange(document, TypeValue, element)
{
    captureBeforeState();
}

std::wstring CActionValue::read(const CSVGElement* element) const
{
    return element->getText();
}

void CActionValue::write(CSVGElement* element, const std::wstring& text)
{
    element->setText(text, true);
}
