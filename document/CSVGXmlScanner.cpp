#include "CSVGXmlScanner.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGXmlNode.h"
#include "SvgCodes.h"
#include "SvgTextCodec.h"
#include "WideSteps.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <set>

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
    // The copy and the look for surrogates in one pass.
    wchar_t* to = &out[at];
    if (!WideSteps::copyFlagging(begin, end, to, [](char16_t c) { return isSurrogate(c) ? 1u : 0u; }))
        return;
    to = &out[at];
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

// Qt's search looks at many characters a step: the long runs of a large
// file (attribute values, the text up to its end) are passed far faster.
const char16_t* findChar(const char16_t* p, const char16_t* end, char16_t c)
{
    if (p >= end)
        return end;
    const qsizetype at = QStringView(p, end - p).indexOf(QChar(c));
    return at < 0 ? end : p + at;
}

using Ns = CSVGXmlNode;

// A character that may start a tag: XML's name start characters, all
// characters beyond ASCII among them (the tag makes them a name).
bool startsName(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}

} // namespace

// The names that the writer gives every root are the table's from the first
// scan on, ahead of any that a file brings: a save's attributes come in the
// same order in every program that reads it.
CSVGXmlScanner::CSVGXmlScanner(CSVGDocument* document, size_t maxElements)
    : m_document(document)
    , m_maxElements(maxElements)
{
    g_config.getAttributeId(L"version");
    g_config.getAttributeId(L"custom_positions");
}

// Text without references, nearly all, is widened in one go.
std::wstring CSVGXmlScanner::decode(const char16_t* begin, const char16_t* end)
{
    std::wstring out;
    appendDecoded(out, begin, end);
    return out;
}

// A reference that is not well formed, names no entity or a character that
// XML does not allow stays as written.
void CSVGXmlScanner::appendDecoded(std::wstring& out, const char16_t* begin, const char16_t* end)
{
    for (const char16_t* p = begin; p < end; ++p) {
        const char16_t* amp = findChar(p, end, u'&');
        appendWide(out, p, amp);
        if (amp == end)
            break;
        p = amp;
        const char16_t* semicolon = CSVGEntityTable::referenceEnd(amp, end);
        const char32_t c = semicolon == end ? 0 : CSVGEntityTable::characterReference(amp + 1, semicolon);
        if (c != 0) {
            out += static_cast<wchar_t>(c);
            p = semicolon;
            continue;
        }
        const CSVGEntityTable::Entity* entity = semicolon == end ? nullptr : m_entities.find(amp + 1, semicolon);
        if (!entity || !enterEntity(*entity)) {
            out += L'&';
            continue;
        }
        appendDecoded(out, entity->text.data(), entity->text.data() + entity->text.size());
        leaveEntity();
        p = semicolon;
    }
}

bool CSVGXmlScanner::enterEntity(const CSVGEntityTable::Entity& entity)
{
    const bool recursive = std::find(m_expanding.begin(), m_expanding.end(), &entity) != m_expanding.end();
    if (!spendOnEntities(recursive || m_expanding.size() >= kMaxEntityDepth ? SIZE_MAX : entity.text.size()))
        return false;
    m_expanding.push_back(&entity);
    return true;
}

bool CSVGXmlScanner::spendOnEntities(size_t characters)
{
    m_entityCharacters += std::min(characters, kMaxEntityCharacters + 1);
    if (m_entityCharacters <= kMaxEntityCharacters)
        return true;
    m_entityLimit = true;
    warnOnce(8, "entities that expand beyond the limit end the text");
    return false;
}

void CSVGXmlScanner::leaveEntity()
{
    m_expanding.pop_back();
}

bool CSVGXmlScanner::scan(const std::wstring& text, CSVGElement* parent)
{
    return scan(QString::fromStdWString(text), parent);
}

