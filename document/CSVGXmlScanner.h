#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CSVGDocument;
class CSVGElement;

// The document's own XML scanner: walks SVG text once and builds elements
// through the document's factory, without a general XML library. Whatever
// the text, it ends, keeps what it has built and stays within bounds:
//
// - the first NUL character ends the text;
// - a "<" that cannot open markup (before white space, ">", "<", "=", a
//   quote, a digit or the end) is character data;
// - a comment, declaration, CDATA section or quoted value without its end
//   ends the scan; so does a start tag cut off by the end of the text;
// - attribute names end at white space, "=", ">" or "/>"; a name without a
//   value is dropped, an unquoted value runs to white space or ">";
// - elements deeper than kMaxDepth hang from the last level, so that the
//   recursive walks over the tree stay shallow;
// - one scan registers at most kNewAttributeNames attribute names that the
//   program-wide name table does not know yet, none longer than
//   kMaxAttributeNameLength: no file can use that table up;
// - one scan makes at most maxElements elements (a million by default, some
//   gigabytes of tree) and ends there.
// Each limit that a scan reaches is logged once as a warning. A scan tells
// whether the text was complete: false when it ended inside an element or a
// piece of markup, as a file cut off in transfer does.
//
// Character references (the five predefined entities and numeric ones) are
// decoded in attribute values and character data; comments, CDATA sections
// and declarations keep their text as written, delimiters included.
class CSVGXmlScanner
{
public:
    static constexpr size_t kMaxDepth = 256;
    static constexpr int kNewAttributeNames = 1000;
    static constexpr size_t kMaxAttributeNameLength = 256;
    static constexpr size_t kMaxElements = 1000000;

    explicit CSVGXmlScanner(CSVGDocument* document, size_t maxElements = kMaxElements);

    // True when the text ended with every element closed and no markup cut
    // off (or at the element limit, which is logged instead).
    bool scan(const std::wstring& text, CSVGElement* parent);

    // The text with its character references decoded; a reference that is
    // not well formed, names another entity or a character that XML does not
    // allow stays as written.
    static std::wstring decodeReferences(const wchar_t* begin, const wchar_t* end);

private:
    // An open element and its last run of character data, which it takes at
    // its end tag: a plain element keeps only its last run.
    struct OpenElement
    {
        CSVGElement* element;
        const wchar_t* textBegin = nullptr;
        const wchar_t* textEnd = nullptr;
    };

    const wchar_t* readText(const wchar_t* p);
    const wchar_t* readEndTag(const wchar_t* p);
    const wchar_t* readDeclaration(const wchar_t* p);
    const wchar_t* readBang(const wchar_t* p);
    const wchar_t* readStartTag(const wchar_t* p);
    // The attributes after the tag name, up to and including ">" or "/>";
    // null when the text ends first.
    const wchar_t* readAttributes(const wchar_t* p, CSVGElement* element, bool& opened);
    // Ends the scan where the text ends inside markup.
    const wchar_t* cutOff();
    void setAttribute(CSVGElement* element, const wchar_t* nameBegin, const wchar_t* nameEnd, std::wstring value);
    // A comment, declaration, CDATA section or doctype holding its text.
    void appendMarkup(const wchar_t* tag, const wchar_t* begin, const wchar_t* end);
    // A new element of the tag, counted against the limit; null once the
    // limit is reached.
    CSVGElement* makeElement(const std::wstring& tag);
    void appendElement(CSVGElement* element);
    void warnOnce(int limit, const char* what);
    void close(OpenElement& open);
    CSVGElement* currentParent();
    bool opensMarkup(const wchar_t* p) const;
    const wchar_t* skipSpace(const wchar_t* p) const;
    const wchar_t* find(const wchar_t* from, const wchar_t* what) const;
    wchar_t at(const wchar_t* p) const { return p < m_end ? *p : L'\0'; }
    bool startsWith(const wchar_t* p, const wchar_t* what) const;

    CSVGDocument* m_document;
    const wchar_t* m_end = nullptr;
    std::vector<OpenElement> m_open;
    // The text element whose "xml:space" is "preserve", while it is open.
    CSVGElement* m_preserve = nullptr;
    int m_newNames = 0;
    size_t m_maxElements;
    size_t m_elements = 0;
    bool m_cutOff = false;
    // The limits already logged in this scan, one bit each.
    int m_warned = 0;
};
