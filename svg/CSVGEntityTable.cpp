#include "CSVGEntityTable.h"

#include "CSVGXmlNode.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace {

bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isQuote(char16_t c)
{
    return c == u'"' || c == u'\'';
}

bool startsWith(const char16_t* p, const char16_t* end, const char16_t* what)
{
    for (; *what; ++p, ++what) {
        if (p >= end || *p != *what)
            return false;
    }
    return true;
}

// The position after the text that ends a construct; null when the text
// ends first.
const char16_t* pastText(const char16_t* p, const char16_t* end, const char16_t* what)
{
    for (; p < end; ++p) {
        if (startsWith(p, end, what))
            return p + std::char_traits<char16_t>::length(what);
    }
    return nullptr;
}

// The position after the ">" that ends a declaration, quoted literals passed
// over whole; null when the text ends first.
const char16_t* pastDeclaration(const char16_t* p, const char16_t* end)
{
    while (p < end) {
        if (isQuote(*p)) {
            p = std::find(p + 1, end, *p);
            if (p == end)
                return nullptr;
        } else if (*p == u'>') {
            return p + 1;
        }
        ++p;
    }
    return nullptr;
}

void appendCode(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
}

// A character of an entity name or of a character reference ("#", "x" and
// digits); every character beyond ASCII may stand in a name.
bool isReferenceChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u':'
        || c == u'-' || c == u'.' || c == u'#' || c >= 0x80;
}

// Each "&name;" of the text, in order.
template <typename Visit> void forEachReference(const std::u16string& text, Visit visit)
{
    const char16_t* end = text.data() + text.size();
    for (const char16_t* amp = std::find(text.data(), end, u'&'); amp < end; amp = std::find(amp + 1, end, u'&')) {
        const char16_t* semicolon = CSVGEntityTable::referenceEnd(amp, end);
        if (semicolon < end)
            visit(amp + 1, semicolon);
    }
}

} // namespace

const char16_t* CSVGEntityTable::readDoctype(const char16_t* p, const char16_t* end)
{
    p += std::char_traits<char16_t>::length(u"<!DOCTYPE");
    while (p && p < end) {
        if (isQuote(*p)) {
            p = std::find(p + 1, end, *p);
            p = p == end ? nullptr : p + 1;
        } else if (*p == u'[') {
            p = readSubset(p + 1, end);
        } else if (*p == u'>') {
            markMarkup();
            return p + 1;
        } else {
            ++p;
        }
    }
    return nullptr;
}

// White space, parameter entity references and stray characters between
// the declarations are passed over.
const char16_t* CSVGEntityTable::readSubset(const char16_t* p, const char16_t* end)
{
    while (p && p < end) {
        if (*p == u']')
            return p + 1;
        if (startsWith(p, end, u"<!--"))
            p = pastText(p + 4, end, u"-->");
        else if (startsWith(p, end, u"<?"))
            p = pastText(p + 2, end, u"?>");
        else if (startsWith(p, end, u"<!ENTITY"))
            p = readEntity(p + 8, end);
        else if (*p == u'<')
            p = pastDeclaration(p + 1, end);
        else
            ++p;
    }
    return nullptr;
}

// <!ENTITY name "value">; "<!ENTITY % name" declares a parameter entity and
// an external identifier instead of the value an external one: both are
// passed over.
const char16_t* CSVGEntityTable::readEntity(const char16_t* p, const char16_t* end)
{
    while (p < end && isSpace(*p))
        ++p;
    const bool parameter = p < end && *p == u'%';
    const char16_t* name = p;
    while (p < end && !isSpace(*p) && !isQuote(*p) && *p != u'>')
        ++p;
    const char16_t* nameEnd = p;
    while (p < end && isSpace(*p))
        ++p;
    if (p < end && isQuote(*p)) {
        const char16_t* close = std::find(p + 1, end, *p);
        if (close == end)
            return nullptr;
        if (!parameter)
            declare(name, nameEnd, p + 1, close);
        p = close + 1;
    }
    return pastDeclaration(p, end);
}

