// The element's SVG text and its transforms.

#include "AttributeId.h"
#include "CGlobalConfig.h"
#include "CSVGElement.h"
#include "CSVGXmlNode.h"
#include "SvgCodes.h"

#include <algorithm>
#include <cwchar>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

void appendAttribute(std::wstring& out, const wchar_t* name, const CSVGAttributeText& value)
{
    out += L' ';
    out += name;
    out += L"=\"";
    value.appendEscaped(out);
    out += L'"';
}

} // namespace

std::wstring CSVGElement::buildStartTag() const
{
    std::wstring tag;
    appendStartTag(tag);
    return tag;
}

// The names of the fixed table come out in attribute-id order, which stored
// files rely on. Names the table learns while the program runs get their ids
// in the order in which the program first meets them, which differs from run
// to run: they follow in name order, so that a drawing saves to the same text
// whatever was read before it. Values are escaped, so a quote or "&" in a
// value keeps the file readable.
void CSVGElement::appendStartTag(std::wstring& out) const
{
    out += L'<';
    out += *m_tagName;
    std::vector<std::pair<std::wstring, const CSVGAttributeText*>> learnt;
    for (const auto& [id, value] : m_attributes) {
        if (value.empty() && !m_keepsEmptyValues)
            continue;
        if (const wchar_t* fixed = CGlobalConfig::fixedAttributeName(id)) {
            appendAttribute(out, fixed, value);
            continue;
        }
        std::wstring name = g_config.getAttributeName(id);
        if (!name.empty())
            learnt.emplace_back(std::move(name), &value);
    }
    std::sort(learnt.begin(), learnt.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [name, value] : learnt)
        appendAttribute(out, name.c_str(), *value);
}

// Each element with its indentation, both tags and its attributes; escapes
// and the rare learnt names make up the sixteenth added. The names are
// gathered as the tags' shared names and the attribute ids: a drawing has
// few distinct ones.
size_t CSVGElement::surveyForWriting(std::set<std::wstring>& names) const
{
    size_t length = 0;
    std::unordered_set<const std::wstring*> tags;
    std::vector<bool> ids;
    std::vector<std::pair<const CSVGElement*, size_t>> stack { { this, 0 } };
    while (!stack.empty()) {
        const auto [element, depth] = stack.back();
        stack.pop_back();
        tags.insert(element->m_tagName);
        length += depth + 2 * element->m_tagName->size() + 6 + element->m_text.size();
        for (const auto& [id, value] : element->m_attributes) {
            const wchar_t* fixed = CGlobalConfig::fixedAttributeName(id);
            length += (fixed ? std::wcslen(fixed) : 16) + value.length() + 4;
            if (id < 0)
                continue;
            if (static_cast<size_t>(id) >= ids.size())
                ids.resize(static_cast<size_t>(id) + 1);
            ids[static_cast<size_t>(id)] = true;
        }
        for (auto child = element->m_children.rbegin(); child != element->m_children.rend(); ++child)
            stack.emplace_back(*child, depth + 1);
    }
    for (const std::wstring* tag : tags)
        names.insert(*tag);
    for (size_t id = 0; id < ids.size(); ++id) {
        if (ids[id])
            names.insert(g_config.getAttributeName(static_cast<int>(id)));
    }
    return length + length / 16;
}

void CSVGElement::writeIndent(std::wstring& out, int depth)
{
    if (depth > 0)
        out.append(static_cast<size_t>(depth), L' ');
}

// No line break follows a start tag with content. Inside a text (at any
// depth) nothing is written that was not read: no indentation, no line
// break. The reader keeps character data inside a text as runs, so any white
// space written there would come back as characters and grow the text at
// every save and load.
// It keeps the white space that ends character data anywhere, so nothing is
// indented right after an element's own text either (its first child, or
// its end tag), nor before the end tag of an element that holds its own text
// or ends in a later run: any other reader would take that indentation for
// characters of the element.
bool CSVGElement::writeSvg(std::wstring& out, int depth, const CSVGRect& region)
{
    return writeElement(out, depth, region, nullptr);
}

bool CSVGElement::writeSvgInPieces(std::wstring& out, const std::function<void(std::wstring&)>& flush)
{
    return writeElement(out, 0, CSVGRect(), &flush);
}