// A text without carriage returns (every decoded file) is read as it is,
// without a copy.
bool CSVGXmlScanner::scan(const QString& text, CSVGElement* parent)
{
    if (!parent)
        return false;
    QString normalized;
    if (text.contains(QLatin1Char('\r'))) {
        normalized = text;
        SvgTextCodec::normalizeLineEnds(normalized);
    }
    const QString& read = normalized.isNull() ? text : normalized;
    const auto* p = reinterpret_cast<const char16_t*>(read.utf16());
    m_begin = p;
    m_end = findChar(p, p + read.size(), u'\0');
    m_open.assign(1, OpenElement { parent });
    m_bindings.clear();
    m_innermost.clear();
    m_readingRoot = false;
    m_preserve = nullptr;
    m_textHasRun = false;
    m_tooDeep = false;
    m_newNames = 0;
    m_leftOutNames.clear();
    m_moreLeftOut = false;
    m_rootMet = false;
    m_afterRoot = false;
    m_writersOwn.clear();
    m_elements = 0;
    m_elementLimit = false;
    m_warned = 0;
    m_cutOff = false;
    m_entities = CSVGEntityTable();
    m_doctypeRead = false;
    m_expanding.clear();
    m_entityCharacters = 0;
    m_entityElements = 0;
    m_entityLimit = false;
    m_entityElementLimit = false;
    m_document->setLoading(true);
    // Each element opens with a "<": a bound on the ids that the scan adds.
    m_document->reserveIds(
        std::min(WideSteps::count(p, m_end, [](char16_t c) { return c == u'<' ? 1u : 0u; }), m_maxElements));
    scanRange(p);
    const bool complete = !m_cutOff && !m_elementLimit && !m_entityLimit && m_open.size() == 1;
    // Unclosed elements stay in the tree and still take their content.
    while (m_open.size() > 1)
        closeLast();
    storeWritersOwn();
    m_open.clear();
    m_bindings.clear();
    m_innermost.clear();
    m_document->setLoading(false);
    return complete;
}

bool CSVGXmlScanner::scanRange(const char16_t* p)
{
    while (p && !m_entityLimit) {
        if (!m_preserve) {
            const char16_t* space = p;
            p = skipSpace(p);
            if (p != space && keepsSpaceBefore(p))
                p = space;
        }
        if (p >= m_end)
            return true;
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
    return false;
}

const char16_t* CSVGXmlScanner::cutOff()
{
    m_cutOff = true;
    return nullptr;
}

// Character data up to the next markup, or up to an entity that holds
// markup, which is read in its place. A file's text that ends without markup
// after it (cut off, or at a NUL character) ends the scan; the element that
// it stands in keeps it, and the document drops what follows its root.
const char16_t* CSVGXmlScanner::readText(const char16_t* p)
{
    const CSVGEntityTable::Entity* entity = nullptr;
    const char16_t* semicolon = nullptr;
    const char16_t* end = runEnd(p, entity, semicolon);
    if (entity) {
        if (end > p && !takeRun(p, end))
            return nullptr;
        return scanEntity(*entity) ? semicolon + 1 : nullptr;
    }
    const bool taken = takeRun(p, end);
    return taken && (end < m_end || !m_expanding.empty()) ? end : nullptr;
}

// A text or tspan keeps each run as a text-content node of its own, beside
// its tspans.
bool CSVGXmlScanner::takeRun(const char16_t* p, const char16_t* end)
{
    m_textHasRun = true;
    OpenElement& open = m_open.back();
    const int type = open.element->getType();
    if (type == SvgType::Text || type == SvgType::Tspan) {
        CSVGElement* node = makeElement(L"textcontent");
        if (!node)
            return false;
        open.element->appendChild(node, false, false);
        node->setText(decode(p, end), false);
    } else if (type == SvgType::Document) {
        // Outside the root: no element holds it, nothing writes it. Before
        // the root it is a stray mark; after it, part of what is left out.
        m_afterRoot = m_afterRoot || m_rootMet;
    } else if (open.element->getChildCount() == 0) {
        // Runs meet without markup between them only at an entity's edge:
        // they are one run.
        appendDecoded(open.text, p, end);
    } else if (!appendRun(open.element, decode(p, end))) {
        return false;
    }
    return true;
}

// The run ends where the reading goes on after it: each character of the
// text is looked at once, however many entities it uses.
const char16_t* CSVGXmlScanner::runEnd(
    const char16_t* p, const CSVGEntityTable::Entity*& entity, const char16_t*& semicolon) const
{
    const bool entities = !m_entities.isEmpty();
    const auto stops = [entities](char16_t c) { return c == u'<' || (entities && c == u'&'); };
    for (const char16_t* q = std::find_if(p, m_end, stops); q < m_end; q = std::find_if(q + 1, m_end, stops)) {
        if (*q == u'<') {
            if (opensMarkup(q))
                return q;
            continue;
        }
        semicolon = CSVGEntityTable::referenceEnd(q, m_end);
        const CSVGEntityTable::Entity* used = semicolon == m_end ? nullptr : m_entities.find(q + 1, semicolon);
        if (used && used->holdsMarkup) {
            entity = used;
            return q;
        }
    }
    return m_end;
}

// The entity's text stays where the table holds it: runs and elements read
// from it may point into it until the scan ends.
bool CSVGXmlScanner::scanEntity(const CSVGEntityTable::Entity& entity)
{
    if (!enterEntity(entity))
        return false;
    const char16_t* end = m_end;
    m_end = entity.text.data() + entity.text.size();
    const bool going = scanRange(entity.text.data());
    m_end = end;
    leaveEntity();
    return going;
}

// "]]>" cannot stand inside a section: a run holding it is cut after the
// "]]", into sections that read back as the run. A carriage return (from
// "&#13;") would read back as a line feed: it is one from the start.
bool CSVGXmlScanner::appendRun(CSVGElement* element, std::wstring run)
{
    std::replace(run.begin(), run.end(), L'\r', L'\n');
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
    const char16_t* gt = findChar(p + 2, m_end, u'>');
    if (m_open.size() > 1)
        closeLast();
    return gt < m_end ? gt + 1 : m_end;
}

const char16_t* CSVGXmlScanner::readDeclaration(const char16_t* p)
{
    const char16_t* end = find(p + 2, u"?>");
    if (!end)
        return cutOff();
    const size_t counted = m_elements;
    appendMarkup(L"comment_node", p, end + 2);
    if (p == m_begin && startsWith(p, u"<?xml") && isSpace(at(p + 5)))
        m_elements = counted;
    return end + 2;
}

// Comments, CDATA sections and the doctype (with its internal subset) keep
// their text; any other "<!" construct becomes a comment node.
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
    if (startsWith(p, u"<!DOCTYPE"))
        return readDoctype(p);
    const char16_t* gt = findChar(p + 2, m_end, u'>');
    if (gt >= m_end)
        return cutOff();
    appendMarkup(L"comment_node", p, gt + 1);
    return gt + 1;
}

