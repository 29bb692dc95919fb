#include "CSVGElementDoctype.h"

CSVGElementDoctype::CSVGElementDoctype(CSVGDocument* document)
    : CSVGElement(document, L"DOCTYPE", 9)
{
}

bool CSVGElementDoctype::writeContent(std::wstring& out) const
{
    out += getText();
    return true;
}
