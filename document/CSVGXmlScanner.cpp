#include "CSVGXmlScanner.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <QString>

#include <algorithm>
#include <cwchar>

namespace {

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c < 0xE000;
}

bool isSurrogate(char16_t c)
{
    return c >= 0xD800 && c < 0xE000;
}

// As QString::toStdWString converts: a pair of surrogates is one character,
// a lone one the replacement character. Text without surrogates, nearly all,
// is widened in one plain copy.
void appendWide(std::wstring& out, const char16_t* begin, const char16_t* end)
{
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(end - begin));
    if (std::none_of(begin, end, isSurrogate)) {
        std::copy(begin, end, out.begin() + static_cast<std::ptrdiff_t>(at));
        return;
    }
    wchar_t* to = &out[at];
    for (const char16_t* p = begin; p < end; ++p) {
        const char16_t c = *p;
        if (c < 0xD800 || c >= 0xE000) {
            *to++ = static_cast<wchar_t>(c);
        } else if (isHighSurrogate(c) && p + 1 < end && isLowSurrogate(p[1])) {
            *to++ = static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00));
            ++p;
        } else {
            *to++ = static_cast<wchar_t>(0xFFFD);
        }
    }
    out.resize(static_cast<size_t>(to - out.data()));
}

std::wstring toWide(const char16_t* begin, const char16_t* end)
{
    std::wstring out;
    appendWide(out, begin, end);
    return out;
}

