#include "CSVGDocument.h"

#include "AttributeId.h"
#include "CActionBase.h"
#include "CGlobalConfig.h"
#include "CSVGElementPath.h"
#include "CSVGElementStyle.h"
#include "CSVGRotation.h"
#include "CSVGStyleRule.h"
#include "CSVGTreeDisposal.h"
#include "SafeTruncate.h"
#include "SvgCodes.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QPainterPath>

#include <algorithm>
#include <climits>

namespace {

// The number after the separator. The made ids end in at most nine digits,
// which are read here without a copy.
std::int64_t numberAfter(const std::wstring& id, size_t separator)
{
    const auto digits = id.begin() + static_cast<std::ptrdiff_t>(separator + 1);
    const auto isDigit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    if (id.end() - digits > 9 || !std::all_of(digits, id.end(), isDigit))
        return g_config.parseInt(id.substr(separator + 1));
    std::int64_t number = 0;
    for (auto c = digits; c != id.end(); ++c)
        number = number * 10 + (*c - L'0');
    return number;
}

} // namespace

// "idnoused" is mapped to nothing, so that id is never handed out. A new
// document holds an empty root of the page size.
CSVGDocument::CSVGDocument()
    : CSVGElement(nullptr, L"document", SvgType::Document)
{
    setDocumentPointer(this);
    m_idMap[L"idnoused"] = nullptr;
    releaseTileCellObjects();
    m_viewMatrix.translate(100, 100);
    newDocument();
    initHistory();
    m_comparedAt = m_changeCount;
}

// The undo records go first: the elements they own reach the document as
// they die. Then the tree, quietly: no element unregisters from maps and
// lists that go away with it; the tree and the id tables are freed on the
// disposal thread.
CSVGDocument::~CSVGDocument()
{
    m_history.clear();
    m_tiles.clear();
    deleteTreeQuietly();
    CSVGTreeDisposal::dispose([ids = std::move(m_idMap), used = std::move(m_usedIds)] {});
    delete m_rotation;
    setDocumentPointer(nullptr);
}

// The cells go before the tree, so that no dying element searches them.
// Undo actions may own elements that left the tree; they die while the maps
// that those elements leave are still whole.
void CSVGDocument::clearContents()
{
    m_tiles.clear();
    deleteChildren();
    m_history.deleteAll();
    m_tearLinePlacement.clear();
    m_idMap.clear();
    m_idMap[L"idnoused"] = nullptr;
    m_foreignIds.clear();
    m_usedIds.clear();
    m_intersected.clear();
    m_checkedPieces.clear();
    m_checkRun.reset();
    m_intersectionStale = true;
    m_currentElement = nullptr;
    m_documentModified = false;
    m_contentChanged = true;
    ++m_changeCount;
}

void CSVGDocument::setModified(bool modified)
{
    m_documentModified = modified;
    if (modified)
        ++m_changeCount;
}

double CSVGDocument::getPageHeight()
{
    CSVGElement* root = getOwnerSvg();
    return root ? g_config.parseLength(root->getAttribute(L"height")) : 0.0;
}

// A rectangle thinner than 1e-5 both ways is replaced rather than united, so
// that a point-like first shape does not pull the union to itself.
QRectF CSVGDocument::getContentBoundingRect()
{
    return contentBounds(true);
}

QRectF CSVGDocument::contentBounds(bool drawnOnly)
{
    QRectF bounds;
    CSVGElement* root = getOwnerSvg();
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        const std::optional<CSVGRect> box = !shape ? std::nullopt
            : drawnOnly                            ? shape->getDrawnBoundingRect()
                                                   : shape->getTransformedBoundingRect();
        if (!box)
            continue;
        const QRectF rect = box->toQRectF();
        if (bounds.isNull() || (bounds.width() < 1e-5 && bounds.height() < 1e-5))
            bounds = rect;
        else
            bounds = bounds.united(rect);
    }
    return bounds;
}

QPainterPath CSVGDocument::buildElementPath(CSVGElement* element)
{
    QPainterPath path;
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    if (!shape)
        return path;
    path = shape->getPainterPath();
    for (int i = 0; i < element->getChildCount(); ++i)
        path.addPath(buildElementPath(element->getChild(i)));
    return path;
}

