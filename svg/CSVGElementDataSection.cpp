#include "CSVGElementDataSection.h"

#include "SvgCodes.h"

CSVGElementDataSection::CSVGElementDataSection(CSVGDocument* document)
    : CSVGElement(document, L"[CDATA[", SvgType::CData)
{
}

bool CSVGElementDataSection::writeContent(std::wstring& out) const
{
    appendMarkup(out, L"<![CDATA[", L"]]>");
    return true;
}
