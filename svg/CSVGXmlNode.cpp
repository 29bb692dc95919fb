#include "CSVGXmlNode.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace {

bool isLayoutAttribute(const std::wstring& name)
{
    return name == L"boxx" || name == L"boxy" || name == L"boxwidth" || name == L"boxheight";
}

// Below "?" only markup characters and control characters need a look.
template <typename Char> bool isPlain(Char c)
{
    if (c >= Char('?'))
        return sizeof(Char) == 1 || CSVGXmlNode::isXmlChar(static_cast<char32_t>(c));
    if (c >= Char(' '))
        return c != Char('&') && c != Char('<') && c != Char('>') && c != Char('"');
    return c == Char('\t') || c == Char('\n');
}

// Bytes are looked up: nearly every character written is one.
const std::array<bool, 256> kPlainBytes = [] {
    std::array<bool, 256> plain {};
    for (size_t c = 0; c < plain.size(); ++c)
        plain[c] = isPlain(static_cast<unsigned char>(c));
    return plain;
}();

template <typename Char> const Char* plainRunEnd(const Char* p, const Char* end)
{
    if constexpr (sizeof(Char) == 1)
        return std::find_if_not(p, end, [](Char c) { return kPlainBytes[static_cast<unsigned char>(c)]; });
    else
        return std::find_if_not(p, end, isPlain<Char>);
}

// The runs between markup characters go in whole.
template <typename Char> void appendEscapedRange(std::wstring& out, const Char* p, const Char* end)
{
    while (p < end) {
        const Char* run = p;
        p = plainRunEnd(p, end);
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(p - run));
        std::copy(run, p, out.begin() + static_cast<std::ptrdiff_t>(at));
        if (p == end)
            return;
        switch (*p++) {
        case '&':
            out += L"&amp;";
            break;
        case '<':
            out += L"&lt;";
            break;
        case '>':
            out += L"&gt;";
            break;
        case '"':
            out += L"&quot;";
            break;
        case '\r':
            out += L"&#13;";
            break;
        default:
            out += L'\xFFFD';
        }
    }
}

// Beyond ASCII only the letters of the scripts that users here write, in
// ranges that every edition of XML allows in names: readers of the older
// editions (Qt's among them) take fewer characters than the fifth edition.
bool isNameLetter(wchar_t c)
{
    static const std::pair<wchar_t, wchar_t> ranges[]
        = { { 0xC0, 0xD6 }, { 0xD8, 0xF6 }, { 0xF8, 0xFF }, { 0x391, 0x3A1 }, { 0x3A3, 0x3C9 }, { 0x410, 0x44F },
              { 0x3041, 0x3094 }, { 0x30A1, 0x30FA }, { 0x4E00, 0x9FA5 }, { 0xAC00, 0xD7A3 } };
    return std::any_of(std::begin(ranges), std::end(ranges),
        [c](const std::pair<wchar_t, wchar_t>& range) { return c >= range.first && c <= range.second; });
}

bool isNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || isNameLetter(c);
}

bool isNameChar(wchar_t c)
{
    return isNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.';
}

bool isPrefixColon(const std::wstring& text, size_t colon, bool colons)
{
    return colons && colon > 0 && colon + 1 < text.size();
}

// The character at i of a name whose local part starts at local.
bool isNameCharAt(const std::wstring& text, size_t i, size_t local)
{
    return i == 0 || i == local ? isNameStart(text[i]) : isNameChar(text[i]);
}

} // namespace

// Quotes are escaped in text too, so one routine serves values and text.
void CSVGXmlNode::appendEscaped(std::wstring& out, const std::wstring& text)
{
    appendEscapedRange(out, text.data(), text.data() + text.size());
}

void CSVGXmlNode::appendEscaped(std::wstring& out, const unsigned char* begin, const unsigned char* end)
{
    appendEscapedRange(out, begin, end);
}

bool CSVGXmlNode::isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

void CSVGXmlNode::appendXmlChars(std::wstring& out, const std::wstring& text)
{
    for (const wchar_t c : text)
        out += isXmlChar(static_cast<char32_t>(c)) ? c : L'\xFFFD';
}

void CSVGXmlNode::appendComment(std::wstring& out, const std::wstring& text)
{
    out += L"<!--";
    wchar_t previous = 0;
    for (const wchar_t c : text) {
        if (c == L'-' && previous == L'-')
            out += L' ';
        previous = isXmlChar(static_cast<char32_t>(c)) ? c : L'\xFFFD';
        out += previous;
    }
    if (previous == L'-')
        out += L' ';
    out += L"-->";
}

// A colon first, last or after the first is no prefix's; the local name
// after a prefix starts as a name does.
bool CSVGXmlNode::isName(const std::wstring& text, bool colons)
{
    const size_t colon = text.find(L':');
    if (text.empty() || (colon != std::wstring::npos && !isPrefixColon(text, colon, colons)))
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i != colon && !isNameCharAt(text, i, colon == std::wstring::npos ? 0 : colon + 1))
            return false;
    }
    return true;
}

std::wstring CSVGXmlNode::toName(std::wstring text)
{
    const size_t colon = text.find(L':');
    const bool prefixed = colon != std::wstring::npos && isPrefixColon(text, colon, true);
    for (size_t i = 0; i < text.size(); ++i) {
        const bool valid = text[i] == L':' ? i == colon && prefixed : isNameCharAt(text, i, prefixed ? colon + 1 : 0);
        if (!valid)
            text[i] = L'_';
    }
    return text;
}

CSVGXmlNode::CSVGXmlNode(const std::wstring& name)
    : m_name(name)
{
}

void CSVGXmlNode::setName(const std::wstring& name)
{
    m_name = name;
}

void CSVGXmlNode::setAttribute(const std::wstring& name, const std::wstring& value)
{
    const auto found = std::find(m_attributeNames.begin(), m_attributeNames.end(), name);
    if (found != m_attributeNames.end()) {
        m_attributeValues.erase(m_attributeValues.begin() + (found - m_attributeNames.begin()));
        m_attributeNames.erase(found);
    }
    m_attributeNames.push_back(name);
    m_attributeValues.push_back(value);
}

std::wstring CSVGXmlNode::toXml() const
{
    std::wstring out;
    appendTo(out);
    return out;
}

void CSVGXmlNode::appendTo(std::wstring& out) const
{
    out += L'<';
    out += m_name;
    for (size_t i = 0; i < m_attributeNames.size(); ++i) {
        if (isLayoutAttribute(m_attributeNames[i]))
            continue;
        out += L' ';
        out += m_attributeNames[i];
        out += L"=\"";
        appendEscaped(out, m_attributeValues[i]);
        out += L'"';
    }
    out += L'>';
    if (text.empty())
        out += L'\n';
    else
        appendEscaped(out, text);
    for (const CSVGXmlNode& child : children)
        child.appendTo(out);
    out += L"</";
    out += m_name;
    out += L">\n";
}
