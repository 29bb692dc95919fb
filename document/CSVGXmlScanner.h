#pragma once

#include "CSVGEntityTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CSVGDocument;
class CSVGElement;
class QString;

// The document's own XML scanner: walks SVG text once and builds elements
// through the document's factory, without a general XML library. Whatever
// the text, it ends, keeps what it has built and stays within bounds:
//
// - the first NUL character ends the text; line ends are read as XML reads
//   them (CR LF and a CR alone are one LF);
// - a "<" that cannot open markup (before white space, a character that
//   cannot start a name, or the end) is character data;
// - a comment, declaration, CDATA section or quoted value without its end
//   ends the scan; so does a start tag cut off by the end of the text;
// - attribute names end at white space, "=", ">" or "/>"; a name without a
//   value, one that is no name as XML namespaces read it, and a namespace
//   declaration that they forbid are dropped; an unquoted value runs to
//   white space or ">"; a character that no tag may hold where it stands
//   becomes "_" in the tag;
// - an element nested deeper than kMaxDepth ends the scan and marks the text
//   as too deep, so that the recursive walks over the tree stay shallow:
//   the caller refuses such a text rather than change its drawing;
// - one scan registers at most kNewAttributeNames attribute names that the
//   program-wide name table does not know yet, none longer than
//   kMaxAttributeNameLength: no file can use that table up. The root's
//   attributes that the writer gives every save (its version, the custom
//   positions and the declarations of the prefixes in use, as the writer
//   makes them) come after the file's own names and are left out quietly
//   beyond the budget, as each save gives them again: a saved file reads
//   back with everything that was read. The file's own names left out are
//   told (leftOutNames), the first kListedNames of them by name;
// - one scan makes at most maxElements elements (a million by default, some
//   gigabytes of tree) and ends where it would make one more, which it tells
//   (reachedElementLimit), so that the loss is said. The XML declaration at
//   the start of the text is not counted: the writer puts its own there, and
//   a drawing read whole saves as a file that reads back whole;
// - the entities of the document type declaration expand to at most
//   kMaxEntityCharacters characters in all, make at most
//   kMaxEntityElements elements in all and nest at most kMaxEntityDepth
//   deep; an entity that uses itself expands without end. Beyond that the
//   scan ends and tells (reachedEntityLimit, and which limit:
//   reachedEntityElementLimit): an entity bomb is refused quickly and in
//   little memory, with the limit that it passed.
// A whole file's scan also tells of elements or character data after its
// root element (contentAfterRoot), which no drawing holds: a second root,
// or the rest of a root that an entity closed early.
// Each limit that a scan reaches is logged once as a warning. A scan tells
// whether the text was complete: false when it ended inside an element or a
// piece of markup, as a file cut off in transfer does.
//
// Character references (the five predefined entities and numeric ones) are
// decoded in attribute values and character data; so are the internal
// entities that the document type declaration declares (see
// CSVGEntityTable): one used in content that holds markup is read as
// markup, in place. Nothing outside the text is ever read. Comments, CDATA
// sections and declarations keep their text as written, delimiters
// included.
//
// An element whose prefix names the SVG namespace ("svg:rect" under
// xmlns:svg="http://www.w3.org/2000/svg") is the SVG element of its local
// name, unless another default namespace is declared where it stands (any
// reader would then take the name without prefix for another element).
// Namespaces are taken as the file will be written: the root's default
// namespace and its known prefixes as the writer declares them, and so an
// undeclared prefix (see CSVGDocument::prefixNamespace); a saved file then
// reads back as it was read.
//
// Character data is kept in its place among the children: inside a text or
// tspan each run becomes a text-content node; any other element holds the
// run before its first child as its own text, and every later run as a CDATA
// section child, which any XML reader reads as the same characters. Inside a
// text (at any depth), white space between two runs is part of the second:
// it separates words. A tref, which draws the text it refers to, counts as
// a run. Inside a text or tspan whose "xml:space" is
// "preserve", no white space is passed over.
class CSVGXmlScanner
{
public:
    static constexpr size_t kMaxDepth = 256;
    static constexpr int kNewAttributeNames = 1000;
    static constexpr size_t kMaxAttributeNameLength = 256;
    static constexpr size_t kListedNames = 5;
    static constexpr size_t kMaxElements = 1000000;
    static constexpr size_t kMaxEntityCharacters = size_t(1) << 20;
    static constexpr size_t kMaxEntityElements = 8192;
    static constexpr size_t kMaxEntityDepth = 32;

