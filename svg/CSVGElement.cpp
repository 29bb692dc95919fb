#include "CSVGElement.h"

#include "AttributeId.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementStyle.h"
#include "CSVGTreeDisposal.h"
#include "CSVGXmlNode.h"
#include "SvgCodes.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace {

// One counter for every document and tag: two elements made one after the
// other never get the same number, whatever their tags.
std::atomic<std::uint64_t> g_idCounter { 0 };

// Nesting of clone calls on this thread. A deep copy registers its subtree
// once, in the outermost call; registering after every child would make
// copying a large group quadratic.
thread_local int t_cloneDepth = 0;

class CloneScope
{
public:
    CloneScope() { ++t_cloneDepth; }
    ~CloneScope() { --t_cloneDepth; }
    CloneScope(const CloneScope&) = delete;
    CloneScope& operator=(const CloneScope&) = delete;
};

// Null for a tag of no element class.
const std::wstring* sharedTagName(const std::wstring& tagName)
{
    static const std::set<std::wstring> names { L"DOCTYPE", L"[CDATA[", L"a", L"circle", L"clipPath", L"comment",
        L"defs", L"document", L"ellipse", L"g", L"image", L"line", L"linearGradient", L"path", L"pattern", L"polygon",
        L"polyline", L"radialGradient", L"rect", L"script", L"stop", L"style", L"svg", L"switch", L"symbol", L"text",
        L"textcontent", L"tspan", L"use" };
    const auto found = names.find(tagName);
    return found == names.end() ? nullptr : &*found;
}

// Pre-order walk with an explicit stack: the depth of a tree read from a file
// must not decide the depth of the call stack.
template <typename Element, typename Visit> void visitSubtree(Element* root, Visit visit)
{
    std::vector<Element*> stack { root };
    while (!stack.empty()) {
        Element* element = stack.back();
        stack.pop_back();
        visit(element);
        for (int i = element->getChildCount() - 1; i >= 0; --i)
            stack.push_back(element->getChild(i));
    }
}

} // namespace

