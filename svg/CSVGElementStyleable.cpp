#include "CSVGElementStyleable.h"

#include "AttributeId.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGStyleRule.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <unordered_map>
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

const std::wstring& valueOf(const CSVGElementStyleable::StyleMap& map, int id)
{
    static const std::wstring none;
    const auto found = map.find(id);
    return found == map.end() ? none : found->second;
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

// The style maps in use, each once: a drawing of a hundred thousand pieces
// in two classes keeps two maps of each kind instead of a hundred thousand.
// The pool holds them weakly; a map goes when its last element does. A map
// handed out by the pool is never changed: an element that changes its own
// takes a copy first.
class StylePool
{
public:
    using StyleMap = CSVGElementStyleable::StyleMap;
    using RuleProperties = std::vector<std::pair<int, std::wstring>>;

    static std::shared_ptr<StyleMap> intern(StyleMap&& style)
    {
        StylePool& pool = instance();
        const std::size_t key = hashOf(style);
        std::lock_guard<std::mutex> locker(pool.m_lock);
        const auto range = pool.m_styles.equal_range(key);
        auto gone = pool.m_styles.end();
        for (auto entry = range.first; entry != range.second; ++entry) {
            if (std::shared_ptr<StyleMap> shared = entry->second.lock(); shared && *shared == style)
                return shared;
            if (entry->second.expired())
                gone = entry;
        }
        auto shared = std::make_shared<StyleMap>(std::move(style));
        // A map that comes and goes again and again (the steps of a piece
        // given one property after another) takes its old place.
        if (gone != pool.m_styles.end()) {
            gone->second = shared;
            return shared;
        }
        pool.m_styles.emplace(key, shared);
        if (pool.m_styles.size() + pool.m_made.size() + pool.m_ruled.size() > pool.m_sweepAt)
            pool.sweep();
        return shared;
    }

    // The effective style made from a specified style and an inherited one
    // (null for none) before; null when there is none or it has gone. It is
    // a function of the two and of whether the element has children, and
    // the maps are pooled, so most pieces of a drawing find theirs.
    static std::shared_ptr<StyleMap> madeBefore(
        const std::shared_ptr<StyleMap>& specified, const std::shared_ptr<const StyleMap>& inherited, bool leaf)
    {
        StylePool& pool = instance();
        std::lock_guard<std::mutex> locker(pool.m_lock);
        const auto found = pool.m_made.find(Made { specified.get(), inherited.get(), leaf });
        if (found == pool.m_made.end() || found->second.specified.lock() != specified
            || found->second.inherited.lock() != inherited)
            return nullptr;
        return found->second.effective.lock();
    }

    static void remember(const std::shared_ptr<StyleMap>& specified, const std::shared_ptr<const StyleMap>& inherited,
        bool leaf, const std::shared_ptr<StyleMap>& effective)
    {
        StylePool& pool = instance();
        std::lock_guard<std::mutex> locker(pool.m_lock);
        pool.m_made[Made { specified.get(), inherited.get(), leaf }] = Sources { specified, inherited, effective };
    }

    // The specified style that a class rule with these properties made of
    // another before; null when there is none or it has gone. Most pieces of
    // a drawing name one of a few classes and start from one pooled map, so
    // they find theirs without a copy of it.
    static std::shared_ptr<StyleMap> ruledBefore(
        const std::shared_ptr<StyleMap>& specified, const void* rule, const RuleProperties& properties)
    {
        StylePool& pool = instance();
        std::lock_guard<std::mutex> locker(pool.m_lock);
        const auto found = pool.m_ruled.find(Made { specified.get(), rule, false });
        if (found == pool.m_ruled.end() || found->second.specified.lock() != specified
            || found->second.properties != properties)
            return nullptr;
        return found->second.ruled.lock();
    }

    static void rememberRuled(const std::shared_ptr<StyleMap>& specified, const void* rule,
        const RuleProperties& properties, const std::shared_ptr<StyleMap>& ruled)
    {
        StylePool& pool = instance();
        std::lock_guard<std::mutex> locker(pool.m_lock);
        pool.m_ruled[Made { specified.get(), rule, false }] = Ruled { specified, ruled, properties };
    }

    static std::shared_ptr<StyleMap> empty()
    {
        static const std::shared_ptr<StyleMap> none = std::make_shared<StyleMap>();
        return none;
    }

private:
    static StylePool& instance()
    {
        static StylePool pool;
        return pool;
    }

    static std::size_t hashOf(const StyleMap& style)
    {
        std::size_t hash = style.size();
        for (const auto& [id, value] : style)
            hash = hash * 31 + std::hash<std::wstring>()(value) + std::size_t(id);
        return hash;
    }

    // The entries of styles no longer in use go once the pool has doubled
    // since it was last swept.
    void sweep()
    {
        for (auto entry = m_styles.begin(); entry != m_styles.end();)
            entry = entry->second.expired() ? m_styles.erase(entry) : std::next(entry);
        for (auto entry = m_made.begin(); entry != m_made.end();)
            entry = entry->second.effective.expired() ? m_made.erase(entry) : std::next(entry);
        for (auto entry = m_ruled.begin(); entry != m_ruled.end();)
            entry = entry->second.ruled.expired() ? m_ruled.erase(entry) : std::next(entry);
        m_sweepAt = std::max<std::size_t>(1024, 2 * (m_styles.size() + m_made.size() + m_ruled.size()));
    }

    // A remembered computation, found by the addresses of its sources. The
    // weak pointers tell a source that went, and another map that took its
    // address since, from the one that was used.
    struct Made
    {
        const void* specified;
        const void* inherited;
        bool leaf;
        bool operator==(const Made& other) const
        {
            return specified == other.specified && inherited == other.inherited && leaf == other.leaf;
        }
    };
    struct MadeHash
    {
        std::size_t operator()(const Made& made) const
        {
            return std::hash<const void*>()(made.specified) * 31 + std::hash<const void*>()(made.inherited) * 2
                + std::size_t(made.leaf);
        }
    };
    struct Sources
    {
        std::weak_ptr<StyleMap> specified;
        std::weak_ptr<const StyleMap> inherited;
        std::weak_ptr<StyleMap> effective;
    };

    struct Ruled
    {
        std::weak_ptr<StyleMap> specified;
        std::weak_ptr<StyleMap> ruled;
        RuleProperties properties;
    };

    std::mutex m_lock;
    std::unordered_multimap<std::size_t, std::weak_ptr<StyleMap>> m_styles;
    std::unordered_map<Made, Sources, MadeHash> m_made;
    std::unordered_map<Made, Ruled, MadeHash> m_ruled;
    std::size_t m_sweepAt = 1024;
};

} // namespace

