#pragma once

#include <QVector>

#include <string>
#include <vector>

// A plain XML element with its subtree, written out as text. The fill
// dialogs build gradient and pattern definitions with it.
class CSVGXmlNode
{
public:
    static constexpr const wchar_t* kSvgNamespace = L"http://www.w3.org/2000/svg";
    static constexpr const wchar_t* kXlinkNamespace = L"http://www.w3.org/1999/xlink";
    // Bound to the prefixes "xml" and "xmlns" by XML itself.
    static constexpr const wchar_t* kXmlNamespace = L"http://www.w3.org/XML/1998/namespace";
    static constexpr const wchar_t* kXmlnsNamespace = L"http://www.w3.org/2000/xmlns/";

    CSVGXmlNode() = default;
    explicit CSVGXmlNode(const std::wstring& name);

    void setName(const std::wstring& name);
    // Setting an attribute again moves it to the end of the list.
    void setAttribute(const std::wstring& name, const std::wstring& value);
    // The node and its subtree. Values and text are escaped; the layout
    // attributes boxx, boxy, boxwidth and boxheight are never written.
    std::wstring toXml() const;
    // Appends the text with "&", "<", ">" and '"' written as character
    // entities, so that it is safe both as text and inside a quoted value,
    // and a carriage return as a character reference: readers drop or turn
    // a literal one. Every writer of SVG text escapes through here.
    static void appendEscaped(std::wstring& out, const std::wstring& text);
    // The same for narrow text whose bytes are its characters (Latin-1).
    static void appendEscaped(std::wstring& out, const unsigned char* begin, const unsigned char* end);
    // Characters that XML allows nowhere (most control characters, lone
    // surrogates) cannot be written at all: every writer puts U+FFFD in
    // their place, so that the file stays XML.
    static bool isXmlChar(char32_t c);
    // Appends the text as it is, save the characters XML does not allow.
    static void appendXmlChars(std::wstring& out, const std::wstring& text);
    // Appends "<!--", the text and "-->": a "--" inside the text is broken
    // up by a blank, as is a "-" at its end, which XML does not allow in a
    // comment.
    static void appendComment(std::wstring& out, const std::wstring& text);
    // Whether the text is a name as XML namespaces read it: with one prefix
    // at most, or (colons false) without.
    static bool isName(const std::wstring& text, bool colons = true);
    // The text made such a name: each character that a name cannot hold in
    // its place (a colon other than one between a prefix and a local name
    // among them) becomes "_". Empty for an empty text.
    static std::wstring toName(std::wstring text);

    // Filled by the user directly, in the order they are to be written.
    QVector<CSVGXmlNode> children;
    std::wstring text;

private:
    void appendTo(std::wstring& out) const;

    std::wstring m_name;
    std::vector<std::wstring> m_attributeNames;
    std::vector<std::wstring> m_attributeValues;
};