CSVGElement::CSVGElement(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : m_type(type)
    , m_tagName(sharedTagName(tagName))
    , m_document(document)
{
    if (!m_tagName) {
        m_ownTagName = std::make_unique<const std::wstring>(tagName);
        m_tagName = m_ownTagName.get();
    }
    if (tagName != L"document")
        makeInitialId();
}

CSVGElement::~CSVGElement()
{
    if (m_document)
        m_document->forgetElement(this, m_id);
    std::vector<CSVGElement*> children = std::exchange(m_children, {});
    for (CSVGElement* child : children)
        child->m_parent = nullptr;
    deleteElements(children, SIZE_MAX);
}

// Each element is deleted after its children were taken from it, so its own
// destructor finds none.
void CSVGElement::deleteElements(std::vector<CSVGElement*>& pending, size_t limit)
{
    for (size_t deleted = 0; deleted < limit && !pending.empty(); ++deleted) {
        CSVGElement* element = pending.back();
        pending.pop_back();
        for (CSVGElement* child : element->m_children) {
            child->m_parent = nullptr;
            pending.push_back(child);
        }
        element->m_children.clear();
        delete element;
    }
}

// The document and its maps go away with the tree, so no element needs to
// leave them one by one. The walk that makes the elements forget the
// document is quick; their deletion is the tree disposal's.
void CSVGElement::deleteTreeQuietly()
{
    std::vector<CSVGElement*> children = std::exchange(m_children, {});
    for (CSVGElement* child : children) {
        child->m_parent = nullptr;
        visitSubtree(child, [](CSVGElement* element) { element->m_document = nullptr; });
    }
    CSVGTreeDisposal::dispose(std::move(children));
}

int CSVGElement::idAttributeId()
{
    static const int id = g_config.getAttributeId(L"id");
    return id;
}

// Every element made asks, so the number is written here rather than by
// the standard library's formatted output.
void CSVGElement::makeInitialId()
{
    do {
        wchar_t digits[24];
        wchar_t* first = std::end(digits);
        for (std::uint64_t number = ++g_idCounter; first == std::end(digits) || number > 0; number /= 10)
            *--first = static_cast<wchar_t>(L'0' + number % 10);
        m_id.reserve(m_tagName->size() + 1 + static_cast<size_t>(std::end(digits) - first));
        m_id = *m_tagName;
        m_id += L'_';
        m_id.append(first, std::end(digits));
    } while (m_document && !m_document->claimNewId(this, m_id));
    m_attributes.set(idAttributeId(), m_id);
}

void CSVGElement::changeId(const std::wstring& id)
{
    if (m_document)
        m_document->dropElementId(this, m_id);
    m_id = id;
    if (m_document && !id.empty())
        m_document->registerElementId(this, id);
}

// The copy comes from the document's factory, so it is of this element's
// class; fill gives it this element's attributes and own text (a text
// element's setText would add a run that the copied children already hold).
template <typename Fill, typename CopyChild>
CSVGElement* CSVGElement::copySubtree(bool deep, Fill fill, CopyChild copyChild)
{
    CSVGElement* copy = m_document ? m_document->createElementOfType(m_type, *m_tagName) : nullptr;
    if (!copy)
        return nullptr;
    CloneScope scope;
    fill(copy);
    if (deep) {
        for (CSVGElement* child : m_children) {
            if (CSVGElement* childCopy = copyChild(child))
                copy->appendChild(childCopy, false, false);
        }
    }
    if (t_cloneDepth == 1)
        copy->registerSubtree();
    return copy;
}

CSVGElement* CSVGElement::clone(bool deep)
{
    const auto fill = [this](CSVGElement* copy) {
        copy->m_attributes = m_attributes;
        copy->m_keepsEmptyValues = m_keepsEmptyValues;
        for (const auto& [id, value] : m_attributes)
            copy->readAttributeField(g_config.getAttributeName(id), value.toWide());
        copy->setAttribute(L"id", std::wstring(), true);
        copy->CSVGElement::setText(m_text, true);
    };
    CSVGElement* copy = copySubtree(deep, fill, [](CSVGElement* child) { return child->clone(true); });
    if (copy && copy->getChildCount() > 0)
        copy->markDocumentModified();
    return copy;
}

CSVGElement* CSVGElement::cloneKeepId(bool deep)
{
    const auto fill = [this](CSVGElement* copy) {
        for (const auto& [id, value] : m_attributes)
            copy->setAttribute(g_config.getAttributeName(id), value.toWide(), false);
        copy->m_keepsEmptyValues = m_keepsEmptyValues;
        copy->CSVGElement::setText(m_text, false);
    };
    return copySubtree(deep, fill, [](CSVGElement* child) { return child->cloneKeepId(true); });
}

void CSVGElement::setAttribute(const std::wstring& name, const std::wstring& value, bool notify)
{
    const int id = name.empty() ? -1 : g_config.getAttributeId(name);
    if (id >= 0)
        storeAttribute(id, name, value, notify);
}

void CSVGElement::reserveAttributes(const std::vector<int>& ids)
{
    const auto added
        = std::count_if(ids.begin(), ids.end(), [this](int id) { return id >= 0 && !m_attributes.find(id); });
    m_attributes.reserveMore(std::size_t(added));
}

void CSVGElement::storeAttribute(int id, const std::wstring& name, const std::wstring& value, bool notify)
{
    m_attributes.set(id, value);
    if (id == idAttributeId())
        changeId(value);
    if (readAttributeField(name, value) && notify)
        setGeometryDirty();
    if (notify) {
        markDocumentModified();
        setModified(true);
    }
}

bool CSVGElement::readAttributeField(const std::wstring&, const std::wstring&)
{
    return false;
}

std::wstring CSVGElement::getAttribute(const std::wstring& name) const
{
    return attributeValue(g_config.findAttributeId(name));
}

std::wstring CSVGElement::getAttribute(const AttributeId& name) const
{
    return attributeValue(name.get());
}

std::wstring CSVGElement::attributeValue(int id) const
{
    const CSVGAttributeText* found = id < 0 ? nullptr : m_attributes.find(id);
    return found ? found->toWide() : std::wstring();
}

std::wstring CSVGElement::getLink() const
{
    static const AttributeId xlinkHref(L"xlink:href");
    static const AttributeId href(L"href");
    std::wstring link = attributeValue(href.get());
    return link.empty() ? attributeValue(xlinkHref.get()) : link;
}

std::wstring CSVGElement::getLinkName() const
{
    static const AttributeId href(L"href");
    return attributeValue(href.get()).empty() ? L"xlink:href" : L"href";
}

bool CSVGElement::isLinkAttribute(const std::wstring& name)
{
    return name == L"xlink:href" || name == L"href";
}

bool CSVGElement::removeAttribute(const std::wstring& name)
{
    const int id = g_config.findAttributeId(name);
    if (m_attributes.erase(id) > 0 && id == idAttributeId())
        changeId(std::wstring());
    return true;
}

bool CSVGElement::clearAttributes()
{
    m_attributes.clear();
    if (!m_id.empty())
        changeId(std::wstring());
    return true;
}

void CSVGElement::setText(const std::wstring& text, bool notify)
{
    m_text = text;
    setModified(true);
    if (notify)
        markDocumentModified();
}

CSVGElement* CSVGElement::getOwnerSvg()
{
    for (CSVGElement* element = this; element; element = element->m_parent) {
        if (element->m_type == SvgType::Svg)
            return element;
    }
    return nullptr;
}

std::set<std::wstring> CSVGElement::getAttributeNames() const
{
    std::set<std::wstring> names;
    for (const auto& entry : m_attributes)
        names.insert(g_config.getAttributeName(entry.first));
    return names;
}

bool CSVGElement::isTearLine() const
{
    static const AttributeId tearLine(L"tear_line");
    const auto marked = [](const CSVGElement* element) { return element->getAttribute(tearLine) == L"true"; };
    if (m_type == SvgType::G && std::any_of(m_children.begin(), m_children.end(), marked))
        return true;
    return marked(this);
}

void CSVGElement::notifyChanged()
{
    emit changed();
}

CSVGElement* CSVGElement::getChild(int index) const
{
    const auto position = static_cast<unsigned int>(index);
    return position < m_children.size() ? m_children[position] : nullptr;
}

CSVGElement* CSVGElement::getPreviousSibling() const
{
    if (!m_parent)
        return nullptr;
    const size_t index = m_parent->indexOf(this);
    return index == 0 || index >= m_parent->m_children.size() ? nullptr : m_parent->m_children[index - 1];
}

CSVGElement* CSVGElement::getNextSibling() const
{
    if (!m_parent)
        return nullptr;
    const size_t index = m_parent->indexOf(this) + 1;
    return index < m_parent->m_children.size() ? m_parent->m_children[index] : nullptr;
}

double CSVGElement::getAttributeNumber(const std::wstring& name) const
{
    const std::wstring value = getAttribute(name);
    return value.empty() ? 0.0 : g_config.parseLength(value);
}

void CSVGElement::setAttributeNumber(const std::wstring& name, double value, bool notify)
{
    if (!name.empty())
        setAttribute(name, CGlobalConfig::numberToText(value), notify);
}

bool CSVGElement::isStyleProperty(const std::wstring& name)
{
    const int id = g_config.findAttributeId(name);
    return id >= 0 && g_config.isInheritableAttribute(static_cast<unsigned int>(id));
}

// No cycles and no second owner. A child without children can be an
// ancestor of nothing but itself: files are read by appending such
// elements, and that must not walk up a deep tree at every element.
bool CSVGElement::canTake(const CSVGElement* child) const
{
    if (!child)
        return false;
    if (child->m_children.empty())
        return child != this;
    for (const CSVGElement* ancestor = this; ancestor; ancestor = ancestor->m_parent) {
        if (ancestor == child)
            return false;
    }
    return true;
}

bool CSVGElement::contains(const CSVGElement* child) const
{
    return child && child->m_parent == this;
}

void CSVGElement::insertAt(CSVGElement* child, size_t position)
{
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(position), child);
    noteChildrenChange();
    child->m_parent = this;
    if (child->m_document != m_document) {
        visitSubtree(child, [this](CSVGElement* element) {
            if (element->m_document)
                element->m_document->forgetElement(element, element->m_id);
            element->m_document = m_document;
        });
    }
    if (!m_checkFlag)
        child->m_checkFlag = false;
    if (child->m_children.empty())
        child->m_modified = true;
    else
        child->setModified(true);
    setGeometryDirty();
}