CSVGElementStyleable::CSVGElementStyleable(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : CSVGElement(document, tagName, type)
    , m_effective(StylePool::empty())
    , m_specified(StylePool::empty())
{
}

CSVGElementStyleable::StyleMap& CSVGElementStyleable::writableSpecified()
{
    if (m_specifiedShared) {
        m_specified = std::make_shared<StyleMap>(*m_specified);
        m_specifiedShared = false;
    }
    return *m_specified;
}

CSVGElement* CSVGElementStyleable::clone(bool deep)
{
    CSVGElement* copy = CSVGElement::clone(deep);
    if (auto* styleable = dynamic_cast<CSVGElementStyleable*>(copy)) {
        styleable->m_effective = m_effective;
        styleable->m_specified = m_specified;
        styleable->m_specifiedShared = true;
        m_specifiedShared = true;
    }
    return copy;
}

void CSVGElementStyleable::setAttribute(const std::wstring& name, const std::wstring& value, bool notify)
{
    const int id = name.empty() ? -1 : g_config.getAttributeId(name);
    if (id < 0)
        return;
    if (!g_config.isInheritableAttribute(static_cast<unsigned int>(id))) {
        storeAttribute(id, name, value, notify);
        return;
    }
    if (!notify && (m_specifiedShared || m_specified->empty())) {
        // While a file is read, most pieces name the same class and nothing
        // else: they share one map from the start instead of a map each.
        StyleMap specified = *m_specified;
        specified[id] = value;
        m_specified = StylePool::intern(std::move(specified));
        m_specifiedShared = true;
    } else {
        writableSpecified()[id] = value;
    }
    if (notify) {
        setStyleDirty(true);
        const std::wstring styleText = specified(ids().style);
        StyleMap declared;
        if (!styleText.empty())
            parseStyleDeclarations(declared, styleText);
        const auto found = declared.find(id);
        if (found != declared.end() && !found->second.empty()) {
            writableSpecified()[id].clear();
            found->second = value;
            const std::wstring text = declarationText(declared);
            writableSpecified()[ids().style] = text;
            storeAttribute(ids().style, L"style", text, notify);
            return;
        }
    }
    storeAttribute(id, name, value, notify);
}

void CSVGElementStyleable::setAttributes(
    std::initializer_list<std::pair<const std::wstring&, const std::wstring&>> attributes)
{
    setAttributesQuietly(attributes);
}

void CSVGElementStyleable::setAttributes(const std::vector<std::pair<std::wstring, std::wstring>>& attributes)
{
    setAttributesQuietly(attributes);
}

template <typename Attributes> void CSVGElementStyleable::setAttributesQuietly(const Attributes& attributes)
{
    if (!m_specifiedShared && !m_specified->empty()) {
        for (const auto& [name, value] : attributes)
            setAttribute(name, value, false);
        return;
    }
    std::vector<int> ids;
    ids.reserve(attributes.size());
    bool restyled = false;
    for (const auto& [name, value] : attributes) {
        ids.push_back(name.empty() ? -1 : g_config.getAttributeId(name));
        if (ids.back() >= 0 && g_config.isInheritableAttribute(static_cast<unsigned int>(ids.back()))) {
            const auto found = m_specified->find(ids.back());
            restyled = restyled || found == m_specified->end() || found->second != value;
        }
    }
    // Paint given again as the element already has it (a new piece taking
    // its source's paint, which is the default) leaves the shared map as it
    // is, without a copy to look up in the pool.
    if (restyled) {
        StyleMap specified = *m_specified;
        auto id = ids.begin();
        for (const auto& [name, value] : attributes) {
            if (*id >= 0 && g_config.isInheritableAttribute(static_cast<unsigned int>(*id)))
                specified[*id] = value;
            ++id;
        }
        m_specified = StylePool::intern(std::move(specified));
    }
    m_specifiedShared = true;
    // One allocation for the batch, not one for each attribute after the
    // first few.
    reserveAttributes(ids);
    auto id = ids.begin();
    for (const auto& [name, value] : attributes) {
        if (*id >= 0)
            storeAttribute(*id, name, value, false);
        ++id;
    }
}

std::vector<std::pair<std::wstring, std::wstring>> CSVGElementStyleable::inheritedPaint(CSVGElement* element)
{
    static const wchar_t* const names[] = { L"fill", L"fill-opacity", L"fill-rule", L"stroke", L"stroke-width",
        L"stroke-opacity", L"stroke-dasharray" };
    std::vector<std::pair<std::wstring, std::wstring>> paint;
    std::set<std::wstring> found;
    for (CSVGElement* at = element; at && at->isStyleable(); at = at->getParent()) {
        static_cast<CSVGElementStyleable*>(at)->getSpecifiedStyle();
        for (const wchar_t* name : names) {
            std::wstring value = at->getAttribute(name);
            if (!value.empty() && found.insert(name).second)
                paint.emplace_back(name, std::move(value));
        }
    }
    return paint;
}

std::wstring CSVGElementStyleable::getAttribute(const std::wstring& name) const
{
    return attributeOrStyle(g_config.findAttributeId(name));
}

std::wstring CSVGElementStyleable::getAttribute(const AttributeId& name) const
{
    return attributeOrStyle(name.get());
}

std::wstring CSVGElementStyleable::attributeOrStyle(int id) const
{
    if (id >= 0 && g_config.isInheritableAttribute(static_cast<unsigned int>(id)))
        return specified(id);
    return attributeValue(id);
}

std::set<std::wstring> CSVGElementStyleable::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElement::getAttributeNames();
    for (const auto& entry : *m_specified)
        names.insert(g_config.getAttributeName(entry.first));
    names.insert({ L"fill", L"fill-opacity", L"stroke", L"stroke-opacity" });
    return names;
}

