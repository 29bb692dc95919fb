// The element's SVG text and its transforms.

#include "CGlobalConfig.h"
#include "CSVGElement.h"
#include "CSVGXmlNode.h"

namespace {

constexpr std::uint16_t kTypeText = 85;
constexpr std::uint16_t kTypeTspan = 89;
constexpr std::uint16_t kTypeTextContent = 94;

} // namespace

// Attributes come out in attribute-id order, which stored files rely on.
// Values are escaped, so a quote or "&" in a value keeps the file readable.
std::wstring CSVGElement::buildStartTag()
{
    if (!m_startTag.empty())
        return m_startTag;
    m_startTag = L"<" + m_tagName;
    for (const auto& [id, value] : m_attributes) {
        if (value.empty())
            continue;
        const std::wstring name = g_config.getAttributeName(id);
        if (name.empty())
            continue;
        m_startTag += L' ';
        m_startTag += name;
        m_startTag += L"=\"";
        CSVGXmlNode::appendEscaped(m_startTag, value);
        m_startTag += L'"';
    }
    return m_startTag;
}

void CSVGElement::writeIndent(std::wstring& out, int depth)
{
    if (depth > 0)
        out.append(static_cast<size_t>(depth), L' ');
}

// No line break follows a start tag with content, and the text element's end
// tag and everything of a tspan stay unindented: white space inside text
// would otherwise become part of the text. The reader keeps the white space
// that ends character data, so nothing is indented right after an element's
// own text either (its first child, or its end tag).
bool CSVGElement::writeSvg(std::wstring& out, int depth, const CSVGRect& region)
{
    if (!isWrittenOut())
        return false;
    if (writeContent(out))
        return true;
    buildStartTag();
    if (m_type != kTypeTspan && m_type != kTypeTextContent)
        writeIndent(out, depth);
    out += m_startTag;
    if (m_children.empty() && m_text.empty()) {
        out += L"/>\n";
        return true;
    }
    out += L'>';
    CSVGXmlNode::appendEscaped(out, m_text);
    const bool everything = region.isEmpty();
    bool followsText = !m_text.empty();
    for (CSVGElement* child : m_children) {
        if (!everything && !child->isWithinRegion(region))
            continue;
        const size_t start = out.size();
        child->writeSvg(out, depth + 1, CSVGRect());
        if (followsText)
            out.erase(start, out.find_first_not_of(L' ', start) - start);
        followsText = false;
    }
    if (m_type != kTypeText && m_type != kTypeTspan && !m_children.empty())
        writeIndent(out, depth);
    out += L"</";
    out += m_tagName;
    out += L">\n";
    return true;
}

bool CSVGElement::writeContent(std::wstring&) const
{
    return false;
}

bool CSVGElement::isWithinRegion(const CSVGRect&)
{
    return false;
}

CSVGMatrix CSVGElement::getTransformMatrix() const
{
    CSVGMatrix matrix;
    const std::wstring transform = getAttribute(L"transform");
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
    setAttribute(L"transform", own.toString(), true);
    updateMatrix(nullptr, true);
    return true;
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
