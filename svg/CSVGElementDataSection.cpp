#include "CSVGElementDataSection.h"

CSVGElementDataSection::CSVGElementDataSection(CSVGDocument* document)
    : CSVGElement(document, L"[CDATA[", 3)
{
}

bool CSVGElementDataSection::writeContent(std::wstring& out) const
{
    out += getText();
    return true;
}
