#pragma once

#include <string>
#include <utility>

// An attribute's value as an element keeps it: one byte a character while
// every character is below 256 (numbers, path data, ids, colours: nearly
// every value of a drawing), else a zero byte and then the wide characters'
// bytes. Path data so takes a quarter of the room, and a value of up to 15
// such characters none outside its element. Callers see the wide text only.
class CSVGAttributeText
{
public:
    CSVGAttributeText() = default;
    explicit CSVGAttributeText(const std::wstring& text) { assign(text); }
    // Text whose bytes are each one character from 1 to 255, taken as it is.
    static CSVGAttributeText fromNarrow(std::string bytes)
    {
        CSVGAttributeText text;
        text.m_bytes = std::move(bytes);
        return text;
    }

    void assign(const std::wstring& text);
    std::wstring toWide() const;
    bool empty() const { return m_bytes.empty(); }
    // The number of wide characters.
    std::size_t length() const { return isWide() ? (m_bytes.size() - 1) / sizeof(wchar_t) : m_bytes.size(); }
    bool equals(const std::wstring& text) const;
    // Appends the text escaped as CSVGXmlNode::appendEscaped does.
    void appendEscaped(std::wstring& out) const;

private:
    // A narrow text holds no zero character, so a zero first byte marks the
    // wide form.
    bool isWide() const { return !m_bytes.empty() && m_bytes[0] == '\0'; }

    std::string m_bytes;
};