    explicit CSVGXmlScanner(CSVGDocument* document, size_t maxElements = kMaxElements);

    // The text is read as UTF-16 (the file's decoded text, without a copy
    // of four bytes a character); a wide text is converted first. True when
    // the text ended with every element closed and no markup cut off.
    bool scan(const QString& text, CSVGElement* parent);
    bool scan(const std::wstring& text, CSVGElement* parent);
    // Whether the last scan met an element nested deeper than kMaxDepth.
    bool isTooDeep() const { return m_tooDeep; }
    // Whether the last scan left out elements at the element limit.
    bool reachedElementLimit() const { return m_elementLimit; }
    // Whether the last scan ended at the limits of entity expansion.
    bool reachedEntityLimit() const { return m_entityLimit; }
    // Whether the limit reached was that of the elements made from
    // entities.
    bool reachedEntityElementLimit() const { return m_entityElementLimit; }
    // The first kListedNames attribute names of the text left out beyond
    // the budget of new names, and whether there were more.
    const std::vector<std::wstring>& leftOutNames() const { return m_leftOutNames; }
    bool leftOutMoreNames() const { return m_moreLeftOut; }
    // Whether the last scan met elements or character data after the root.
    bool contentAfterRoot() const { return m_afterRoot; }

private:
    // An open element, the run of character data before its first child,
    // which it takes at its end tag, and whether it is a text or lies in one.
    struct OpenElement
    {
        CSVGElement* element;
        bool inText = false;
        std::wstring text;
    };
    // An attribute of the start tag under reading.
    struct Attribute
    {
        std::wstring name;
        std::wstring value;
    };
    // A namespace prefix (empty for the default namespace) that an open
    // element or the start tag under reading declares; level is the
    // element's place in m_open. shadowed is the binding of the prefix that
    // this one hides, kNone when there is none.
    struct Binding
    {
        size_t level;
        std::wstring prefix;
        std::wstring name;
        size_t shadowed;
    };
    static constexpr size_t kNone = SIZE_MAX;