const CSVGElementStyleable::StyleMap& CSVGElementStyleable::getSpecifiedStyle()
{
    if (m_styleDirty)
        updateStyle(nullptr);
    return *m_specified;
}

const CSVGElementStyleable::StyleMap& CSVGElementStyleable::getEffectiveStyle()
{
    if (m_styleDirty)
        updateStyle(nullptr);
    return *m_effective;
}

std::wstring CSVGElementStyleable::getStyleValue(const std::wstring& name)
{
    return valueOf(getEffectiveStyle(), g_config.findAttributeId(name));
}

const std::wstring& CSVGElementStyleable::getStyleValue(const AttributeId& name)
{
    return valueOf(getEffectiveStyle(), name.get());
}

const std::wstring& CSVGElementStyleable::specified(int id) const
{
    return valueOf(*m_specified, id);
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
        parseStyleDeclarations(writableSpecified(), styleText);
    const std::wstring classText = specified(ids().className);
    if (!classText.empty())
        applyClassRules(classText);
    if (!m_specifiedShared) {
        m_specified = StylePool::intern(std::move(*m_specified));
        m_specifiedShared = true;
    }

    std::shared_ptr<const StyleMap> inherited;
    if (source && source != this) {
        source->getEffectiveStyle();
        inherited = source->m_effective;
    } else if (auto* parent = source ? nullptr : dynamic_cast<CSVGElementStyleable*>(getParent())) {
        inherited = parent->m_effective;
    }
    const bool leaf = getChildCount() == 0;
    if (std::shared_ptr<StyleMap> made = StylePool::madeBefore(m_specified, inherited, leaf)) {
        m_effective = std::move(made);
        return;
    }
    StyleMap effective = *m_specified;
    if (inherited)
        inheritFrom(effective, *inherited);
    applyDefaults(effective);
    std::shared_ptr<StyleMap> made = StylePool::intern(std::move(effective));
    StylePool::remember(m_specified, inherited, leaf, made);
    m_effective = std::move(made);
}

