#include "CSVGElementStyleable.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGStyleRule.h"

#include <algorithm>
#include <vector>

namespace {

// Ids of the fixed part of the attribute-name table.
struct StyleIds
{
    int fill = g_config.findAttributeId(L"fill");
    int fillOpacity = g_config.findAttributeId(L"fill-opacity");
    int opacity = g_config.findAttributeId(L"opacity");
    int style = g_config.findAttributeId(L"style");
    int stroke = g_config.findAttributeId(L"stroke");
    int strokeOpacity = g_config.findAttributeId(L"stroke-opacity");
    int strokeWidth = g_config.findAttributeId(L"stroke-width");
    int visibility = g_config.findAttributeId(L"visibility");
    int display = g_config.findAttributeId(L"display");
    int className = g_config.findAttributeId(L"class");
};

const StyleIds& ids()
{
    static const StyleIds styleIds;
    return styleIds;
}

constexpr size_t kMaximumNameLength = 32;

std::wstring valueOf(const CSVGElementStyleable::StyleMap& map, int id)
{
    const auto found = map.find(id);
    return found == map.end() ? std::wstring() : found->second;
}

// "name:value;" for every entry, in attribute-id order.
std::wstring declarationText(const CSVGElementStyleable::StyleMap& declarations)
{
    std::wstring text;
    for (const auto& [id, value] : declarations)
        text += g_config.getAttributeName(id) + L':' + value + L';';
    return text;
}

CSVGElementStyleable* styleableShape(CSVGElement* element)
{
    return element->isShape() ? dynamic_cast<CSVGElementStyleable*>(element) : nullptr;
}

} // namespace

CSVGElementStyleable::CSVGElementStyleable(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : CSVGElement(document, tagName, type)
{
}

CSVGElement* CSVGElementStyleable::clone(bool deep)
{
    CSVGElement* copy = CSVGElement::clone(deep);
    if (auto* styleable = dynamic_cast<CSVGElementStyleable*>(copy)) {
        styleable->m_effective = m_effective;
        styleable->m_specified = m_specified;
    }
    return copy;
}

void CSVGElementStyleable::setAttribute(const std::wstring& name, const std::wstring& value, bool notify)
{
    if (!isStyleProperty(name)) {
        CSVGElement::setAttribute(name, value, notify);
        return;
    }
    const int id = g_config.findAttributeId(name);
    m_specified[id] = value;
    if (notify) {
        setStyleDirty(true);
        const std::wstring styleText = specified(ids().style);
        StyleMap declared;
        if (!styleText.empty())
            parseStyleDeclarations(declared, styleText);
        const auto found = declared.find(id);
        if (found != declared.end() && !found->second.empty()) {
            m_specified[id].clear();
            found->second = value;
            const std::wstring text = declarationText(declared);
            m_specified[ids().style] = text;
            CSVGElement::setAttribute(L"style", text, notify);
            return;
        }
    }
    CSVGElement::setAttribute(name, value, notify);
}

std::wstring CSVGElementStyleable::getAttribute(const std::wstring& name) const
{
    if (!isStyleProperty(name))
        return CSVGElement::getAttribute(name);
    return specified(g_config.findAttributeId(name));
}

std::set<std::wstring> CSVGElementStyleable::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElement::getAttributeNames();
    for (const auto& entry : m_specified)
        names.insert(g_config.getAttributeName(entry.first));
    names.insert({ L"fill", L"fill-opacity", L"stroke", L"stroke-opacity" });
    return names;
}

const CSVGElementStyleable::StyleMap& CSVGElementStyleable::getSpecifiedStyle()
{
    if (m_styleDirty)
        updateStyle(nullptr);
    return m_specified;
}

const CSVGElementStyleable::StyleMap& CSVGElementStyleable::getEffectiveStyle()
{
    if (m_styleDirty)
        updateStyle(nullptr);
    return m_effective;
}

std::wstring CSVGElementStyleable::getStyleValue(const std::wstring& name)
{
    return valueOf(getEffectiveStyle(), g_config.findAttributeId(name));
}

std::wstring CSVGElementStyleable::specified(int id) const
{
    return valueOf(m_specified, id);
}

// The dirty ancestors are brought up to date from the top down, without
// recursion: the depth of a tree read from a file must not decide the depth
// of the call stack.
void CSVGElementStyleable::updateStyle(CSVGElementStyleable* source)
{
    std::vector<CSVGElementStyleable*> dirtyAncestors;
    for (CSVGElement* ancestor = getParent(); ancestor && ancestor->isStyleable(); ancestor = ancestor->getParent()) {
        auto* styleable = dynamic_cast<CSVGElementStyleable*>(ancestor);
        if (!styleable || !styleable->m_styleDirty)
            break;
        dirtyAncestors.push_back(styleable);
    }
    for (auto ancestor = dirtyAncestors.rbegin(); ancestor != dirtyAncestors.rend(); ++ancestor)
        (*ancestor)->computeStyle(nullptr);
    computeStyle(source);
}

void CSVGElementStyleable::computeStyle(CSVGElementStyleable* source)
{
    m_styleDirty = false;
    const std::wstring styleText = specified(ids().style);
    if (!styleText.empty())
        parseStyleDeclarations(m_specified, styleText);
    const std::wstring classText = specified(ids().className);
    if (!classText.empty())
        applyClassRules(classText);
    m_effective = m_specified;

    if (source && source != this)
        inheritFrom(source->getEffectiveStyle());
    else if (auto* parent = source ? nullptr : dynamic_cast<CSVGElementStyleable*>(getParent()))
        inheritFrom(parent->m_effective);
    applyDefaults();
}

