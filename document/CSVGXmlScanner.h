#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CSVGDocument;
class CSVGElement;
class QString;

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
// - an element nested deeper than kMaxDepth ends the scan and marks the text
//   as too deep, so that the recursive walks over the tree stay shallow:
//   the caller refuses such a text rather than change its drawing;
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
//
// Character data is kept in its place among the children: inside a text or
// tspan each run becomes a text-content node; any other element holds the
// run before its first child as its own text, and every later run as a CDATA
// section child, which any XML reader reads as the same characters. Inside a
// text (at any depth), white space between two runs is part of the second:
// it separates words.
class CSVGXmlScanner
{
public:
    static constexpr size_t kMaxDepth = 256;
    static constexpr int kNewAttributeNames = 1000;
    static constexpr size_t kMaxAttributeNameLength = 256;
    static constexpr size_t kMaxElements = 1000000;

    explicit CSVGXmlScanner(CSVGDocument* document, size_t maxElements = kMaxElements);

    // The text is read as UTF-16 (the file's decoded text, without a copy
    // of four bytes a character); a wide text is converted first. True when
    // the text ended with every element closed and no markup cut off (or at
    // the element limit, which is logged instead).
    bool scan(const QString& text, CSVGElement* parent);
    bool scan(const std::wstring& text, CSVGElement* parent);
    // Whether the last scan met an element nested deeper than kMaxDepth.
    bool isTooDeep() const { return m_tooDeep; }

    // The text with its character references decoded; a reference that is
    // not well formed, names another entity or a character that XML does not
    // allow stays as written.
    static std::wstring decodeReferences(const char16_t* begin, const char16_t* end);

private:
    // An open element, the run of character data before its first child,
    // which it takes at its end tag, and whether it is a text or lies in one.
    struct OpenElement
    {
        CSVGElement* element;
        bool inText = false;
        const char16_t* textBegin = nullptr;
        const char16_t* textEnd = nullptr;
    };

    const char16_t* readText(const char16_t* p);
    // A run after the element's first child, as CDATA sections; false once
    // the element limit is reached.
    bool appendRun(CSVGElement* element, const std::wstring& run);
    // Whether the white space before p starts the next run of a text.
    bool keepsSpaceBefore(const char16_t* p) const;
    const char16_t* readEndTag(const char16_t* p);
    const char16_t* readDeclaration(const char16_t* p);
    const char16_t* readBang(const char16_t* p);
    const char16_t* readStartTag(const char16_t* p);
    // The attributes after the tag name, up to and including ">" or "/>";
    // null when the text ends first.
    const char16_t* readAttributes(const char16_t* p, CSVGElement* element, bool& opened);
    // Ends the scan where the text ends inside markup.
    const char16_t* cutOff();
    void setAttribute(CSVGElement* element, const char16_t* nameBegin, const char16_t* nameEnd, std::wstring value);
    // A comment, declaration, CDATA section or doctype holding its text.
    void appendMarkup(const wchar_t* tag, const char16_t* begin, const char16_t* end);
    // A new element of the tag, counted against the limit; null once the
    // limit is reached.
    CSVGElement* makeElement(const std::wstring& tag);
    void appendElement(CSVGElement* element);
    void warnOnce(int limit, const char* what);
    void close(OpenElement& open);
    bool opensMarkup(const char16_t* p) const;
    const char16_t* skipSpace(const char16_t* p) const;
    const char16_t* find(const char16_t* from, const char16_t* what) const;
    char16_t at(const char16_t* p) const { return p < m_end ? *p : u'\0'; }
    bool startsWith(const char16_t* p, const char16_t* what) const;

    CSVGDocument* m_document;
    const char16_t* m_end = nullptr;
    std::vector<OpenElement> m_open;
    // The text element whose "xml:space" is "preserve", while it is open.
    CSVGElement* m_preserve = nullptr;
    // Since the last text element opened: whether character data was read.
    bool m_textHasRun = false;
    bool m_tooDeep = false;
    int m_newNames = 0;
    size_t m_maxElements;
    size_t m_elements = 0;
    bool m_cutOff = false;
    // The limits already logged in this scan, one bit each.
    int m_warned = 0;
};
