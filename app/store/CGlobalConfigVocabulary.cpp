// Element type codes, attribute ids, inheritable attributes and white space.

#include "CGlobalConfig.h"

namespace {

// Index = element type code. XML node kinds first, then the SVG elements,
// then names of the model's own.
const wchar_t* const kElementNames[] = {
    L"element_node",
    L"attribute_node",
    L"text_node",
    L"[CDATA[",
    L"entity_reference_node",
    L"entity_node",
    L"processing_instruction_node",
    L"comment_node",
    L"document_node",
    L"DOCTYPE",
    L"document_fragment_node",
    L"notation_node",
    // 12
    L"a",
    L"altglyph",
    L"altglyphdef",
    L"altglyphitem",
    L"animate",
    L"animatecolor",
    L"animatemotion",
    L"animatetransform",
    L"circle",
    L"clipPath",
    L"color-profile",
    L"cursor",
    L"definition-src",
    L"defs",
    L"desc",
    L"ellipse",
    // 28
    L"feblend",
    L"fecolormatrix",
    L"fecomponenttransfer",
    L"fecomposite",
    L"feconvolvematrix",
    L"fediffuselighting",
    L"fedisplacementmap",
    L"fedistantlight",
    L"feflood",
    L"fefunca",
    L"fefuncb",
    L"fefuncg",
    L"fefuncr",
    L"fegaussianblur",
    L"feimage",
    L"femerge",
    L"femergenode",
    L"femorphology",
    L"feoffset",
    L"fepointlight",
    L"fespecularlighting",
    L"fespotlight",
    L"fetile",
    L"feturbulence",
    // 52
    L"filter",
    L"font",
    L"font-face",
    L"font-face-format",
    L"font-face-name",
    L"font-face-src",
    L"font-face-uri",
    L"foreignobject",
    L"g",
    L"glyph",
    L"glyphref",
    L"hkern",
    L"image",
    L"line",
    L"linearGradient",
    L"marker",
    L"mask",
    L"metadata",
    L"missing-glyph",
    L"mpath",
    L"path",
    L"pattern",
    L"polygon",
    L"polyline",
    L"radialGradient",
    L"rect",
    L"script",
    L"set",
    L"stop",
    L"style",
    L"svg",
    L"switch",
    L"symbol",
    L"text",
    L"textpath",
    L"title",
    L"tref",
    L"tspan",
    L"use",
    L"view",
    L"vkern",
    // 93
    L"a:audio",
    L"textcontent",
    L"gtemp",
    L"tylayout",
};

// Index = attribute id. Stored files list attributes in this order.
const wchar_t* const kAttributeNames[] = {
    L"fill",
    L"fill-opacity",
    L"fill-rule",
    L"font-family",
    L"font-size",
    L"font-size-adjust",
    L"font-stretch",
    L"font-style",
    L"font-variant",
    L"font-weight",
    L"text-decoration",
    L"text-anchor",
    L"opacity",
    L"stop-color",
    L"stop-opacity",
    L"style",
    L"stroke",
    L"stroke-dasharray",
    L"stroke-dashoffset",
    L"stroke-linecap",
    L"stroke-linejoin",
    L"stroke-miterlimit",
    L"stroke-opacity",
    L"stroke-width",
    L"visibility",
    L"display",
    L"writing-mode",
    L"class",
    L"filter",
    L"clip-path",
    // 30
    L"x",
    L"y",
    L"dx",
    L"dy",
    L"width",
    L"height",
    L"rx",
    L"ry",
    L"x1",
    L"x2",
    L"y1",
    L"y2",
    L"cx",
    L"cy",
    L"r",
    L"points",
    L"d",
    L"xmlns",
    L"xmlns:a",
    L"xmlns:xlink",
    L"fx",
    L"fy",
    L"offset",
    L"gradientUnits",
    L"xlink:href",
    L"id",
    L"refX",
    L"refY",
    L"markerWidth",
    L"markerHeight",
    L"markerUnits",
    L"orient",
    L"patternContentUnits",
    L"transform",
    L"gradientTransform",
    L"patternTransform",
    L"onload",
    L"viewBox",
    L"tyvisibility",
};

static_assert(sizeof(kElementNames) / sizeof(kElementNames[0]) == 97, "element table");
static_assert(
    sizeof(kAttributeNames) / sizeof(kAttributeNames[0]) == CGlobalConfig::kFixedAttributeIds, "attribute table");

const wchar_t* const kInheritableAttributes[] = {
    L"visibility",
    L"display",
    L"fill",
    L"fill-opacity",
    L"fill-rule",
    L"font-family",
    L"font-size",
    L"font-size-adjust",
    L"font-stretch",
    L"font-style",
    L"font-variant",
    L"font-weight",
    L"text-decoration",
    L"text-anchor",
    L"opacity",
    L"stop-color",
    L"stop-opacity",
    L"style",
    L"class",
    L"stroke",
    L"stroke-dasharray",
    L"stroke-dashoffset",
    L"stroke-linecap",
    L"stroke-linejoin",
    L"stroke-miterlimit",
    L"stroke-opacity",
    L"stroke-width",
    L"clip-path",
    L"tyvisibility",
};

template <size_t N>
void fillNameTable(const wchar_t* const (&names)[N], std::vector<std::wstring>& vector, CSVGNameIdMap& map)
{
    vector.assign(names, names + N);
    for (size_t i = 0; i < N; ++i)
        map.insert(vector[i], static_cast<int>(i));
}

} // namespace