// The entities of the first declaration are the text's; a later one is
// only passed over.
const char16_t* CSVGXmlScanner::readDoctype(const char16_t* p)
{
    CSVGEntityTable later;
    const char16_t* end = (m_doctypeRead ? later : m_entities).readDoctype(p, m_end);
    m_doctypeRead = true;
    if (!end)
        return cutOff();
    appendMarkup(L"DOCTYPE", p, end);
    return end;
}

// The attributes are read before the element is made: a namespace prefix
// that the tag shares with one of them decides the element's kind.
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
    bool opened = false;
    const char16_t* next = readAttributes(nameEnd, opened);
    if (m_entityLimit)
        return nullptr;
    bindDeclarations();
    const std::wstring name = toWide(p + 1, nameEnd);
    const size_t colon = name.find(L':');
    const bool wholeFile = m_open.size() == 1 && m_open[0].element->getType() == SvgType::Document;
    m_readingRoot
        = wholeFile && name.compare(colon == std::wstring::npos ? 0 : colon + 1, std::wstring::npos, L"svg") == 0;
    m_afterRoot = m_afterRoot || (wholeFile && m_rootMet);
    m_rootMet = m_rootMet || wholeFile;
    dropRepeatedAttributes();
    CSVGElement* element = makeElement(elementTag(name));
    if (element) {
        appendElement(element);
        // A tref draws the text it refers to: white space after it
        // separates that text from the next run, as after a tspan.
        if (m_open.back().inText && element->getTagName() == L"tref")
            m_textHasRun = true;
        for (const Attribute& attribute : m_attributes)
            setAttribute(element, attribute);
    }
    if (element && opened)
        openElement(element);
    else
        unbindFrom(m_open.size());
    return element ? next : nullptr;
}

void CSVGXmlScanner::bindDeclarations()
{
    for (const Attribute& attribute : m_attributes) {
        if (attribute.name != L"xmlns" && attribute.name.compare(0, 6, L"xmlns:") != 0)
            continue;
        const std::wstring prefix = attribute.name.size() > 6 ? attribute.name.substr(6) : std::wstring();
        const auto inserted = m_innermost.emplace(prefix, m_bindings.size());
        const size_t shadowed = inserted.second ? kNone : inserted.first->second;
        inserted.first->second = m_bindings.size();
        m_bindings.push_back(Binding { m_open.size(), prefix, attribute.value, shadowed });
    }
}

void CSVGXmlScanner::unbindFrom(size_t level)
{
    while (!m_bindings.empty() && m_bindings.back().level >= level) {
        const Binding& binding = m_bindings.back();
        if (binding.shadowed == kNone)
            m_innermost.erase(binding.prefix);
        else
            m_innermost[binding.prefix] = binding.shadowed;
        m_bindings.pop_back();
    }
}

