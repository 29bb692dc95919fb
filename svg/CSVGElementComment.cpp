#include "CSVGElementComment.h"

#include "CSVGXmlNode.h"
#include "SvgCodes.h"

#include <cwchar>
#include <cwctype>

namespace {

bool isWhole(const std::wstring& text, const wchar_t* opening, const wchar_t* closing)
{
    const std::wstring close(closing);
    return text.rfind(opening, 0) == 0 && text.size() >= std::wcslen(opening) + close.size()
        && text.find(close, std::wcslen(opening)) == text.size() - close.size();
}

// "<?target content?>" with a target that XML allows: a name other than
// "xml" in any case, followed by white space or the end.
bool isProcessingInstruction(const std::wstring& text, bool& declaration)
{
    size_t end = 2;
    while (end < text.size() - 2 && !std::wcschr(L" \t\n\r?", text[end]))
        ++end;
    std::wstring target = text.substr(2, end - 2);
    for (wchar_t& c : target)
        c = static_cast<wchar_t>(std::towlower(c));
    declaration = target == L"xml";
    return !declaration && CSVGXmlNode::isName(text.substr(2, end - 2), false)
        && (end == text.size() - 2 || text[end] != L'?');
}

} // namespace

CSVGElementComment::CSVGElementComment(CSVGDocument* document)
    : CSVGElement(document, L"comment", SvgType::Comment)
{
}

// A comment, a declaration or another "<!" construct, as the reader cuts
// them; a text that is no markup at all is left out. The XML declaration
// before the root is the writer's own.
bool CSVGElementComment::writeContent(std::wstring& out) const
{
    const std::wstring text = getText();
    if (isWhole(text, L"<!--", L"-->")) {
        CSVGXmlNode::appendComment(out, text.substr(4, text.size() - 7));
        return true;
    }
    bool declaration = false;
    if (isWhole(text, L"<?", L"?>") && isProcessingInstruction(text, declaration)) {
        CSVGXmlNode::appendXmlChars(out, text);
        return true;
    }
    const bool beforeRoot = getParent() && getParent()->getType() == SvgType::Document;
    if ((declaration && beforeRoot) || text.size() < 2 || text.front() != L'<' || text.back() != L'>')
        return true;
    // Markup that XML does not allow here: kept as a comment.
    CSVGXmlNode::appendComment(out, text.substr(1, text.size() - 2));
    return true;
}