bool CSVGElement::writeElement(
    std::wstring& out, int depth, const CSVGRect& region, const std::function<void(std::wstring&)>* flush)
{
    if (!isWrittenOut())
        return false;
    const size_t before = out.size();
    if (writeContent(out))
        return out.size() > before;
    const bool insideText = isInsideText();
    const bool run = insideText || m_type == SvgType::Tspan || m_type == SvgType::TextContent;
    if (!run)
        writeIndent(out, depth);
    appendStartTag(out);
    if (m_children.empty() && m_text.empty()) {
        out += insideText ? L"/>" : L"/>\n";
        return true;
    }
    out += L'>';
    const size_t content = out.size();
    appendCharacterData(out, m_text);
    const bool everything = region.isEmpty();
    bool childWritten = false;
    // Whether the content ends with a run of character data that follows
    // other children (kept as a CDATA section).
    bool endsInRun = false;
    for (CSVGElement* child : m_children) {
        if (!everything && !child->isWithinRegion(region))
            continue;
        const size_t start = out.size();
        if (!child->writeSvg(out, depth + 1, CSVGRect()))
            continue;
        if (!childWritten && !m_text.empty())
            out.erase(start, out.find_first_not_of(L' ', start) - start);
        endsInRun = childWritten && child->m_type == SvgType::CData;
        childWritten = true;
        if (flush)
            (*flush)(out);
    }
    // Children that all wrote nothing leave an empty element, as it reads
    // back.
    if (!childWritten && m_text.empty()) {
        out.resize(content - 1);
        out += insideText ? L"/>" : L"/>\n";
        return true;
    }
    if (!run && m_type != SvgType::Text && childWritten && m_text.empty() && !endsInRun)
        writeIndent(out, depth);
    out += L"</";
    out += *m_tagName;
    out += insideText ? L">" : L">\n";
    return true;
}

// In a text, at any depth, or in a tspan.
bool CSVGElement::isInsideText() const
{
    if (m_parent && m_parent->m_type == SvgType::Tspan)
        return true;
    for (const CSVGElement* ancestor = m_parent; ancestor && ancestor->m_type != SvgType::Svg;
         ancestor = ancestor->m_parent) {
        if (ancestor->m_type == SvgType::Text)
            return true;
    }
    return false;
}

// White space that starts character data goes as character references: the
// reader skips it when it is written as it is.
void CSVGElement::appendCharacterData(std::wstring& out, const std::wstring& text)
{
    size_t lead = 0;
    for (; lead < text.size() && std::wcschr(L" \t\r\n", text[lead]) && text[lead] != L'\0'; ++lead)
        out += L"&#" + std::to_wstring(static_cast<int>(text[lead])) + L';';
    CSVGXmlNode::appendEscaped(out, lead == 0 ? text : text.substr(lead));
}

bool CSVGElement::writeContent(std::wstring&) const
{
    return false;
}

bool CSVGElement::appendMarkup(std::wstring& out, const wchar_t* opening, const wchar_t* closing) const
{
    if (m_text.rfind(opening, 0) != 0)
        return false;
    const size_t close = m_text.find(closing);
    if (close != std::wstring::npos && close + std::wcslen(closing) == m_text.size())
        CSVGXmlNode::appendXmlChars(out, m_text);
    return true;
}

bool CSVGElement::isWithinRegion(const CSVGRect&)
{
    return false;
}

CSVGMatrix CSVGElement::getTransformMatrix() const
{
    static const AttributeId transformId(L"transform");
    CSVGMatrix matrix;
    const std::wstring transform = getAttribute(transformId);
    if (!transform.empty())
        matrix.parseTransformList(transform);
    return matrix;
}

CSVGMatrix CSVGElement::getCombinedMatrix(const CSVGMatrix& outer) const
{
    CSVGMatrix matrix = outer;
    matrix.multiply(getTransformMatrix());
    return matrix;
}

// A container keeps its box in its own coordinates, from the matrices of its
// children: when this element moves relative to its parent, the parent's box
// (and so its ancestors') must be rebuilt.
void CSVGElement::updateMatrix(CSVGElement* source, bool notify)
{
    CSVGMatrix matrix;
    if (source)
        matrix = source->m_matrix;
    else if (m_parent)
        matrix = m_parent->m_matrix;
    matrix.multiply(getTransformMatrix());
    const CSVGMatrix& old = m_matrix;
    const bool moved = matrix.a != old.a || matrix.b != old.b || matrix.c != old.c || matrix.d != old.d
        || matrix.e != old.e || matrix.f != old.f;
    m_matrix = matrix;
    if (moved && m_parent)
        m_parent->setGeometryDirty();
    for (CSVGElement* child : m_children)
        child->updateMatrix(nullptr, true);
    if (notify)
        notifyChanged();
}

// With P the parent's accumulated matrix, the own transform is P^-1 X, so
// that the parent's part is not applied twice inside a transformed group.
bool CSVGElement::setCanvasMatrix(const CSVGMatrix& matrix)
{
    CSVGMatrix own = m_parent ? m_parent->m_matrix : CSVGMatrix();
    if (!own.invert())
        return false;
    own.multiply(matrix);
    setTransform(own, true);
    updateMatrix(nullptr, true);
    return true;
}

void CSVGElement::setTransform(const CSVGMatrix& matrix, bool notify)
{
    static const AttributeId transform(L"transform");
    if (!matrix.isIdentity()) {
        storeAttribute(transform.get(), L"transform", matrix.toString(), notify);
        return;
    }
    m_attributes.erase(transform.get());
    if (notify) {
        markDocumentModified();
        setModified(true);
    }
}

void CSVGElement::normalizeTransform()
{
    const std::wstring transform = getAttribute(L"transform");
    if (!transform.empty()) {
        CSVGMatrix matrix;
        matrix.parseTransformList(transform);
        setAttribute(L"transform", matrix.toString(), true);
    }
    for (auto child = m_children.rbegin(); child != m_children.rend(); ++child)
        (*child)->normalizeTransform();
}