void CSVGXmlScanner::openElement(CSVGElement* element)
{
    const int type = element->getType();
    m_open.push_back(OpenElement { element, type == SvgType::Text || m_open.back().inText });
    if (type == SvgType::Text)
        m_textHasRun = false;
    if (!m_preserve && (type == SvgType::Text || type == SvgType::Tspan)
        && element->getAttribute(L"xml:space") == L"preserve")
        m_preserve = element;
}

// The prefix goes only where the tag without it still names an SVG element
// for any XML reader: where no other default namespace is declared.
std::wstring CSVGXmlScanner::elementTag(const std::wstring& name) const
{
    std::wstring tag = CSVGXmlNode::toName(name);
    const size_t colon = tag.find(L':');
    if (colon == std::wstring::npos)
        return tag;
    // No element may have the prefix of namespace declarations.
    if (tag.compare(0, colon, L"xmlns") == 0)
        tag[colon] = L'_';
    const std::wstring local = tag.substr(colon + 1);
    const bool svg = namespaceName(tag.substr(0, colon)) == Ns::kSvgNamespace
        && namespaceName(std::wstring()) == Ns::kSvgNamespace;
    return svg && CSVGXmlNode::isName(local, false) ? local : tag;
}

// As the element itself declares it, or the nearest open element that
// does; else as the writer declares it on the root. The writer gives the
// root its own declarations of the default namespace and of the prefixes it
// knows, whatever the file declared there: those are read as written, so
// that a saved file reads back as it was read.
std::wstring CSVGXmlScanner::namespaceName(const std::wstring& prefix) const
{
    const auto bound = m_innermost.find(prefix);
    if (bound == m_innermost.end())
        return writtenNamespace(prefix);
    const Binding& binding = m_bindings[bound->second];
    const bool rootsOwn = prefix.empty() || (prefix != L"xml" && CSVGDocument::isKnownPrefix(prefix));
    const bool onRoot = binding.level == m_open.size() ? m_readingRoot : binding.level == 1 && isRootOpen();
    return rootsOwn && onRoot ? writtenNamespace(prefix) : binding.name;
}

std::wstring CSVGXmlScanner::writtenNamespace(const std::wstring& prefix)
{
    if (prefix.empty())
        return Ns::kSvgNamespace;
    return prefix == L"xml" ? Ns::kXmlNamespace : CSVGDocument::prefixNamespace(prefix);
}

// The root opened by a whole file's scan.
bool CSVGXmlScanner::isRootOpen() const
{
    return m_open.size() > 1 && m_open[0].element->getType() == SvgType::Document
        && m_open[1].element->getType() == SvgType::Svg;
}

void CSVGXmlScanner::dropRepeatedAttributes()
{
    const auto prefixed = [](const Attribute& attribute) {
        const size_t colon = attribute.name.find(L':');
        return colon != std::wstring::npos && attribute.name.compare(0, colon, L"xmlns") != 0;
    };
    if (std::count_if(m_attributes.begin(), m_attributes.end(), prefixed) < 2)
        return;
    std::set<std::wstring> names;
    std::vector<Attribute> kept;
    for (auto attribute = m_attributes.rbegin(); attribute != m_attributes.rend(); ++attribute) {
        if (prefixed(*attribute)) {
            const size_t colon = attribute->name.find(L':');
            const std::wstring local = attribute->name.substr(colon + 1);
            if (!names.insert(namespaceName(attribute->name.substr(0, colon)) + L' ' + local).second)
                continue;
        }
        kept.push_back(std::move(*attribute));
    }
    m_attributes.assign(std::make_move_iterator(kept.rbegin()), std::make_move_iterator(kept.rend()));
}

const char16_t* CSVGXmlScanner::readAttributes(const char16_t* p, bool& opened)
{
    m_attributes.clear();
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
            const char16_t* close = findChar(p + 1, m_end, quote);
            if (close >= m_end) {
                addAttribute(nameBegin, nameEnd, std::wstring());
                return cutOff();
            }
            addAttribute(nameBegin, nameEnd, decode(p + 1, close));
            p = close + 1;
            continue;
        }
        const char16_t* valueBegin = p;
        while (p < m_end && !isSpace(*p) && *p != u'>' && !startsWith(p, u"/>"))
            ++p;
        addAttribute(nameBegin, nameEnd, decode(valueBegin, p));
    }
}

// A name that is none, and a namespace declaration that XML namespaces
// forbid, would make the saved file no XML: they are dropped.
void CSVGXmlScanner::addAttribute(const char16_t* nameBegin, const char16_t* nameEnd, std::wstring value)
{
    std::wstring name = toWide(nameBegin, nameEnd);
    if (CSVGXmlNode::isName(name) && isAllowedDeclaration(name, value))
        m_attributes.push_back(Attribute { std::move(name), std::move(value) });
}