void CSVGDocument::collectSubtree(CSVGElement* element, std::vector<CSVGElement*>& out)
{
    if (element)
        element->collectDescendants(out, true);
}

bool CSVGDocument::lessByDrawingOrder(const CSVGElement* a, const CSVGElement* b)
{
    return a && b && a->getOrderNumber() < b->getOrderNumber();
}

void CSVGDocument::setViewSize(double width, double height)
{
    m_viewSize = QSize(truncateClamped<int>(width, INT_MIN, INT_MAX), truncateClamped<int>(height, INT_MIN, INT_MAX));
    m_backgroundChanged = true;
    m_overlayChanged = true;
}

CSVGRotation* CSVGDocument::getRotation()
{
    if (!m_rotation)
        m_rotation = new CSVGRotation(this);
    return m_rotation;
}

void CSVGDocument::dropRotation()
{
    delete m_rotation;
    m_rotation = nullptr;
}

void CSVGDocument::setShowGrid(bool show)
{
    m_showGrid = show;
    m_backgroundChanged = true;
}

void CSVGDocument::setShowRuler(bool show)
{
    m_showRuler = show;
    m_overlayChanged = true;
}

void CSVGDocument::setCanvasColor(const QColor& color)
{
    m_canvasColor = color;
    m_backgroundChanged = true;
}

void CSVGDocument::setCanvasColorEnabled(bool enabled)
{
    m_canvasColorEnabled = enabled;
    if (!enabled)
        m_canvasColor = Qt::white;
    m_backgroundChanged = true;
}

void CSVGDocument::setCursorVisible(bool visible)
{
    if (m_cursorVisible == visible)
        return;
    m_cursorVisible = visible;
    m_overlayChanged = true;
}

CSVGElement* CSVGDocument::getOwnerSvg()
{
    for (int i = 0; i < getChildCount(); ++i) {
        if (getChild(i)->getType() == SvgType::Svg)
            return getChild(i);
    }
    return nullptr;
}

CSVGElement* CSVGDocument::getElementById(const std::wstring& id) const
{
    if (id.empty())
        return nullptr;
    const auto found = m_idMap.find(id);
    return found == m_idMap.end() ? nullptr : found->second;
}

// Only under the element's own id: the element's destructor and its renames
// drop that entry, so the map can never name a deleted element.
void CSVGDocument::registerElementId(CSVGElement* element, const std::wstring& id)
{
    if (!m_idTracking || !element || id.empty() || element->getId() != id)
        return;
    raiseIdCounterPast(id);
    const std::wstring_view key = idKey(element);
    const auto [entry, added] = m_idMap.try_emplace(key, element);
    if (added)
        return;
    // The key of another element's entry is that element's id.
    auto node = m_idMap.extract(entry);
    releaseIdKey(node.key());
    node.key() = key;
    node.mapped() = element;
    m_idMap.insert(std::move(node));
}

// An element of another document changes its id without this document
// hearing of it, so its key is a copy.
std::size_t CSVGDocument::IdHash::operator()(std::wstring_view id) const
{
    const size_t kMaxDigits = 18;
    size_t digits = 0;
    std::size_t number = 0;
    std::size_t scale = 1;
    for (; digits < id.size() && digits < kMaxDigits; ++digits) {
        const wchar_t c = id[id.size() - 1 - digits];
        if (c < L'0' || c > L'9')
            break;
        number += scale * std::size_t(c - L'0');
        scale *= 10;
    }
    return number + std::hash<std::wstring_view>()(id.substr(0, id.size() - digits));
}

std::wstring_view CSVGDocument::idKey(CSVGElement* element)
{
    if (element->getDocument() == this)
        return element->getId();
    return *m_foreignIds.insert(element->getId()).first;
}

void CSVGDocument::releaseIdKey(std::wstring_view key)
{
    if (!m_foreignIds.empty())
        m_foreignIds.erase(std::wstring(key));
}