// From both ends at once: work on the first or the last children (appending,
// removing pieces one after the other) finds them at once.
size_t CSVGElement::indexOf(const CSVGElement* child) const
{
    const size_t count = m_children.size();
    for (size_t front = 0, back = count; front < back; ++front) {
        if (m_children[front] == child)
            return front;
        if (m_children[--back] == child)
            return back;
    }
    return count;
}

// Through the old parent's removeChild, which also takes the subtree out of
// the old document's id map and tile index.
bool CSVGElement::takeFromParent(CSVGElement* child)
{
    if (!child->m_parent)
        return false;
    child->m_parent->removeChild(child, true);
    return true;
}

void CSVGElement::takeOut(CSVGElement* child)
{
    m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(indexOf(child)));
    noteChildrenChange();
    child->m_parent = nullptr;
    setGeometryDirty();
}

bool CSVGElement::appendChild(CSVGElement* child, bool registerIds, bool notify)
{
    if (!canTake(child) || child->m_parent)
        return false;
    insertAt(child, m_children.size());
    if (registerIds)
        child->registerSubtree();
    if (notify)
        markDocumentModified();
    return true;
}

bool CSVGElement::prependChild(CSVGElement* child, bool registerIds, bool notify)
{
    if (!canTake(child) || child->m_parent)
        return false;
    insertAt(child, 0);
    if (registerIds)
        child->registerSubtree();
    if (notify)
        markDocumentModified();
    return true;
}

