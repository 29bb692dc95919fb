#include "CSVGElementComment.h"

#include "SvgCodes.h"

CSVGElementComment::CSVGElementComment(CSVGDocument* document)
    : CSVGElement(document, L"comment", SvgType::Comment)
{
}

bool CSVGElementComment::writeContent(std::wstring& out) const
{
    // A comment, a declaration or another "<!" construct, each ending at the
    // first close of its kind, as the reader cuts them.
    appendMarkup(out, L"<!--", L"-->") || appendMarkup(out, L"<?", L"?>") || appendMarkup(out, L"<!", L">");
    return true;
}
