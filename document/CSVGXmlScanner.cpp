#include "CSVGXmlScanner.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <QtGlobal>

#include <algorithm>
#include <cwchar>

namespace {

bool isSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// A numeric reference's value when XML allows that character.
bool isXmlChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// The character of "name" in "&name;", 0 for none.
wchar_t referencedChar(const wchar_t* name, const wchar_t* end)
{
    const std::wstring text(name, end);
    if (text == L"lt")
        return L'<';
    if (text == L"gt")
        return L'>';
    if (text == L"amp")
        return L'&';
    if (text == L"quot")
        return L'"';
    if (text == L"apos")
        return L'\'';
    if (text.size() < 2 || text[0] != L'#')
        return 0;
    const bool hex = text[1] == L'x';
    const size_t digits = hex ? 2 : 1;
    if (text.size() <= digits)
        return 0;
    unsigned long value = 0;
    for (size_t i = digits; i < text.size(); ++i) {
        const wchar_t c = text[i];
        int digit = -1;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (hex && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (hex && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        if (digit < 0)
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        if (value > 0x10FFFF)
            return 0;
    }
    return isXmlChar(value) ? static_cast<wchar_t>(value) : 0;
}

// Long enough for "&#x" and a code point written with leading zeros.
constexpr ptrdiff_t kMaxReferenceLength = 32;

} // namespace

CSVGXmlScanner::CSVGXmlScanner(CSVGDocument* document, size_t maxElements)
    : m_document(document)
    , m_maxElements(maxElements)
{
}

std::wstring CSVGXmlScanner::decodeReferences(const wchar_t* begin, const wchar_t* end)
{
    const wchar_t* amp = std::find(begin, end, L'&');
    if (amp == end)
        return std::wstring(begin, end);
    std::wstring out(begin, amp);
    out.reserve(static_cast<size_t>(end - begin));
    for (const wchar_t* p = amp; p < end; ++p) {
        if (*p != L'&') {
            out += *p;
            continue;
        }
        const wchar_t* limit = end - p > kMaxReferenceLength ? p + kMaxReferenceLength : end;
        const wchar_t* semicolon = std::find(p + 1, limit, L';');
        const wchar_t c = semicolon == limit ? 0 : referencedChar(p + 1, semicolon);
        if (c == 0) {
            out += L'&';
            continue;
        }
        out += c;
        p = semicolon;
    }
    return out;
}

bool CSVGXmlScanner::scan(const std::wstring& text, CSVGElement* parent)
{
    if (!parent)
        return false;
    const wchar_t* p = text.c_str();
    m_end = p + std::wcslen(p);
    m_open.assign(1, OpenElement { parent });
    m_preserve = nullptr;
    m_newNames = 0;
    m_elements = 0;
    m_warned = 0;
    m_cutOff = false;
    m_document->setLoading(true);
    // Each element opens with a "<": a bound on the ids that the scan adds.
    m_document->reserveIds(std::min(static_cast<size_t>(std::count(p, m_end, L'<')), m_maxElements));
    while (p) {
        if (!m_preserve)
            p = skipSpace(p);
        if (p >= m_end)
            break;
        if (!opensMarkup(p))
            p = readText(p);
        else if (p[1] == L'/')
            p = readEndTag(p);
        else if (p[1] == L'?')
            p = readDeclaration(p);
        else if (p[1] == L'!')
            p = readBang(p);
        else
            p = readStartTag(p);
    }
    const bool atLimit = m_elements >= m_maxElements;
    const bool complete = atLimit || (!m_cutOff && m_open.size() == 1);
    // Unclosed elements stay in the tree and still take their content.
    while (m_open.size() > 1) {
        close(m_open.back());
        m_open.pop_back();
    }
    m_open.clear();
    m_document->setLoading(false);
    return complete;
}

const wchar_t* CSVGXmlScanner::cutOff()
{
    m_cutOff = true;
    return nullptr;
}

// A text or tspan keeps each run as a text-content node of its own, beside
// its tspans; any other element keeps its last run.
const wchar_t* CSVGXmlScanner::readText(const wchar_t* p)
{
    const wchar_t* lt = p;
    do
        lt = std::find(lt + 1, m_end, L'<');
    while (lt < m_end && !opensMarkup(lt));
    if (lt >= m_end)
        return nullptr;
    OpenElement& open = m_open.back();
    const int type = open.element->getType();
    if (type == SvgType::Text || type == SvgType::Tspan) {
        CSVGElement* node = makeElement(L"textcontent");
        if (!node)
            return nullptr;
        open.element->appendChild(node, false, false);
        node->setText(decodeReferences(p, lt), false);
    } else {
        open.textBegin = p;
        open.textEnd = lt;
    }
    return lt;
}

// The name in an end tag is not compared with the open element; a stray end
// tag never closes the element that the scan started under.
const wchar_t* CSVGXmlScanner::readEndTag(const wchar_t* p)
{
    const wchar_t* gt = std::find(p + 2, m_end, L'>');
    if (m_open.size() > 1) {
        close(m_open.back());
        m_open.pop_back();
    }
    return gt < m_end ? gt + 1 : m_end;
}

const wchar_t* CSVGXmlScanner::readDeclaration(const wchar_t* p)
{
    const wchar_t* end = find(p + 2, L"?>");
    if (!end)
        return cutOff();
    appendMarkup(L"comment_node", p, end + 2);
    return end + 2;
}

// Comments, CDATA sections and the doctype (with its internal subset) keep
// their text; any other "<!" construct becomes a comment node, which is
// written back as it stands.
const wchar_t* CSVGXmlScanner::readBang(const wchar_t* p)
{
    if (startsWith(p, L"<!--")) {
        const wchar_t* end = find(p + 4, L"-->");
        if (!end)
            return cutOff();
        appendMarkup(L"comment_node", p, end + 3);
        return end + 3;
    }
    if (startsWith(p, L"<![CDATA[")) {
        const wchar_t* end = find(p + 9, L"]]>");
        if (!end)
            return cutOff();
        appendMarkup(L"[CDATA[", p, end + 3);
        return end + 3;
    }
    const bool doctype = startsWith(p, L"<!DOCTYPE");
    const wchar_t* gt = std::find(p + 2, m_end, L'>');
    const wchar_t* subset = doctype ? std::find(p + 2, gt, L'[') : gt;
    if (subset < gt) {
        const wchar_t* close = std::find(subset, m_end, L']');
        gt = std::find(close, m_end, L'>');
    }
    if (gt >= m_end)
        return cutOff();
    appendMarkup(doctype ? L"DOCTYPE" : L"comment_node", p, gt + 1);
    return gt + 1;
}

const wchar_t* CSVGXmlScanner::readStartTag(const wchar_t* p)
{
    const wchar_t* nameEnd = p + 1;
    while (nameEnd < m_end && !isSpace(*nameEnd) && *nameEnd != L'/' && *nameEnd != L'>')
        ++nameEnd;
    if (nameEnd >= m_end)
        return cutOff();
    CSVGElement* element = makeElement(std::wstring(p + 1, nameEnd));
    if (!element)
        return nullptr;
    appendElement(element);
    bool opened = false;
    const wchar_t* next = readAttributes(nameEnd, element, opened);
    if (!opened)
        return next;
    m_open.push_back(OpenElement { element });
    if (!m_preserve && element->getType() == SvgType::Text && element->getAttribute(L"xml:space") == L"preserve")
        m_preserve = element;
    return next;
}

const wchar_t* CSVGXmlScanner::readAttributes(const wchar_t* p, CSVGElement* element, bool& opened)
{
    for (;;) {
        p = skipSpace(p);
        if (p >= m_end)
            return cutOff();
        if (*p == L'>') {
            opened = true;
            return p + 1;
        }
        if (startsWith(p, L"/>"))
            return p + 2;
        const wchar_t* nameBegin = p;
        while (p < m_end && !isSpace(*p) && *p != L'=' && *p != L'>' && !startsWith(p, L"/>"))
            ++p;
        const wchar_t* nameEnd = p;
        p = skipSpace(p);
        if (at(p) != L'=')
            continue;
        p = skipSpace(p + 1);
        const wchar_t quote = at(p);
        if (quote == L'"' || quote == L'\'') {
            const wchar_t* close = std::find(p + 1, m_end, quote);
            if (close >= m_end) {
                setAttribute(element, nameBegin, nameEnd, std::wstring());
                return cutOff();
            }
            setAttribute(element, nameBegin, nameEnd, decodeReferences(p + 1, close));
            p = close + 1;
            continue;
        }
        const wchar_t* valueBegin = p;
        while (p < m_end && !isSpace(*p) && *p != L'>' && !startsWith(p, L"/>"))
            ++p;
        setAttribute(element, nameBegin, nameEnd, decodeReferences(valueBegin, p));
    }
}

// Names the table already knows cost nothing; new ones come out of the
// scan's budget.
void CSVGXmlScanner::setAttribute(
    CSVGElement* element, const wchar_t* nameBegin, const wchar_t* nameEnd, std::wstring value)
{
    if (nameBegin == nameEnd)
        return;
    const std::wstring name(nameBegin, nameEnd);
    if (g_config.findAttributeId(name) < 0) {
        if (m_newNames >= kNewAttributeNames || name.size() > kMaxAttributeNameLength) {
            warnOnce(1, "new attribute names beyond the limit of one file are left out");
            return;
        }
        ++m_newNames;
    }
    element->setAttribute(name, value, false);
}

void CSVGXmlScanner::appendMarkup(const wchar_t* tag, const wchar_t* begin, const wchar_t* end)
{
    CSVGElement* element = makeElement(tag);
    if (!element)
        return;
    element->setText(std::wstring(begin, end), false);
    appendElement(element);
}

CSVGElement* CSVGXmlScanner::makeElement(const std::wstring& tag)
{
    if (m_elements >= m_maxElements) {
        warnOnce(2, "the text ends at the element limit");
        return nullptr;
    }
    ++m_elements;
    CSVGElement* element = m_document->createElement(tag);
    // The svg class sizes itself as a new drawing's page; an svg element of
    // the text has the size the text gives it, or none, so that the page
    // falls back to the viewBox and the saved file draws as it did.
    if (element && element->getType() == SvgType::Svg) {
        element->removeAttribute(L"width");
        element->removeAttribute(L"height");
    }
    return element;
}

void CSVGXmlScanner::warnOnce(int limit, const char* what)
{
    if (m_warned & limit)
        return;
    m_warned |= limit;
    qWarning("Reading SVG: %s", what);
}

void CSVGXmlScanner::appendElement(CSVGElement* element)
{
    currentParent()->appendChild(element, false, false);
}

// Below kMaxDepth open elements the newest one is the parent; deeper
// elements become its siblings.
CSVGElement* CSVGXmlScanner::currentParent()
{
    if (m_open.size() > kMaxDepth)
        warnOnce(4, "elements nested deeper than the limit hang from its last level");
    return m_open[std::min(m_open.size(), kMaxDepth) - 1].element;
}

void CSVGXmlScanner::close(OpenElement& open)
{
    if (open.textBegin)
        open.element->setText(decodeReferences(open.textBegin, open.textEnd), false);
    open.element->parseContent();
    if (open.element == m_preserve)
        m_preserve = nullptr;
}

bool CSVGXmlScanner::opensMarkup(const wchar_t* p) const
{
    if (*p != L'<')
        return false;
    const wchar_t next = at(p + 1);
    return next != L'\0' && !isSpace(next) && !std::wcschr(L"<>=\"'0123456789", next);
}

const wchar_t* CSVGXmlScanner::skipSpace(const wchar_t* p) const
{
    while (p < m_end && isSpace(*p))
        ++p;
    return p;
}

const wchar_t* CSVGXmlScanner::find(const wchar_t* from, const wchar_t* what) const
{
    for (const wchar_t* p = std::find(from, m_end, what[0]); p < m_end; p = std::find(p + 1, m_end, what[0])) {
        if (startsWith(p, what))
            return p;
    }
    return nullptr;
}

bool CSVGXmlScanner::startsWith(const wchar_t* p, const wchar_t* what) const
{
    for (; *what; ++p, ++what) {
        if (p >= m_end || *p != *what)
            return false;
    }
    return true;
}
