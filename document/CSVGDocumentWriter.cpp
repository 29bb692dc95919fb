// The SVG writer: the whole drawing for saving, the page for cutting, the
// selection for the clipboard.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGElementShape.h"
#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"
#include "CSVGXmlNode.h"
#include "SvgCodes.h"

#include <QJsonDocument>
#include <QPainterPath>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <tuple>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

using Ns = CSVGXmlNode;
// Prefixes that no table names are declared under a name made from this one
// and the prefix, so that the file stays XML: under one name for all, the
// attributes a:x and b:x of one element would be the same attribute.
const wchar_t* const kOtherNamespace = L"http://www.zocut.local/ns/other";

// The namespaces of the known prefixes; "xmlns" and "xml" are never
// declared.
const std::map<std::wstring, std::wstring>& knownNamespaces()
{
    static const std::map<std::wstring, std::wstring> namespaces = {
        { L"dc", L"http://purl.org/dc/elements/1.1/" },
        { L"cc", L"http://creativecommons.org/ns#" },
        { L"rdf", L"http://www.w3.org/1999/02/22-rdf-syntax-ns#" },
        { L"svg", Ns::kSvgNamespace },
        { L"xlink", Ns::kXlinkNamespace },
        { L"sodipodi", L"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd" },
        { L"inkscape", L"http://www.inkscape.org/namespaces/inkscape" },
        { L"xmlns", L"" },
        { L"xml", L"" },
    };
    return namespaces;
}

// Setting a value that is already there would only mark the whole tree
// changed.
void setIfChanged(CSVGElement* element, const std::wstring& name, const std::wstring& value)
{
    if (element->getAttribute(name) != value)
        element->setAttribute(name, value, true);
}

// Id tracking stays off while the working copy is made, and comes back
// however the write ends.
class IdTrackingPause
{
public:
    explicit IdTrackingPause(CSVGDocument* document)
        : m_document(document)
    {
        m_document->setIdTracking(false);
    }
    ~IdTrackingPause() { m_document->setIdTracking(true); }
    IdTrackingPause(const IdTrackingPause&) = delete;
    IdTrackingPause& operator=(const IdTrackingPause&) = delete;

private:
    CSVGDocument* m_document;
};

// The position key: the left edge on a grid of 0.001, then the top edge. A
// grid, unlike "closer than 0.001", is transitive; NaN sorts first.
using PositionKey = std::tuple<int, double, double>;

double orderable(double value)
{
    return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

PositionKey positionKey(CSVGElement* element)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    if (!shape)
        return PositionKey(0, 0.0, 0.0);
    const CSVGRect box = shape->getTransformedBoundingRect();
    return PositionKey(1, orderable(std::round(box.x * 1000.0)), orderable(box.y));
}

// Sorted once by keys computed once.
void sortByPosition(CSVGElement* parent)
{
    std::vector<std::pair<PositionKey, CSVGElement*>> keyed;
    for (int i = 0; i < parent->getChildCount(); ++i)
        keyed.emplace_back(positionKey(parent->getChild(i)), parent->getChild(i));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CSVGElement*> order;
    for (const auto& entry : keyed)
        order.push_back(entry.second);
    parent->setChildOrder(order);
}