bool CSVGElement::adoptChild(CSVGElement* child, bool notify)
{
    if (!canTake(child))
        return false;
    if (CSVGElement* oldParent = child->m_parent) {
        if (notify)
            oldParent->markDocumentModified();
        oldParent->removeChild(child, notify);
    }
    insertAt(child, m_children.size());
    child->registerSubtree();
    if (notify)
        markDocumentModified();
    return true;
}

bool CSVGElement::insertChildAfter(CSVGElement* child, CSVGElement* ref, bool registerIds)
{
    if (!canTake(child) || child == ref || (ref && !contains(ref)))
        return false;
    const bool moved = takeFromParent(child);
    insertAt(child, ref ? indexOf(ref) + 1 : m_children.size());
    // A moved subtree lost its ids when it left its old parent.
    if (registerIds || moved)
        child->registerSubtree();
    markDocumentModified();
    return true;
}

bool CSVGElement::insertChildBefore(CSVGElement* child, CSVGElement* ref, bool registerIds, bool notify)
{
    if (!canTake(child) || child == ref || (ref && !contains(ref)))
        return false;
    const bool moved = takeFromParent(child);
    const bool wasEmpty = m_children.empty();
    insertAt(child, ref ? indexOf(ref) : 0);
    if (registerIds || moved)
        child->registerSubtree();
    if (notify || wasEmpty)
        markDocumentModified();
    return true;
}

bool CSVGElement::removeChild(CSVGElement* child, bool notify)
{
    if (!contains(child))
        return false;
    child->unregisterSubtree();
    if (child->isShape() && m_document)
        m_document->removeFromTiles(child);
    takeOut(child);
    // This element changed; its other children did not, and marking them
    // all would make removing many pieces one by one quadratic.
    m_modified = true;
    if (notify)
        markDocumentModified();
    return true;
}

