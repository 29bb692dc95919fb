#include "CSVGElementDoctype.h"

#include "SvgCodes.h"

CSVGElementDoctype::CSVGElementDoctype(CSVGDocument* document)
    : CSVGElement(document, L"DOCTYPE", SvgType::Doctype)
{
}

bool CSVGElementDoctype::writeContent(std::wstring& out) const
{
    appendMarkup(out, L"<!", L">");
    return true;
}
