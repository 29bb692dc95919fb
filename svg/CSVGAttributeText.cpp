#include "CSVGAttributeText.h"

#include "CSVGXmlNode.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <numeric>

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
    // One pass without a branch a character, eight at a time with a flag
    // for each of the eight, which the compiler makes into wide steps: the
    // narrowed copy, and whether any character did not fit.
    const std::size_t size = text.size();
    m_bytes.resize(size);
    char* out = &m_bytes[0];
    const wchar_t* in = text.data();
    unsigned int flags[8] = {};
    std::size_t i = 0;
    for (; size - i >= 8; i += 8) {
        char bytes[8];
        for (std::size_t k = 0; k < 8; ++k) {
            const auto c = static_cast<unsigned int>(in[i + k]);
            flags[k] |= c - 1u > 0xFEu ? 1u : 0u;
            bytes[k] = static_cast<char>(c);
        }
        std::memcpy(out + i, bytes, sizeof(bytes));
    }
    for (; i < size; ++i) {
        const auto c = static_cast<unsigned int>(in[i]);
        flags[0] |= c - 1u > 0xFEu ? 1u : 0u;
        out[i] = static_cast<char>(c);
    }
    const unsigned int outside = std::accumulate(std::begin(flags), std::end(flags), 0u, std::bit_or<>());
    if (outside == 0)
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