// One look-up in the map for both the test and the entry: every element
// made asks.
bool CSVGDocument::claimNewId(CSVGElement* element, const std::wstring& id)
{
    if (!m_usedIds.empty() && m_usedIds.count(id) > 0)
        return false;
    if (!m_idTracking || !element || element->getId() != id)
        return m_idMap.count(id) == 0;
    if (!m_idMap.try_emplace(idKey(element), element).second)
        return false;
    raiseIdCounterPast(id);
    return true;
}

void CSVGDocument::raiseIdCounterPast(const std::wstring& id)
{
    const size_t underscore = id.find(L'_');
    if (underscore != std::wstring::npos && underscore + 1 < id.size()) {
        const std::int64_t number = numberAfter(id, underscore);
        if (m_idCounter <= number)
            m_idCounter = number + 1;
    }
}

void CSVGDocument::unregisterElementId(CSVGElement* element)
{
    if (!element)
        return;
    const std::wstring id = element->getId();
    if (getElementById(id) != element)
        return;
    if (element->isShape())
        emit elementRemoved(element);
    dropElementId(element, id);
}

void CSVGDocument::dropElementId(CSVGElement* element, const std::wstring& id)
{
    const auto found = m_idMap.find(id);
    if (found == m_idMap.end() || found->second != element)
        return;
    // Handed out once, the id is never handed out again; while it is mapped
    // the map says so, so only an id that leaves it is kept here.
    m_usedIds.emplace(found->first);
    releaseIdKey(found->first);
    m_idMap.erase(found);
}

bool CSVGDocument::isIdTaken(const std::wstring& id) const
{
    return m_idMap.count(id) > 0 || m_usedIds.count(id) > 0;
}

std::wstring CSVGDocument::makeUniqueId(const std::wstring& tagName)
{
    const auto idFor = [&tagName](std::int64_t number) { return tagName + L'_' + std::to_wstring(number); };
    std::wstring id = idFor(m_idCounter);
    while (isIdTaken(id))
        id = idFor(++m_idCounter);
    m_usedIds.insert(id);
    return id;
}

void CSVGDocument::renumberDrawingOrder()
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    std::vector<CSVGElement*> elements;
    root->collectDescendants(elements, true);
    int number = 0;
    for (CSVGElement* element : elements) {
        element->setOrderNumber(++number);
        if (element->getId().empty())
            element->setAttribute(L"id", makeUniqueId(element->getTagName()), false);
    }
}

bool CSVGDocument::isReferenced(const std::wstring& id) const
{
    return m_referencedIds.count(id) > 0;
}

// Only what is written counts: the root's subtree, and a paint server's own
// references only once it is written itself (referenced, inside no paint
// server that is not). Otherwise a reference from something left out would
// keep a server in the file that the next load and save drop.
void CSVGDocument::updateReferencedIds()
{
    m_referencedIds.clear();
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    const auto isServer = [](const CSVGElement* element) {
        const int type = element->getType();
        return type == SvgType::LinearGradient || type == SvgType::RadialGradient || type == SvgType::Pattern;
    };
    // Each paint server with the nearest paint server around it.
    std::vector<std::pair<CSVGElement*, CSVGElement*>> servers;
    const auto scan = [&](CSVGElement* top) {
        std::vector<CSVGElement*> stack { top };
        while (!stack.empty()) {
            CSVGElement* element = stack.back();
            stack.pop_back();
            if (element != top && isServer(element))
                continue;
            addReferencesOf(element);
            for (int i = element->getChildCount() - 1; i >= 0; --i)
                stack.push_back(element->getChild(i));
        }
    };
    // One walk finds the servers and the references of what lies in none:
    // a large drawing is too much to walk twice.
    std::vector<std::pair<CSVGElement*, CSVGElement*>> stack { { root, nullptr } };
    while (!stack.empty()) {
        const auto [element, around] = stack.back();
        stack.pop_back();
        const bool server = isServer(element);
        if (server)
            servers.emplace_back(element, around);
        else if (!around)
            addReferencesOf(element);
        for (int i = element->getChildCount() - 1; i >= 0; --i)
            stack.emplace_back(element->getChild(i), server ? element : around);
    }
    std::set<const CSVGElement*> written;
    for (bool more = true; more;) {
        more = false;
        for (const auto& [server, around] : servers) {
            if (written.count(server) == 0 && m_referencedIds.count(server->getId()) > 0
                && (!around || written.count(around) > 0)) {
                written.insert(server);
                scan(server);
                more = true;
            }
        }
    }
}

