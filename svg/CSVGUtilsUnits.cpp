// The nesting units of drawn elements: their outlines in canvas coordinates,
// and the path elements and groups that the nested outlines become.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGUtils.h"
#include "ParallelLoop.h"
#include "SvgCodes.h"

#include <iterator>
#include <utility>
#include <vector>

namespace {
// Gives new elements the "position_id" of their outlines' sources and the
// paint the sources are drawn with, read once for a run of outlines from one
// source: those of a merge all come from one element.
class SourceAttributes
{
public:
    void operator()(const CSVGOutline& outline, CSVGElement* target)
    {
        static const std::wstring name(L"position_id");
        if (!outline.element)
            return;
        if (outline.element != m_source) {
            m_source = outline.element;
            m_value = m_source->getAttribute(name);
            m_paint = CSVGElementStyleable::inheritedPaint(m_source);
        }
        if (target->isStyleable()) {
            auto* styleable = static_cast<CSVGElementStyleable*>(target);
            styleable->setAttributes(m_paint);
            styleable->setStyleDirty(true);
        }
        target->setAttribute(name, m_value, true);
    }

private:
    CSVGElement* m_source = nullptr;
    std::wstring m_value;
    std::vector<std::pair<std::wstring, std::wstring>> m_paint;
};
} // namespace

CSVGUtils::CSVGUtils(CSVGDocument* document)
    : m_document(document)
{
}

std::vector<CSVGOutline> CSVGUtils::outlinesOfElement(CSVGElement* element)
{
    CSVGElementShape* shape = CSVGElementShape::asShape(element);
    if (!shape)
        return {};
    const QPainterPath path = shape->getPainterPath();
    return outlinesOfPath(shape->getMatrix().toQTransform().map(path), element);
}

// Depth first with an explicit stack, children in order: the depth of a tree
// read from a file must not decide the depth of the call stack.
void CSVGUtils::collectOutlines(CSVGElement* element, std::vector<CSVGOutline>& outlines, bool drawnOnly)
{
    std::vector<CSVGElement*> pending;
    if (element)
        pending.push_back(element);
    while (!pending.empty()) {
        CSVGElement* current = pending.back();
        pending.pop_back();
        if (current->getType() != SvgType::Text) {
            std::vector<CSVGOutline> own = outlinesOfElement(current);
            std::move(own.begin(), own.end(), std::back_inserter(outlines));
        }
        for (int i = current->getChildCount() - 1; i >= 0; --i) {
            CSVGElementShape* child = CSVGElementShape::asShape(current->getChild(i));
            if (child && !(drawnOnly && child->isHidden()))
                pending.push_back(child);
        }
    }
}

QList<CSVGElement*> CSVGUtils::collectShapes(CSVGElement* element)
{
    QList<CSVGElement*> shapes;
    std::vector<CSVGElement*> pending;
    if (element)
        pending.push_back(element);
    while (!pending.empty()) {
        CSVGElement* current = pending.back();
        pending.pop_back();
        if (current->getChildCount() == 0 && current->isShape())
            shapes.append(current);
        for (int i = current->getChildCount() - 1; i >= 0; --i)
            pending.push_back(current->getChild(i));
    }
    return shapes;
}

QList<CSVGElement*> CSVGUtils::buildNestingUnits(std::vector<CSVGOutline> outlines)
{
    if (!m_document)
        return {};
    const double minimumArea = g_config.getSetting(QStringLiteral("NestingMinArea")).toDouble();
    return unitElements(nestOutlines(std::move(outlines), minimumArea));
}

QList<CSVGElement*> CSVGUtils::buildNestingUnits(std::vector<CSVGOutline> outlines, const std::vector<int>& parents)
{
    if (!m_document)
        return {};
    const double minimumArea = g_config.getSetting(QStringLiteral("NestingMinArea")).toDouble();
    return unitElements(nestOutlines(std::move(outlines), minimumArea, parents));
}

// The path elements' outlines are worked out on all cores first; the
// elements are then made one by one, in the order that gives them their
// ids.
QList<CSVGElement*> CSVGUtils::unitElements(const std::vector<CSVGOutline>& units)
{
    std::vector<const CSVGOutline*> order;
    for (const CSVGOutline& unit : units) {
        if (!unit.children.empty())
            appendInnermostFirst(unit, order);
        else if (!isTwoPointRing(unit.path))
            order.push_back(&unit);
    }
    std::vector<CSVGElementPath::Prepared> prepared(order.size());
    // A few outlines are worked out sooner than threads start.
    ParallelLoop::run(int(order.size()), order.size() < 256 ? 1 : 0,
        [&](int i) { prepared[std::size_t(i)] = CSVGElementPath::prepare({ order[std::size_t(i)]->path }); });
    auto next = prepared.begin();
    SourceAttributes fromSource;
    QList<CSVGElement*> elements;
    for (const CSVGOutline& unit : units) {
        if (!unit.children.empty()) {
            if (CSVGElement* group = makeGroup(unit, next))
                elements.append(group);
        } else if (!isTwoPointRing(unit.path)) {
            CSVGElement* path = m_document->createPathElement(std::move(*next++));
            fromSource(unit, path);
            elements.append(path);
        }
    }
    return elements;
}

bool CSVGUtils::isTwoPointRing(const QPainterPath& path)
{
    return path.elementCount() == 3 && path.pointAtPercent(0.0) == path.pointAtPercent(1.0);
}

// Without a root there is nowhere to put the group, and handing back the
// unit's source element instead would let the caller attach or delete an
// element that is still elsewhere in the tree. The unit's outlines are
// taken from next on all the same, so that those of the next units stay in
// step.
CSVGElement* CSVGUtils::makeGroup(const CSVGOutline& unit, std::vector<CSVGElementPath::Prepared>::iterator& next)
{
    std::vector<const CSVGOutline*> outlines;
    appendInnermostFirst(unit, outlines);
    CSVGElement* root = m_document ? m_document->getOwnerSvg() : nullptr;
    if (!root) {
        next += std::ptrdiff_t(outlines.size());
        return nullptr;
    }
    SourceAttributes fromSource;
    CSVGElement* group = m_document->createElement(L"g");
    fromSource(unit, group);
    root->appendChild(group, false, true);
    for (const CSVGOutline* outline : outlines) {
        CSVGElement* path = m_document->createPathElement(std::move(*next++));
        fromSource(*outline, path);
        group->appendChild(path, false, true);
    }
    group->updateMatrix(nullptr, true);
    if (CSVGElementShape* shape = CSVGElementShape::asShape(group))
        shape->updateGeometry();
    return group;
}

// Every outline below the unit, innermost first, then the unit itself; with
// an explicit stack, since outlines may nest as deep as a drawing has rings
// inside rings.
void CSVGUtils::appendInnermostFirst(const CSVGOutline& unit, std::vector<const CSVGOutline*>& order)
{
    std::vector<std::pair<const CSVGOutline*, std::size_t>> pending { { &unit, 0 } };
    while (!pending.empty()) {
        auto& [outline, next] = pending.back();
        if (next < outline->children.size()) {
            const CSVGOutline* child = &outline->children[next++];
            pending.emplace_back(child, 0);
            continue;
        }
        order.push_back(outline);
        pending.pop_back();
    }
}