// Names that XML namespaces cannot read (with a colon) are not declared.
void CSVGEntityTable::declare(
    const char16_t* name, const char16_t* nameEnd, const char16_t* value, const char16_t* valueEnd)
{
    std::u16string key(name, nameEnd);
    const std::wstring wideName = QString::fromUtf16(key.data(), int(key.size())).toStdWString();
    if (!CSVGXmlNode::isName(wideName, false) || characterReference(name, nameEnd) != 0 || m_byName.count(key) > 0)
        return;
    Entity entity { key, std::u16string(), false };
    for (const char16_t* p = value; p < valueEnd; ++p) {
        const char16_t* semicolon = *p == u'&' ? referenceEnd(p, valueEnd) : valueEnd;
        const bool numeric = semicolon < valueEnd && p[1] == u'#';
        const char32_t c = numeric ? characterReference(p + 1, semicolon) : 0;
        if (c == 0) {
            entity.text += *p;
            continue;
        }
        appendCode(entity.text, c);
        p = semicolon;
    }
    m_entities.push_back(std::move(entity));
    m_byName.emplace(std::move(key), &m_entities.back());
}

// An entity holds markup when its text has a "<" or when it uses one that
// does: the mark travels from each such entity to those that use it.
void CSVGEntityTable::markMarkup()
{
    std::map<const Entity*, std::vector<Entity*>> users;
    std::vector<Entity*> marked;
    for (Entity& entity : m_entities) {
        if (entity.text.find(u'<') != std::u16string::npos) {
            entity.holdsMarkup = true;
            marked.push_back(&entity);
        }
        forEachReference(entity.text, [this, &users, &entity](const char16_t* name, const char16_t* nameEnd) {
            if (const Entity* used = find(name, nameEnd))
                users[used].push_back(&entity);
        });
    }
    while (!marked.empty()) {
        const Entity* entity = marked.back();
        marked.pop_back();
        for (Entity* user : users[entity]) {
            if (!user->holdsMarkup) {
                user->holdsMarkup = true;
                marked.push_back(user);
            }
        }
    }
}

const CSVGEntityTable::Entity* CSVGEntityTable::find(const char16_t* name, const char16_t* nameEnd) const
{
    if (m_byName.empty())
        return nullptr;
    const auto found = m_byName.find(std::u16string(name, nameEnd));
    return found == m_byName.end() ? nullptr : found->second;
}

// In a literal value "&" would start a reference, "%" a parameter entity
// reference and '"' would end it: as character references they are the
// characters themselves. So is a carriage return, which the reader would
// read as a line feed.
std::wstring CSVGEntityTable::toDoctype() const
{
    if (m_entities.empty())
        return std::wstring();
    std::wstring out = L"<!DOCTYPE svg [\n";
    for (const Entity& entity : m_entities) {
        out += L"<!ENTITY ";
        out += QString::fromUtf16(entity.name.data(), int(entity.name.size())).toStdWString();
        out += L" \"";
        std::wstring value;
        CSVGXmlNode::appendXmlChars(
            value, QString::fromUtf16(entity.text.data(), int(entity.text.size())).toStdWString());
        for (const wchar_t c : value) {
            if (c == L'&' || c == L'%' || c == L'"' || c == L'\r')
                out += L"&#" + std::to_wstring(int(c)) + L';';
            else
                out += c;
        }
        out += L"\">\n";
    }
    out += L"]>";
    return out;
}

// The search stops at the first character that no name holds, "&" among
// them: finding every reference of a text reads each character once,
// however long the names.
const char16_t* CSVGEntityTable::referenceEnd(const char16_t* amp, const char16_t* end)
{
    const char16_t* semicolon = std::find_if_not(amp + 1, end, isReferenceChar);
    return semicolon < end && *semicolon == u';' ? semicolon : end;
}

char32_t CSVGEntityTable::characterReference(const char16_t* name, const char16_t* nameEnd)
{
    const std::u16string text(name, nameEnd);
    if (text == u"lt")
        return U'<';
    if (text == u"gt")
        return U'>';
    if (text == u"amp")
        return U'&';
    if (text == u"quot")
        return U'"';
    if (text == u"apos")
        return U'\'';
    if (text.size() < 2 || text[0] != u'#')
        return 0;
    const bool hex = text[1] == u'x';
    const size_t digits = hex ? 2 : 1;
    if (text.size() <= digits)
        return 0;
    char32_t value = 0;
    for (size_t i = digits; i < text.size(); ++i) {
        const char16_t c = text[i];
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF)
            return 0;
    }
    return CSVGXmlNode::isXmlChar(value) ? value : 0;
}