    // Reads markup and character data from p to the end of the text under
    // reading; false once the scan has ended.
    bool scanRange(const char16_t* p);
    const char16_t* readText(const char16_t* p);
    // The run of character data from p to end, kept where it belongs;
    // false once the element limit is reached.
    bool takeRun(const char16_t* p, const char16_t* end);
    // The end of the run of character data from p: the next markup, the end
    // of the text, or the "&" of a reference to an entity that holds markup,
    // which sets entity, and semicolon to the reference's ";".
    const char16_t* runEnd(const char16_t* p, const CSVGEntityTable::Entity*& entity, const char16_t*& semicolon) const;
    // Reads the entity's text as content in place; false once the scan has
    // ended.
    bool scanEntity(const CSVGEntityTable::Entity& entity);
    // Whether the entity may be expanded once more; counts its text against
    // the limits, and ends the scan beyond them.
    bool enterEntity(const CSVGEntityTable::Entity& entity);
    void leaveEntity();
    // Counts characters against the entity limit; false, ending the scan,
    // beyond it.
    bool spendOnEntities(size_t characters);
    // The text with its references decoded and its entities expanded.
    std::wstring decode(const char16_t* begin, const char16_t* end);
    void appendDecoded(std::wstring& out, const char16_t* begin, const char16_t* end);
    // A run after the element's first child, as CDATA sections; false once
    // the element limit is reached.
    bool appendRun(CSVGElement* element, std::wstring run);
    // Whether the white space before p starts the next run of a text.
    bool keepsSpaceBefore(const char16_t* p) const;
    const char16_t* readEndTag(const char16_t* p);
    const char16_t* readDeclaration(const char16_t* p);
    const char16_t* readBang(const char16_t* p);
    const char16_t* readDoctype(const char16_t* p);
    const char16_t* readStartTag(const char16_t* p);
    // The attributes after the tag name into m_attributes, up to and
    // including ">" or "/>"; null when the text ends first.
    const char16_t* readAttributes(const char16_t* p, bool& opened);
    void addAttribute(const char16_t* nameBegin, const char16_t* nameEnd, std::wstring value);
    static bool isAllowedDeclaration(const std::wstring& name, const std::wstring& value);
    // Binds the prefixes that the start tag under reading declares, at the
    // level its element takes once opened.
    void bindDeclarations();
    // Ends the bindings made at the level or deeper.
    void unbindFrom(size_t level);
    // The tag of an element read from the text: its characters made a name,
    // and an SVG namespace prefix dropped.
    std::wstring elementTag(const std::wstring& name) const;
    // The namespace that the prefix (empty for the default namespace)
    // stands for at the start tag under reading, as the file will be
    // written.
    std::wstring namespaceName(const std::wstring& prefix) const;
    // The namespace under which the writer declares the prefix on the root.
    static std::wstring writtenNamespace(const std::wstring& prefix);
    bool isRootOpen() const;
    // Of the attributes that are one attribute for XML namespaces (a:x and
    // b:x with a and b naming one namespace), the last is kept.
    void dropRepeatedAttributes();
    void openElement(CSVGElement* element);
    // Ends the scan where the text ends inside markup.
    const char16_t* cutOff();
    void setAttribute(CSVGElement* element, const Attribute& attribute);
    // Sets the attribute as far as the budget of new names goes; beyond it
    // the attribute is left out, and told when tell is true.
    void storeAttribute(CSVGElement* element, const Attribute& attribute, bool tell);
    void tellLeftOut(const std::wstring& name);
    // Whether the attribute of the start tag under reading is one that the
    // writer gives the root of every save.
    bool isWritersOwn(const Attribute& attribute) const;
    void storeWritersOwn();
    // A comment, declaration, CDATA section or doctype holding its text.
    void appendMarkup(const wchar_t* tag, const char16_t* begin, const char16_t* end);
    // A new element of the tag, counted against the limit; null once the
    // limit is reached.
    CSVGElement* makeElement(const std::wstring& tag);
    void appendElement(CSVGElement* element);
    void warnOnce(int limit, const char* what);
    void closeLast();
    bool opensMarkup(const char16_t* p) const;
    const char16_t* skipSpace(const char16_t* p) const;
    const char16_t* find(const char16_t* from, const char16_t* what) const;
    char16_t at(const char16_t* p) const { return p < m_end ? *p : u'\0'; }
    bool startsWith(const char16_t* p, const char16_t* what) const;

    CSVGDocument* m_document;
    // The start of the file's text.
    const char16_t* m_begin = nullptr;
    // The end of the text under reading: the file's, or an entity's while
    // its text is read in place.
    const char16_t* m_end = nullptr;
    std::vector<OpenElement> m_open;
    std::vector<Attribute> m_attributes;
    std::vector<Binding> m_bindings;
    // Each bound prefix's innermost binding, an index into m_bindings.
    std::unordered_map<std::wstring, size_t> m_innermost;
    // Whether the start tag under reading is a whole file's svg root.
    bool m_readingRoot = false;
    // The text or tspan whose "xml:space" is "preserve", while it is open.
    CSVGElement* m_preserve = nullptr;
    // Since the last text element opened: whether character data was read.
    bool m_textHasRun = false;
    bool m_tooDeep = false;
    int m_newNames = 0;
    std::vector<std::wstring> m_leftOutNames;
    bool m_moreLeftOut = false;
    // Whether a whole file's root has been met, and content after it.
    bool m_rootMet = false;
    bool m_afterRoot = false;
    // The root's attributes that the writer gives every save, set last.
    std::vector<std::pair<CSVGElement*, Attribute>> m_writersOwn;
    size_t m_maxElements;
    size_t m_elements = 0;
    bool m_elementLimit = false;
    bool m_cutOff = false;
    // The limits already logged in this scan, one bit each.
    int m_warned = 0;
    // The entities of the first document type declaration, those being
    // expanded, and the characters expanded so far.
    CSVGEntityTable m_entities;
    bool m_doctypeRead = false;
    std::vector<const CSVGEntityTable::Entity*> m_expanding;
    size_t m_entityCharacters = 0;
    size_t m_entityElements = 0;
    bool m_entityLimit = false;
    bool m_entityElementLimit = false;
};