void CGlobalConfig::initElementNames()
{
    fillNameTable(kElementNames, m_elementNames, m_elementIds);
}

void CGlobalConfig::initAttributeNames()
{
    fillNameTable(kAttributeNames, m_attributeNames, m_attributeIds);
    initInheritableAttributes();
}

void CGlobalConfig::initInheritableAttributes()
{
    m_inheritable.fill(0);
    for (const wchar_t* name : kInheritableAttributes)
        m_inheritable[static_cast<size_t>(m_attributeIds.lookup(name))] = 1;
}

void CGlobalConfig::initWhiteSpace()
{
    m_whiteSpace.fill(0);
    for (unsigned char c : { 9, 10, 13, 32 })
        m_whiteSpace[c] = 1;
}

int CGlobalConfig::getElementTypeId(const std::wstring& name) const
{
    return m_elementIds.lookup(name);
}

int CGlobalConfig::getAttributeId(const std::wstring& name)
{
    const int known = findAttributeId(name);
    if (known >= 0)
        return known;

    std::unique_lock<std::shared_mutex> locker(m_attributeLock);
    // Another thread may have registered the name meanwhile.
    const int raced = m_attributeIds.lookup(name);
    if (raced >= 0)
        return raced;
    const int id = m_attributeIds.nextId();
    if (id >= kMaxAttributeIds)
        return -1;
    m_attributeIds.insert(name, id);
    m_attributeNames.push_back(name);
    return id;
}

int CGlobalConfig::findAttributeId(const std::wstring& name) const
{
    std::shared_lock<std::shared_mutex> locker(m_attributeLock);
    return m_attributeIds.lookup(name);
}

// The fixed table never changes, so its names need no lock and no copy.
const wchar_t* CGlobalConfig::fixedAttributeName(int id)
{
    return id >= 0 && id < kFixedAttributeIds ? kAttributeNames[id] : nullptr;
}

std::wstring CGlobalConfig::getAttributeName(int id) const
{
    std::shared_lock<std::shared_mutex> locker(m_attributeLock);
    if (id < 0 || static_cast<size_t>(id) >= m_attributeNames.size())
        return std::wstring();
    return m_attributeNames[static_cast<size_t>(id)];
}

// The last flag is never consulted: 255 is not inheritable.
bool CGlobalConfig::isInheritableAttribute(unsigned int id) const
{
    return id < 255 && m_inheritable[id] == 1;
}

bool CGlobalConfig::isWhiteSpace(unsigned int c) const
{
    return c < m_whiteSpace.size() && m_whiteSpace[c] == 1;
}