bool CSVGElement::removeChildren(const std::vector<CSVGElement*>& children, bool notify)
{
    if (std::any_of(children.begin(), children.end(),
            [this](const CSVGElement* child) { return !child || child->m_parent != this; }))
        return false;
    for (CSVGElement* child : children) {
        child->unregisterSubtree();
        if (child->isShape() && m_document)
            m_document->removeFromTiles(child);
        child->m_parent = nullptr;
    }
    // Every child named has lost its parent already.
    m_children.erase(
        std::remove_if(m_children.begin(), m_children.end(), [](const CSVGElement* child) { return !child->m_parent; }),
        m_children.end());
    noteChildrenChange();
    setGeometryDirty();
    m_modified = true;
    if (notify)
        markDocumentModified();
    return true;
}

bool CSVGElement::detachChild(CSVGElement* child)
{
    if (!contains(child))
        return false;
    // Out of the tree, out of the hit test: the cells take it back when the
    // element is refreshed in its new place.
    if (child->isShape() && m_document)
        m_document->removeFromTiles(child);
    takeOut(child);
    m_modified = true;
    markDocumentModified();
    return true;
}

void CSVGElement::removeFromParent(bool notify)
{
    if (!m_parent)
        return;
    if (notify)
        markDocumentModified();
    m_parent->removeChild(this, notify);
}

bool CSVGElement::setChildOrder(const std::vector<CSVGElement*>& children)
{
    std::vector<CSVGElement*> given = children;
    std::vector<CSVGElement*> own = m_children;
    std::sort(given.begin(), given.end());
    std::sort(own.begin(), own.end());
    if (given != own)
        return false;
    m_children = children;
    noteChildrenChange();
    setGeometryDirty();
    return true;
}

bool CSVGElement::deleteChild(CSVGElement* child)
{
    if (!removeChild(child, true))
        return false;
    delete child;
    return true;
}

void CSVGElement::deleteChildren()
{
    std::vector<CSVGElement*> children;
    children.swap(m_children);
    noteChildrenChange();
    setGeometryDirty();
    for (CSVGElement* child : children) {
        child->unregisterSubtree();
        child->m_parent = nullptr;
        delete child;
    }
}

void CSVGElement::registerSubtree()
{
    visitSubtree(this, [this](CSVGElement* element) {
        element->m_document = m_document;
        if (!m_document)
            return;
        if (!element->m_id.empty())
            m_document->registerElementId(element, element->m_id);
        if (auto* style = dynamic_cast<CSVGElementStyle*>(element))
            m_document->registerStyleElement(style);
    });
}

void CSVGElement::unregisterSubtree()
{
    visitSubtree(this, [](CSVGElement* element) {
        if (element->m_document) {
            element->m_document->unregisterElementId(element);
            element->m_document->unregisterStyleElement(element);
        }
    });
}

void CSVGElement::collectDescendants(std::vector<CSVGElement*>& out, bool includeSelf)
{
    visitSubtree(this, [&out, includeSelf, this](CSVGElement* element) {
        if (element != this || includeSelf)
            out.push_back(element);
    });
}

void CSVGElement::setModified(bool modified)
{
    if (!modified) {
        m_modified = false;
        return;
    }
    visitSubtree(this, [](CSVGElement* element) { element->m_modified = true; });
}

// An ancestor already marked has its own ancestors marked as far as their
// geometry is made from it: a rebuild clears an element's flag only after
// rebuilding the children it is made from. So the walk stops there, and
// marking a deep tree while it is built stays linear. The document hears of
// every call, as its piece index cannot wait for a rebuild to clear flags.
void CSVGElement::setGeometryDirty()
{
    if (m_document)
        m_document->noteGeometryChange();
    m_geometryDirty = true;
    for (CSVGElement* element = m_parent; element && !element->m_geometryDirty; element = element->m_parent)
        element->m_geometryDirty = true;
}

void CSVGElement::noteChildrenChange()
{
    if (m_document)
        m_document->noteTreeChange();
}

// Only an edit of the drawing counts: a path still being drawn, or a piece
// being built, is no part of it until it is added (which counts).
void CSVGElement::markDocumentModified()
{
    if (!m_document)
        return;
    const CSVGElement* top = this;
    while (top->m_parent)
        top = top->m_parent;
    if (top == m_document)
        m_document->setModified(true);
}
