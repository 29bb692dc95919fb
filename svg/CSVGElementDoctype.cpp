#include "CSVGElementDoctype.h"

#include "SvgCodes.h"

CSVGElementDoctype::CSVGElementDoctype(CSVGDocument* document)
    : CSVGElement(document, L"DOCTYPE", SvgType::Doctype)
{
}

bool CSVGElementDoctype::writeContent(std::wstring& out) const
{
    out += getText();
    return true;
}