void CSVGElementStyleable::inheritFrom(const StyleMap& inherited)
{
    for (const auto& [id, value] : inherited) {
        std::wstring& own = m_effective[id];
        if ((id == ids().display && own != L"none") || (id == ids().visibility && own != L"hidden"))
            own.clear();
        if (own.empty() && !value.empty())
            own = value;
    }
}

// Black paint for an element that names none; no fill at all where the fill
// is "none"; "opacity" caps both opacities; a stroke thinner than one unit
// is drawn fainter in proportion to its width.
void CSVGElementStyleable::applyDefaults()
{
    const StyleIds& id = ids();
    const auto value = [this](int key) { return valueOf(m_effective, key); };
    const auto number = [&value](int key) { return g_config.parseLength(value(key)); };

    if (value(id.fill).empty() && value(id.fillOpacity).empty()) {
        m_effective[id.fill] = L"#000000";
        m_effective[id.fillOpacity] = L"1";
    }
    const std::wstring fill = value(id.fill);
    if (fill == L"none") {
        if (getChildCount() == 0)
            m_effective[id.fillOpacity] = L"0";
    } else if (!fill.empty() && value(id.fillOpacity).empty()) {
        m_effective[id.fillOpacity] = L"1";
    }
    const std::wstring stroke = value(id.stroke);
    if (!stroke.empty() && stroke != L"none" && value(id.strokeOpacity).empty())
        m_effective[id.strokeOpacity] = L"1";
    const std::wstring opacity = value(id.opacity);
    if (!opacity.empty()) {
        for (int key : { id.fillOpacity, id.strokeOpacity }) {
            if (number(key) > number(id.opacity))
                m_effective[key] = opacity;
        }
    }
    if (!value(id.strokeWidth).empty()) {
        const double width = number(id.strokeWidth);
        if (width > 0.001 && width < 1.0)
            m_effective[id.strokeOpacity] = CGlobalConfig::numberToText(number(id.strokeOpacity) * width);
    }
}

void CSVGElementStyleable::setStyleDirty(bool dirty)
{
    m_styleDirty = dirty;
    if (!dirty)
        return;
    std::vector<CSVGElement*> pending { this };
    while (!pending.empty()) {
        CSVGElement* element = pending.back();
        pending.pop_back();
        for (int i = 0; i < element->getChildCount(); ++i) {
            CSVGElementStyleable* child = styleableShape(element->getChild(i));
            if (child && !child->m_styleDirty) {
                child->m_styleDirty = true;
                pending.push_back(child);
            }
        }
    }
}

void CSVGElementStyleable::parseStyleDeclarations(StyleMap& target, const std::wstring& text)
{
    const size_t size = text.size();
    size_t position = 0;
    for (;;) {
        while (position < size && (g_config.isWhiteSpace(text[position]) || text[position] == L';'))
            ++position;
        if (position >= size)
            return;
        // A piece without ":" names no property; it is passed over so that
        // it cannot swallow the name of the declaration after it.
        const size_t nameEnd = std::min(text.find(L':', position), size);
        const size_t pieceEnd = std::min(text.find(L';', position), size);
        if (pieceEnd < nameEnd || nameEnd == size) {
            position = pieceEnd;
            continue;
        }
        const std::wstring name = text.substr(position, std::min(nameEnd - position, kMaximumNameLength));
        position = nameEnd;
        while (position < size && (text[position] == L':' || g_config.isWhiteSpace(text[position])))
            ++position;
        const size_t valueEnd = std::min(text.find(L';', position), size);
        const int id = name.empty() ? -1 : g_config.getAttributeId(name);
        if (id >= 0)
            target[id] = text.substr(position, valueEnd - position);
        position = valueEnd;
    }
}

void CSVGElementStyleable::applyClassRules(const std::wstring& classText)
{
    CSVGDocument* document = getDocument();
    if (!document)
        return;
    std::wstring names = classText;
    std::replace(names.begin(), names.end(), L' ', L',');
    std::replace(names.begin(), names.end(), L';', L',');
    for (const std::wstring& name : CGlobalConfig::splitString(names, L",")) {
        const CSVGStyleRule* rule = document->findStyleRule(name);
        if (!rule)
            continue;
        for (const auto& [property, value] : rule->getProperties()) {
            const int id = g_config.getAttributeId(property);
            if (id >= 0)
                m_specified[id] = value;
        }
    }
}

void CSVGElementStyleable::flattenStyles()
{
    std::vector<CSVGElementStyleable*> pending { this };
    while (!pending.empty()) {
        CSVGElementStyleable* element = pending.back();
        pending.pop_back();
        element->flattenOwnStyles();
        for (int i = 0; i < element->getChildCount(); ++i) {
            if (CSVGElementStyleable* child = styleableShape(element->getChild(i)))
                pending.push_back(child);
        }
    }
}

void CSVGElementStyleable::flattenOwnStyles()
{
    const std::wstring styleText = specified(ids().style);
    if (!styleText.empty()) {
        StyleMap declared;
        parseStyleDeclarations(declared, styleText);
        for (const auto& [id, value] : declared) {
            m_specified[id] = value;
            m_effective[id] = value;
        }
        m_specified[ids().style].clear();
    }
    const std::wstring classText = specified(ids().className);
    if (classText.empty())
        return;
    const CSVGStyleRule* rule = getDocument() ? getDocument()->findStyleRule(classText) : nullptr;
    if (rule) {
        for (const auto& [property, value] : rule->getProperties()) {
            const int id = g_config.getAttributeId(property);
            if (id >= 0 && specified(id).empty()) {
                m_specified[id] = value;
                m_effective[id] = value;
            }
        }
    }
    m_specified[ids().className].clear();
}