// Paint values, links of "#id", and style sheets whole: rules of
// other selectors than classes paint too.
void CSVGDocument::addReferencesOf(const CSVGElement* element)
{
    // Asked of every element: by id, not by a name looked up each time.
    static const AttributeId fill(L"fill");
    static const AttributeId stroke(L"stroke");
    static const AttributeId style(L"style");
    for (const AttributeId* name : { &fill, &stroke, &style })
        addUrlReferences(element->CSVGElement::getAttribute(*name), m_referencedIds);
    const int type = element->getType();
    if (type == SvgType::Style || type == SvgType::CData)
        addUrlReferences(element->getText(), m_referencedIds);
    if (type == SvgType::Style) {
        for (const CSVGStyleRule* rule : static_cast<const CSVGElementStyle*>(element)->getRules())
            addUrlReferences(rule->getText(), m_referencedIds);
    }
    const std::wstring href = element->getLink();
    if (!href.empty() && href[0] == L'#')
        m_referencedIds.insert(href.substr(1));
}

// Every "url(#id)" of a paint value or of declaration text.
// Also "url( #id )" and "url('#id')", which renderers accept.
void CSVGDocument::addUrlReferences(const std::wstring& text, std::unordered_set<std::wstring>& ids)
{
    const wchar_t* const skipped = L" \t\r\n'\"";
    for (size_t found = text.find(L"url("); found != std::wstring::npos; found = text.find(L"url(", found + 1)) {
        const size_t hash = text.find_first_not_of(skipped, found + 4);
        if (hash == std::wstring::npos || text[hash] != L'#')
            continue;
        const size_t end = std::min(text.find_first_of(L")'\" \t\r\n", hash + 1), text.size());
        ids.insert(text.substr(hash + 1, end - hash - 1));
    }
}

void CSVGDocument::registerStyleElement(CSVGElementStyle* style)
{
    if (style && std::find(m_styleElements.begin(), m_styleElements.end(), style) == m_styleElements.end())
        m_styleElements.push_back(style);
}

// Every element that dies asks, so the element may be of any class.
bool CSVGDocument::unregisterStyleElement(const CSVGElement* style)
{
    const auto found = std::find_if(m_styleElements.begin(), m_styleElements.end(),
        [style](const CSVGElementStyle* listed) { return static_cast<const CSVGElement*>(listed) == style; });
    if (found == m_styleElements.end())
        return false;
    m_styleElements.erase(found);
    return true;
}

CSVGStyleRule* CSVGDocument::findStyleRule(const std::wstring& name) const
{
    for (auto style = m_styleElements.rbegin(); style != m_styleElements.rend(); ++style) {
        if (CSVGStyleRule* rule = (*style)->findRule(name))
            return rule;
    }
    return nullptr;
}

// The element inside a group becomes the current element with a red record;
// the group that holds it is selected. An element outside the drawing (one
// that an undo took out) is never selected.
void CSVGDocument::selectElement(CSVGElement* element, const QColor& color)
{
    if (addToSelection(element, color))
        emit selectionChanged();
}

bool CSVGDocument::addToSelection(CSVGElement* element, const QColor& color)
{
    if (m_historyReplay || !element || element->isLocked() || !isInDrawing(element))
        return false;
    m_selectionRect = QRectF();
    CSVGElement* target = element;
    if (element->getParent() != getOwnerSvg()) {
        if (m_currentElement)
            m_highlights.removeElement(m_currentElement);
        m_currentElement = element;
        m_highlights.addElement(element, Qt::red);
        for (CSVGElement* ancestor = element->getParent(); ancestor && ancestor->getType() != SvgType::Svg;
             ancestor = ancestor->getParent()) {
            if (ancestor->isShape())
                target = ancestor;
        }
    }
    m_highlights.addElement(target, color);
    m_overlayChanged = true;
    if (m_selected.contains(target))
        return false;
    target->clearNodeSelection();
    m_selection.append(target);
    m_selected.insert(target);
    return true;
}