void CSVGElementStyleable::inheritFrom(StyleMap& effective, const StyleMap& inherited)
{
    for (const auto& [id, value] : inherited) {
        std::wstring& own = effective[id];
        if ((id == ids().display && own != L"none") || (id == ids().visibility && own != L"hidden"))
            own.clear();
        if (own.empty() && !value.empty())
            own = value;
    }
}

// Black paint for an element that names none; no fill at all where the fill
// is "none"; "opacity" caps both opacities; a stroke thinner than one unit
// is drawn fainter in proportion to its width.
void CSVGElementStyleable::applyDefaults(StyleMap& effective) const
{
    const StyleIds& id = ids();
    const auto value = [&effective](int key) -> const std::wstring& { return valueOf(effective, key); };
    const auto number = [&value](int key) { return g_config.parseLength(value(key)); };

    if (value(id.fill).empty() && value(id.fillOpacity).empty()) {
        effective[id.fill] = L"#000000";
        effective[id.fillOpacity] = L"1";
    }
    const std::wstring& fill = value(id.fill);
    if (fill == L"none") {
        if (getChildCount() == 0)
            effective[id.fillOpacity] = L"0";
    } else if (!fill.empty() && value(id.fillOpacity).empty()) {
        effective[id.fillOpacity] = L"1";
    }
    const std::wstring& stroke = value(id.stroke);
    if (!stroke.empty() && stroke != L"none" && value(id.strokeOpacity).empty())
        effective[id.strokeOpacity] = L"1";
    const std::wstring& opacity = value(id.opacity);
    if (!opacity.empty()) {
        for (int key : { id.fillOpacity, id.strokeOpacity }) {
            if (number(key) > number(id.opacity))
                effective[key] = opacity;
        }
    }
    if (!value(id.strokeWidth).empty()) {
        const double width = number(id.strokeWidth);
        if (width > 0.001 && width < 1.0)
            effective[id.strokeOpacity] = CGlobalConfig::numberToText(number(id.strokeOpacity) * width);
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
        // "style" and "class" are no properties: taken as declarations, they
        // would replace the very text they were read from.
        if (id >= 0 && id != ids().style && id != ids().className)
            target[id] = text.substr(position, valueEnd - position);
        position = valueEnd;
    }
}

