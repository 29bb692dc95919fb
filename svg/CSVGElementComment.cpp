#include "CSVGElementComment.h"

#include "SvgCodes.h"

CSVGElementComment::CSVGElementComment(CSVGDocument* document)
    : CSVGElement(document, L"comment", SvgType::Comment)
{
}

bool CSVGElementComment::writeContent(std::wstring& out) const
{
    out += getText();
    return true;
}