void CSVGDocument::unselectElement(CSVGElement* element)
{
    m_selectionRect = QRectF();
    m_overlayChanged = true;
    if (m_selection.isEmpty())
        return;
    m_highlights.removeElement(element);
    if (m_selected.remove(element))
        m_selection.removeAll(element);
}

// The pending transform of the undo history closes here too.
void CSVGDocument::clearSelection()
{
    m_selection.clear();
    m_selected.clear();
    m_currentElement = nullptr;
    m_highlights.clear();
    m_currentNode = HighlightNode();
    m_overlayChanged = true;
    m_caretIndex = -1;
    m_selectionRect = QRectF();
    endTransformAction();
    endRotation();
    emit selectionChanged();
}

void CSVGDocument::clearCurrentElement()
{
    if (m_currentElement)
        m_highlights.removeElement(m_currentElement);
    m_currentElement = nullptr;
    m_overlayChanged = true;
}

void CSVGDocument::rebuildHighlights()
{
    m_highlights.rebuildAll();
    m_overlayChanged = true;
}

void CSVGDocument::addToTiles(CSVGElement* element)
{
    m_tiles.add(element);
}

// Not through unselectElement: a dying element must not be asked for its
// children.
void CSVGDocument::forgetElement(CSVGElement* element, const std::wstring& id)
{
    if (m_selected.remove(element))
        m_selection.removeAll(element);
    if (m_currentElement == element)
        m_currentElement = nullptr;
    dropElementId(element, id);
    unregisterStyleElement(element);
    m_highlights.forgetElement(element);
    m_tiles.forget(element);
    m_intersected.erase(element);
    if (m_checkRun)
        m_checkRun->outdated = true;
    if (m_currentNode.element == element)
        m_currentNode = HighlightNode();
    if (m_hoverNode.element == element)
        m_hoverNode = HighlightNode();
}

bool CSVGDocument::isOutlineEditMode() const
{
    return (m_editMode >= EditMode::CutCurve && m_editMode <= EditMode::PartialExpand)
        || (m_editMode >= EditMode::MovePoint && m_editMode <= EditMode::AddNode);
}

CSVGElementPath* CSVGDocument::createPathElement(const QPainterPath& path)
{
    return createPathElement(std::vector<QPainterPath> { path }, false);
}

CSVGElementPath* CSVGDocument::createPathElement(const QVector<QPolygonF>& rings)
{
    std::vector<QPainterPath> paths;
    for (const QPolygonF& ring : rings) {
        QPainterPath path;
        path.addPolygon(ring);
        path.closeSubpath();
        paths.push_back(path);
    }
    return createPathElement(paths, true);
}

CSVGElementPath* CSVGDocument::createPathElement(const std::vector<QPainterPath>& paths, bool evenOdd)
{
    return createPathElement(CSVGElementPath::prepare(paths), evenOdd);
}

CSVGElementPath* CSVGDocument::createPathElement(CSVGElementPath::Prepared outline, bool evenOdd)
{
    auto* element = static_cast<CSVGElementPath*>(createElement(L"path"));
    static const std::wstring stroke(L"stroke"), width(L"stroke-width"), dashes(L"stroke-dasharray"),
        opacity(L"stroke-opacity"), one(L"1"), fill(L"fill"), fillOpacity(L"fill-opacity");
    // The fill too: without one, other programs fill the outline black.
    element->setAttributes(
        { { stroke, m_defaultStroke }, { width, m_defaultStrokeWidth }, { dashes, m_defaultStrokeDashArray },
            { opacity, one }, { fill, m_defaultFill }, { fillOpacity, m_defaultFillOpacity } });
    if (evenOdd)
        element->setAttribute(L"fill-rule", L"evenodd", false);
    element->updateMatrix(nullptr, true);
    element->adopt(std::move(outline));
    return element;
}

void CSVGDocument::noteTreeChange()
{
    ++m_treeRevision;
    ++m_changeCount;
    static const QMetaMethod signal = QMetaMethod::fromSignal(&CSVGDocument::treeChanged);
    if (m_treeChangeQueued || !isSignalConnected(signal))
        return;
    m_treeChangeQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this]() {
            m_treeChangeQueued = false;
            emit treeChanged();
        },
        Qt::QueuedConnection);
}
