#include "CSVGAttributeText.h"

#include "CSVGXmlNode.h"
#include "WideSteps.h"

#include <algorithm>
#include <cstring>

namespace {

wchar_t widened(char c)
{
    return static_cast<wchar_t>(static_cast<unsigned char>(c));
}

} // namespace

// Narrowed in one pass, in the hope that it fits: nearly every value does,
// and path data is long.
void CSVGAttributeText::assign(const std::wstring& text)
{
    // The narrowed copy, and whether any character did not fit, in one pass.
    m_bytes.resize(text.size());
    const auto outside = [](wchar_t c) { return static_cast<unsigned int>(c) - 1u > 0xFEu ? 1u : 0u; };
    if (!WideSteps::copyFlagging(text.data(), text.data() + text.size(), &m_bytes[0], outside))
        return;
    m_bytes.assign(1, '\0');
    m_bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring CSVGAttributeText::toWide() const
{
    if (isWide()) {
        std::wstring text((m_bytes.size() - 1) / sizeof(wchar_t), L'\0');
        std::memcpy(&text[0], m_bytes.data() + 1, m_bytes.size() - 1);
        return text;
    }
    std::wstring text(m_bytes.size(), L'\0');
    std::transform(m_bytes.begin(), m_bytes.end(), text.begin(), widened);
    return text;
}

bool CSVGAttributeText::equals(const std::wstring& text) const
{
    if (isWide())
        return text.size() * sizeof(wchar_t) == m_bytes.size() - 1
            && std::memcmp(text.data(), m_bytes.data() + 1, m_bytes.size() - 1) == 0;
    return text.size() == m_bytes.size()
        && std::equal(m_bytes.begin(), m_bytes.end(), text.begin(), [](char c, wchar_t w) { return widened(c) == w; });
}

void CSVGAttributeText::appendEscaped(std::wstring& out) const
{
    if (isWide()) {
        CSVGXmlNode::appendEscaped(out, toWide());
        return;
    }
    const auto* begin = reinterpret_cast<const unsigned char*>(m_bytes.data());
    CSVGXmlNode::appendEscaped(out, begin, begin + m_bytes.size());
}