// The prefix "xml" is bound to its namespace alone and "xmlns" to none; no
// other prefix is bound to either namespace, nor undeclared.
bool CSVGXmlScanner::isAllowedDeclaration(const std::wstring& name, const std::wstring& value)
{
    if (name.compare(0, 6, L"xmlns:") != 0)
        return name != L"xmlns" || (value != Ns::kXmlNamespace && value != Ns::kXmlnsNamespace);
    const std::wstring prefix = name.substr(6);
    if (prefix == L"xml")
        return value == Ns::kXmlNamespace;
    return prefix != L"xmlns" && !value.empty() && value != Ns::kXmlNamespace && value != Ns::kXmlnsNamespace;
}

// The attributes that the writer gives the root of every save are set once
// the file's own are: the file's names have the budget first, so that a
// save reads back with what was read, whatever the writer added.
void CSVGXmlScanner::setAttribute(CSVGElement* element, const Attribute& attribute)
{
    if (isWritersOwn(attribute))
        m_writersOwn.push_back(std::make_pair(element, attribute));
    else
        storeAttribute(element, attribute, true);
}

// Names the table already knows cost nothing; new ones come out of the
// scan's budget.
void CSVGXmlScanner::storeAttribute(CSVGElement* element, const Attribute& attribute, bool tell)
{
    if (g_config.findAttributeId(attribute.name) < 0) {
        if (m_newNames >= kNewAttributeNames || attribute.name.size() > kMaxAttributeNameLength) {
            if (tell)
                tellLeftOut(attribute.name);
            return;
        }
        ++m_newNames;
    }
    element->setAttribute(attribute.name, attribute.value, false);
    if (attribute.value.empty())
        element->setKeepsEmptyValues(true);
}

// Its version and custom positions, and its declarations of prefixes as the
// writer makes them: without them the prefixes read the same, and each save
// declares them again where they are used. So they are left out quietly
// beyond the budget (a save of a drawing of many prefixes holds many).
bool CSVGXmlScanner::isWritersOwn(const Attribute& attribute) const
{
    if (!m_readingRoot)
        return false;
    if (attribute.name == L"version" || attribute.name == L"custom_positions")
        return true;
    if (attribute.name.compare(0, 6, L"xmlns:") != 0)
        return false;
    const std::wstring written = CSVGDocument::prefixNamespace(attribute.name.substr(6));
    return !written.empty() && attribute.value == written;
}

void CSVGXmlScanner::tellLeftOut(const std::wstring& name)
{
    warnOnce(1, "new attribute names beyond the limit of one file are left out");
    if (std::find(m_leftOutNames.begin(), m_leftOutNames.end(), name) != m_leftOutNames.end())
        return;
    if (m_leftOutNames.size() < kListedNames)
        m_leftOutNames.push_back(name);
    else
        m_moreLeftOut = true;
}

void CSVGXmlScanner::storeWritersOwn()
{
    for (const auto& own : m_writersOwn)
        storeAttribute(own.first, own.second, false);
    m_writersOwn.clear();
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
        m_elementLimit = true;
        warnOnce(2, "the text ends at the element limit");
        return nullptr;
    }
    if (!m_expanding.empty() && ++m_entityElements > kMaxEntityElements) {
        m_entityLimit = m_entityElementLimit = true;
        warnOnce(16, "entities that make elements beyond the limit end the text");
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

void CSVGXmlScanner::closeLast()
{
    const OpenElement& open = m_open.back();
    if (!open.text.empty())
        open.element->setText(open.text, false);
    open.element->parseContent();
    if (open.element == m_preserve)
        m_preserve = nullptr;
    m_open.pop_back();
    unbindFrom(m_open.size());
}

bool CSVGXmlScanner::opensMarkup(const char16_t* p) const
{
    if (*p != u'<')
        return false;
    const char16_t next = at(p + 1);
    return next == u'/' || next == u'?' || next == u'!' || startsName(next);
}

const char16_t* CSVGXmlScanner::skipSpace(const char16_t* p) const
{
    while (p < m_end && isSpace(*p))
        ++p;
    return p;
}

const char16_t* CSVGXmlScanner::find(const char16_t* from, const char16_t* what) const
{
    for (const char16_t* p = findChar(from, m_end, what[0]); p < m_end; p = findChar(p + 1, m_end, what[0])) {
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