// A numeric reference's value when XML allows that character.
bool isXmlChar(unsigned long c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// The character of "name" in "&name;", 0 for none.
wchar_t referencedChar(const char16_t* name, const char16_t* end)
{
    const std::wstring text = toWide(name, end);
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

std::wstring CSVGXmlScanner::decodeReferences(const char16_t* begin, const char16_t* end)
{
    std::wstring out;
    for (const char16_t* p = begin; p < end; ++p) {
        const char16_t* amp = std::find(p, end, u'&');
        appendWide(out, p, amp);
        if (amp == end)
            break;
        p = amp;
        const char16_t* limit = end - p > kMaxReferenceLength ? p + kMaxReferenceLength : end;
        const char16_t* semicolon = std::find(p + 1, limit, u';');
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
    return scan(QString::fromStdWString(text), parent);
}

bool CSVGXmlScanner::scan(const QString& text, CSVGElement* parent)
{
    if (!parent)
        return false;
    const auto* p = reinterpret_cast<const char16_t*>(text.utf16());
    m_end = std::find(p, p + text.size(), u'\0');
    m_open.assign(1, OpenElement { parent });
    m_preserve = nullptr;
    m_textHasRun = false;
    m_tooDeep = false;
    m_newNames = 0;
    m_elements = 0;
    m_warned = 0;
    m_cutOff = false;
    m_document->setLoading(true);
    // Each element opens with a "<": a bound on the ids that the scan adds.
    m_document->reserveIds(std::min(static_cast<size_t>(std::count(p, m_end, u'<')), m_maxElements));
    while (p) {
        if (!m_preserve) {
            const char16_t* space = p;
            p = skipSpace(p);
            if (p != space && keepsSpaceBefore(p))
                p = space;
        }
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

const char16_t* CSVGXmlScanner::cutOff()
{
    m_cutOff = true;
    return nullptr;
}

// A text or tspan keeps each run as a text-content node of its own, beside
// its tspans. The document itself keeps its last run, which is never written.
const char16_t* CSVGXmlScanner::readText(const char16_t* p)
{
    const char16_t* lt = p;
    do
        lt = std::find(lt + 1, m_end, u'<');
    while (lt < m_end && !opensMarkup(lt));
    if (lt >= m_end)
        return nullptr;
    m_textHasRun = true;
    OpenElement& open = m_open.back();
    const int type = open.element->getType();
    if (type == SvgType::Text || type == SvgType::Tspan) {
        CSVGElement* node = makeElement(L"textcontent");
        if (!node)
            return nullptr;
        open.element->appendChild(node, false, false);
        node->setText(decodeReferences(p, lt), false);
    } else if (open.element->getChildCount() == 0 || type == SvgType::Document) {
        open.textBegin = p;
        open.textEnd = lt;
    } else if (!appendRun(open.element, decodeReferences(p, lt))) {
        return nullptr;
    }
    return lt;
}

// "]]>" cannot stand inside a section: a run holding it is cut after the
// "]]", into sections that read back as the run.
bool CSVGXmlScanner::appendRun(CSVGElement* element, const std::wstring& run)
{
    size_t begin = 0;
    while (begin < run.size()) {
        const size_t close = run.find(L"]]>", begin);
        const size_t end = close == std::wstring::npos ? run.size() : close + 2;
        CSVGElement* section = makeElement(L"[CDATA[");
        if (!section)
            return false;
        section->setText(L"<![CDATA[" + run.substr(begin, end - begin) + L"]]>", false);
        element->appendChild(section, false, false);
        begin = end;
    }
    return true;
}

// Inside a text, white space after a run and before the next one (character
// data or an element) separates them; at the text's start or before an end
// tag it is layout of the file.
bool CSVGXmlScanner::keepsSpaceBefore(const char16_t* p) const
{
    const OpenElement& open = m_open.back();
    if (!m_textHasRun || p >= m_end || !(open.inText || open.element->getType() == SvgType::Tspan))
        return false;
    return !opensMarkup(p) || (p[1] != u'/' && p[1] != u'?' && p[1] != u'!');
}

// The name in an end tag is not compared with the open element; a stray end
// tag never closes the element that the scan started under.
const char16_t* CSVGXmlScanner::readEndTag(const char16_t* p)
{
    const char16_t* gt = std::find(p + 2, m_end, u'>');
    if (m_open.size() > 1) {
        close(m_open.back());
        m_open.pop_back();
    }
    return gt < m_end ? gt + 1 : m_end;
}

const char16_t* CSVGXmlScanner::readDeclaration(const char16_t* p)
{
    const char16_t* end = find(p + 2, u"?>");
    if (!end)
        return cutOff();
    appendMarkup(L"comment_node", p, end + 2);
    return end + 2;
}

// Comments, CDATA sections and the doctype (with its internal subset) keep
// their text; any other "<!" construct becomes a comment node, which is
// written back as it stands.
const char16_t* CSVGXmlScanner::readBang(const char16_t* p)
{
    if (startsWith(p, u"<!--")) {
        const char16_t* end = find(p + 4, u"-->");
        if (!end)
            return cutOff();
        appendMarkup(L"comment_node", p, end + 3);
        return end + 3;
    }
    if (startsWith(p, u"<![CDATA[")) {
        const char16_t* end = find(p + 9, u"]]>");
        if (!end)
            return cutOff();
        appendMarkup(L"[CDATA[", p, end + 3);
        return end + 3;
    }
    const bool doctype = startsWith(p, u"<!DOCTYPE");
    const char16_t* gt = std::find(p + 2, m_end, u'>');
    const char16_t* subset = doctype ? std::find(p + 2, gt, u'[') : gt;
    if (subset < gt) {
        const char16_t* close = std::find(subset, m_end, u']');
        gt = std::find(close, m_end, u'>');
    }
    if (gt >= m_end)
        return cutOff();
    appendMarkup(doctype ? L"DOCTYPE" : L"comment_node", p, gt + 1);
    return gt + 1;
}

const char16_t* CSVGXmlScanner::readStartTag(const char16_t* p)
{
    if (m_open.size() > kMaxDepth) {
        m_tooDeep = true;
        warnOnce(4, "an element nested deeper than the limit ends the text");
        return nullptr;
    }
    const char16_t* nameEnd = p + 1;
    while (nameEnd < m_end && !isSpace(*nameEnd) && *nameEnd != u'/' && *nameEnd != u'>')
        ++nameEnd;
    if (nameEnd >= m_end)
        return cutOff();
    CSVGElement* element = makeElement(toWide(p + 1, nameEnd));
    if (!element)
        return nullptr;
    appendElement(element);
    bool opened = false;
    const char16_t* next = readAttributes(nameEnd, element, opened);
    if (!opened)
        return next;
    const bool text = element->getType() == SvgType::Text;
    m_open.push_back(OpenElement { element, text || m_open.back().inText });
    if (text)
        m_textHasRun = false;
    if (!m_preserve && element->getType() == SvgType::Text && element->getAttribute(L"xml:space") == L"preserve")
        m_preserve = element;
    return next;
}

const char16_t* CSVGXmlScanner::readAttributes(const char16_t* p, CSVGElement* element, bool& opened)
{
    for (;;) {
        p = skipSpace(p);
        if (p >= m_end)
            return cutOff();
        if (*p == u'>') {
            opened = true;
            return p + 1;
        }
        if (startsWith(p, u"/>"))
            return p + 2;
        const char16_t* nameBegin = p;
        while (p < m_end && !isSpace(*p) && *p != u'=' && *p != u'>' && !startsWith(p, u"/>"))
            ++p;
        const char16_t* nameEnd = p;
        p = skipSpace(p);
        if (at(p) != u'=')
            continue;
        p = skipSpace(p + 1);
        const char16_t quote = at(p);
        if (quote == u'"' || quote == u'\'') {
            const char16_t* close = std::find(p + 1, m_end, quote);
            if (close >= m_end) {
                setAttribute(element, nameBegin, nameEnd, std::wstring());
                return cutOff();
            }
            setAttribute(element, nameBegin, nameEnd, decodeReferences(p + 1, close));
            p = close + 1;
            continue;
        }
        const char16_t* valueBegin = p;
        while (p < m_end && !isSpace(*p) && *p != u'>' && !startsWith(p, u"/>"))
            ++p;
        setAttribute(element, nameBegin, nameEnd, decodeReferences(valueBegin, p));
    }
}

// Names the table already knows cost nothing; new ones come out of the
// scan's budget.
void CSVGXmlScanner::setAttribute(
    CSVGElement* element, const char16_t* nameBegin, const char16_t* nameEnd, std::wstring value)
{
    if (nameBegin == nameEnd)
        return;
    const std::wstring name = toWide(nameBegin, nameEnd);
    if (g_config.findAttributeId(name) < 0) {
        if (m_newNames >= kNewAttributeNames || name.size() > kMaxAttributeNameLength) {
            warnOnce(1, "new attribute names beyond the limit of one file are left out");
            return;
        }
        ++m_newNames;
    }
    element->setAttribute(name, value, false);
    if (value.empty())
        element->setKeepsEmptyValues(true);
}

void CSVGXmlScanner::appendMarkup(const wchar_t* tag, const char16_t* begin, const char16_t* end)
{
    CSVGElement* element = makeElement(tag);
    if (!element)
        return;
    element->setText(toWide(begin, end), false);
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
    m_open.back().element->appendChild(element, false, false);
}

void CSVGXmlScanner::close(OpenElement& open)
{
    if (open.textBegin)
        open.element->setText(decodeReferences(open.textBegin, open.textEnd), false);
    open.element->parseContent();
    if (open.element == m_preserve)
        m_preserve = nullptr;
}

bool CSVGXmlScanner::opensMarkup(const char16_t* p) const
{
    if (*p != u'<')
        return false;
    const char16_t next = at(p + 1);
    return next != u'\0' && !isSpace(next) && !std::char_traits<char16_t>::find(u"<>=\"'0123456789", 15, next);
}

const char16_t* CSVGXmlScanner::skipSpace(const char16_t* p) const
{
    while (p < m_end && isSpace(*p))
        ++p;
    return p;
}

const char16_t* CSVGXmlScanner::find(const char16_t* from, const char16_t* what) const
{
    for (const char16_t* p = std::find(from, m_end, what[0]); p < m_end; p = std::find(p + 1, m_end, what[0])) {
        if (startsWith(p, what))
            return p;
    }
    return nullptr;
}

bool CSVGXmlScanner::startsWith(const char16_t* p, const char16_t* what) const
{
    for (; *what; ++p, ++what) {
        if (p >= m_end || *p != *what)
            return false;
    }
    return true;
}
