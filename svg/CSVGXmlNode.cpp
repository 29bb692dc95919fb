#include "CSVGXmlNode.h"

#include <algorithm>

namespace {

bool isLayoutAttribute(const std::wstring& name)
{
    return name == L"boxx" || name == L"boxy" || name == L"boxwidth" || name == L"boxheight";
}

// The runs between markup characters go in whole.
template <typename Char> void appendEscapedRange(std::wstring& out, const Char* p, const Char* end)
{
    const auto plain = [](Char c) { return c != '&' && c != '<' && c != '>' && c != '"' && c != '\r'; };
    while (p < end) {
        const Char* run = p;
        p = std::find_if_not(p, end, plain);
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
        default:
            out += L"&#13;";
        }
    }
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