void CSVGElementStyleable::applyClassRules(const std::wstring& classText)
{
    CSVGDocument* document = getDocument();
    if (!document)
        return;
    // Names are separated by blanks, ";" and ",".
    const auto separator = [](wchar_t c) { return c == L' ' || c == L';' || c == L','; };
    std::wstring name;
    for (size_t position = 0; position < classText.size();) {
        const auto begin = std::find_if_not(classText.begin() + std::ptrdiff_t(position), classText.end(), separator);
        const auto end = std::find_if(begin, classText.end(), separator);
        position = size_t(end - classText.begin());
        if (begin == end)
            continue;
        name.assign(begin, end);
        const CSVGStyleRule* rule = document->findStyleRule(name);
        if (!rule)
            continue;
        if (m_specifiedShared) {
            m_specified = ruledSpecified(m_specified, rule);
            continue;
        }
        for (const auto& [id, value] : rule->getPropertiesById()) {
            // A style computed again finds the values there already and
            // keeps its shared map.
            if (id >= 0 && specified(id) != value)
                writableSpecified()[id] = value;
        }
    }
}

// The pooled specified style with the rule's properties over it.
std::shared_ptr<CSVGElementStyleable::StyleMap> CSVGElementStyleable::ruledSpecified(
    const std::shared_ptr<StyleMap>& specified, const CSVGStyleRule* rule)
{
    const auto& properties = rule->getPropertiesById();
    if (std::shared_ptr<StyleMap> ruled = StylePool::ruledBefore(specified, rule, properties))
        return ruled;
    StyleMap merged = *specified;
    bool changed = false;
    for (const auto& [id, value] : properties) {
        if (id >= 0 && valueOf(merged, id) != value) {
            merged[id] = value;
            changed = true;
        }
    }
    std::shared_ptr<StyleMap> ruled = changed ? StylePool::intern(std::move(merged)) : specified;
    StylePool::rememberRuled(specified, rule, properties, ruled);
    return ruled;
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
    StyleMap effective = *m_effective;
    const std::wstring styleText = specified(ids().style);
    if (!styleText.empty()) {
        StyleMap declared;
        parseStyleDeclarations(declared, styleText);
        for (const auto& [id, value] : declared) {
            writableSpecified()[id] = value;
            effective[id] = value;
        }
        writableSpecified()[ids().style].clear();
    }
    const std::wstring classText = specified(ids().className);
    const CSVGStyleRule* rule = getDocument() && !classText.empty() ? getDocument()->findStyleRule(classText) : nullptr;
    if (rule) {
        for (const auto& [property, value] : rule->getProperties()) {
            const int id = g_config.getAttributeId(property);
            if (id >= 0 && specified(id).empty()) {
                writableSpecified()[id] = value;
                effective[id] = value;
            }
        }
    }
    if (!classText.empty())
        writableSpecified()[ids().className].clear();
    m_effective = StylePool::intern(std::move(effective));
}