// Room for a text of about that length, taken at once. A text of tens of
// megabytes spends much of its writing time on the system's first touch of
// each page; on Linux it asks for large pages there. Buffers this large
// have pages of their own, so the advice touches nothing else.
void reserveText(std::wstring& out, size_t length)
{
    out.reserve(length);
#ifdef Q_OS_LINUX
    static const auto kPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    constexpr size_t kLarge = size_t(32) << 20;
    if (out.capacity() * sizeof(wchar_t) < kLarge)
        return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(out.data()) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(out.data() + out.capacity()) & ~(kPage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

} // namespace

const std::wstring& CSVGDocument::xmlDeclaration()
{
    static const std::wstring declaration = L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";
    return declaration;
}

std::wstring CSVGDocument::toSvgText(
    const CSVGRect& region, int widthLimit, double overlap, int firstSection, int lastSection, bool plotEnd)
{
    std::wstring text = xmlDeclaration();
    appendSvgBody(text, region, widthLimit, overlap, firstSection, lastSection, plotEnd);
    return text;
}

// Without a page the region would be empty, which means the whole drawing.
std::wstring CSVGDocument::pageToSvgText(
    int widthLimit, double overlap, int firstSection, int lastSection, bool plotEnd)
{
    if (getMappedPageRect().isEmpty() || !checkNoIntersection())
        return std::wstring();
    return toSvgText(getCutRegion(), widthLimit, overlap, firstSection, lastSection, plotEnd);
}

// The text goes to the file a piece at a time: held whole, in the writer's
// wide characters and again encoded, a large drawing's text would take more
// room than its elements.
bool CSVGDocument::saveFile(const QString& path)
{
    return writeTextFile(path, [this](const std::function<bool(const std::wstring&)>& write) {
        constexpr size_t kPiece = 1 << 20;
        bool written = true;
        const auto flush = [&write, &written](std::wstring& out) {
            if (out.size() >= kPiece) {
                written = written && write(out);
                out.clear();
            }
        };
        std::wstring text = xmlDeclaration() + L'\n';
        appendSvgBody(text, CSVGRect(), -1, 0.0, -1, -1, false, flush);
        return written && write(text);
    });
}

void CSVGDocument::writeSvgBody(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap,
    int firstSection, int lastSection, bool plotEnd)
{
    out.clear();
    appendSvgBody(out, region, widthLimit, overlap, firstSection, lastSection, plotEnd);
}

// Appends, so that the declaration and a large body share one text. An
// empty region writes the tree itself: the working copy would give the same
// text, since the reader reads back what the writer writes.
void CSVGDocument::appendSvgBody(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap,
    int firstSection, int lastSection, bool plotEnd, const std::function<void(std::wstring&)>& flush)
{
    // What the writer settles of its own (namespaces, version, the custom
    // positions' text) is no change of the drawing: a drawing that was only
    // written, for a preview or a cut, stays unmodified.
    const QScopedValueRollback<bool> unmodified(m_documentModified);
    for (CSVGElementStyle* style : m_styleElements)
        style->updateSheetText();
    giveMissingIds();
    updateReferencedIds();
    const size_t textLength = updateRootNamespaces();
    IdTrackingPause pause(this);
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    const std::wstring positions = customPositionsText();
    setIfChanged(root, L"custom_positions", positions);
    if (!region.isEmpty()) {
        writeRegion(out, region, widthLimit, overlap, firstSection, lastSection, plotEnd);
        return;
    }
    appendOutsideRoot(out, true);
    if (flush) {
        root->writeSvgInPieces(out, flush);
    } else {
        reserveText(out, out.size() + textLength + positions.size());
        root->writeSvg(out, 0, region);
    }
    appendOutsideRoot(out, false);
}

// What the file holds around its drawing: comments and processing
// instructions (a style sheet among them) before and after the root, and
// before it the first document type declaration. Each on a line of its own.
// Nothing else may stand beside the root in XML; the XML declaration is the
// writer's own.
void CSVGDocument::appendOutsideRoot(std::wstring& out, bool before)
{
    const CSVGElement* root = getOwnerSvg();
    bool pastRoot = false;
    bool doctype = false;
    for (int i = 0; i < getChildCount(); ++i) {
        CSVGElement* child = getChild(i);
        pastRoot = pastRoot || child == root;
        const int type = child->getType();
        const bool first = type == SvgType::Doctype && !doctype;
        doctype = doctype || type == SvgType::Doctype;
        if (pastRoot == before || child == root || !(type == SvgType::Comment || (first && before)))
            continue;
        const size_t at = out.size();
        if (!out.empty() && out.back() != L'\n')
            out += L'\n';
        if (child->writeSvg(out, 0, CSVGRect()))
            out += L'\n';
        else
            out.resize(at);
    }
}

void CSVGDocument::writeRegion(std::wstring& out, const CSVGRect& region, int widthLimit, double overlap,
    int firstSection, int lastSection, bool plotEnd)
{
    CSVGDocument work;
    copyRegionInto(work, region);
    CSVGElement* workRoot = work.getOwnerSvg();
    work.updateReferencedIds();
    work.updateRootNamespaces();
    for (int i = 0; i < workRoot->getChildCount(); ++i) {
        CSVGElement* child = workRoot->getChild(i);
        if (child->isShape() && child->getChildCount() > 0)
            sortByPosition(child);
    }
    sortByPosition(workRoot);
    if (plotEnd)
        addPlotEndMarks(work);
    if (widthLimit >= 1)
        keepSections(work, widthLimit, overlap, firstSection, lastSection);
    workRoot->writeSvg(out, 0, CSVGRect());
}

// The root with copies of the pieces in the region, their matrices and
// boxes up to date. The copies are made while id tracking is off, so they
// leave no trace in this document's id map.
void CSVGDocument::copyRegionInto(CSVGDocument& work, const CSVGRect& region)
{
    work.deleteChildren();
    CSVGElement* root = getOwnerSvg();
    CSVGElement* workRoot = root->cloneKeepId(false);
    work.appendChild(workRoot, true, false);
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElement* child = root->getChild(i);
        if (child->isShape() && child->isWithinRegion(region))
            workRoot->appendChild(child->cloneKeepId(true), true, false);
    }
    workRoot->updateMatrix(nullptr, false);
    for (int i = 0; i < workRoot->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(workRoot->getChild(i)))
            shape->getTransformedBoundingRect();
    }
}

// Two vertical lines "PlotEnd" past the content, leaving a gap of one unit
// about the middle of the page's height.
void CSVGDocument::addPlotEndMarks(CSVGDocument& work)
{
    CSVGElement* workRoot = work.getOwnerSvg();
    const double x = g_config.getSetting(QStringLiteral("PlotEnd")).toDouble() + work.getContentBoundingRect().right();
    const double height = m_pageRect.height();
    const QPointF ends[2][2]
        = { { { x, height * 0.5 - 0.5 }, { x, 0.0 } }, { { x, height * 0.5 + 0.5 }, { x, height } } };
    for (const auto& end : ends) {
        QPainterPath line(end[0]);
        line.lineTo(end[1]);
        workRoot->appendChild(work.createPathElement(line), true, true);
    }
}

