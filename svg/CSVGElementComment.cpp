#include "CSVGElementComment.h"

CSVGElementComment::CSVGElementComment(CSVGDocument* document)
    : CSVGElement(document, L"comment", 7)
{
}

bool CSVGElementComment::writeContent(std::wstring& out) const
{
    out += getText();
    return true;
}