// Every element read back gets an id; one written without (a file's empty
// "id", a fresh copy) would come back with another each time. So every
// element that is written as an element carries one.
void CSVGDocument::giveMissingIds()
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return;
    std::vector<CSVGElement*> elements;
    root->collectDescendants(elements, true);
    for (CSVGElement* element : elements) {
        const int type = element->getType();
        const bool markup = type == SvgType::Comment || type == SvgType::CData || type == SvgType::Doctype;
        if (!markup && element->getId().empty())
            element->setAttribute(L"id", makeUniqueId(element->getTagName()), false);
    }
}

std::wstring CSVGDocument::customPositionsText() const
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QByteArray binary = QJsonDocument(m_customPositions).toBinaryData();
    QT_WARNING_POP
    return QString::fromUtf8(binary.toBase64()).toStdWString();
}

// A prefix outside the table keeps a declaration the file already made; a
// new one gets the catch-all name.
size_t CSVGDocument::updateRootNamespaces()
{
    CSVGElement* root = getOwnerSvg();
    if (!root)
        return 0;
    setIfChanged(root, L"xmlns", Ns::kSvgNamespace);
    setIfChanged(root, L"xmlns:xlink", Ns::kXlinkNamespace);
    setIfChanged(root, L"version", L"1.1");
    std::set<std::wstring> names;
    const size_t textLength = root->surveyForWriting(names);
    std::set<std::wstring> declarations;
    for (const std::wstring& name : names) {
        const size_t colon = name.find(L':');
        if (colon != std::wstring::npos && colon >= 1 && CSVGXmlNode::isName(name.substr(0, colon), false))
            declarations.insert(L"xmlns:" + name.substr(0, colon));
    }
    // The first change marks the whole tree modified; the declarations after
    // it are set quietly, or a file of many prefixes would walk the tree once
    // for each.
    bool notified = false;
    for (const std::wstring& declaration : declarations) {
        const std::wstring prefix = declaration.substr(6);
        const std::wstring name = prefixNamespace(prefix);
        const std::wstring now = root->getAttribute(declaration);
        if ((isKnownPrefix(prefix) ? !name.empty() : now.empty()) && now != name) {
            root->setAttribute(declaration, name, !notified);
            notified = true;
        }
    }
    return textLength + names.size() * 64;
}

bool CSVGDocument::isKnownPrefix(const std::wstring& prefix)
{
    return knownNamespaces().count(prefix) > 0;
}

std::wstring CSVGDocument::prefixNamespace(const std::wstring& prefix)
{
    const auto known = knownNamespaces().find(prefix);
    return known != knownNamespaces().end() ? known->second : kOtherNamespace + (L'/' + prefix);
}

std::wstring CSVGDocument::selectionToSvgText()
{
    std::vector<CSVGElement*> selected(m_selection.begin(), m_selection.end());
    std::stable_sort(selected.begin(), selected.end(), lessByDrawingOrder);
    std::wstring out;
    // Writing leaves the tree as it is, so the referenced ids found once
    // hold for every piece: once per piece made a copy of many pieces
    // quadratic.
    updateReferencedIds();
    for (CSVGElement* element : selected) {
        if (element->isTearLine())
            continue;
        writeClassStyleOf(element, out);
        element->writeSvg(out, 0, CSVGRect());
        out += L'\n';
    }
    return out;
}

void CSVGDocument::writeElementWithClassStyle(CSVGElement* element, std::wstring& out)
{
    updateReferencedIds();
    writeClassStyleOf(element, out);
}

void CSVGDocument::writeClassStyleOf(CSVGElement* element, std::wstring& out)
{
    const auto writeServer = [this, &out](const std::wstring& id) {
        if (CSVGElement* server = getElementById(id))
            server->writeSvg(out, 0, CSVGRect());
    };
    const std::wstring fill = element->getAttribute(L"fill");
    if (fill.find(L"url(") != std::wstring::npos)
        writeServer(CGlobalConfig::getUrlReferenceId(fill));
    const std::wstring className = element->getAttribute(L"class");
    const CSVGStyleRule* rule = className.empty() ? nullptr : findStyleRule(className);
    if (!rule)
        return;
    out += L"<style type=\"text/css\">\n.";
    CSVGXmlNode::appendEscaped(out, className);
    out += L'{';
    CSVGXmlNode::appendEscaped(out, rule->getText());
    out += L"}\n</style>\n";
    for (const std::wstring& id : rule->getFillUrlIds())
        writeServer(id);
}

bool CSVGDocument::lessByPosition(CSVGElement* a, CSVGElement* b)
{
    return positionKey(a) < positionKey(b);
}
