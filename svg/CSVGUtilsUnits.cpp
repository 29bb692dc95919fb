// The nesting units of drawn elements: their outlines in canvas coordinates,
// and the path elements and groups that the nested outlines become.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

#include <iterator>
#include <utility>

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

QList<CSVGElement*> CSVGUtils::unitElements(const std::vector<CSVGOutline>& units)
{
    QList<CSVGElement*> elements;
    for (const CSVGOutline& unit : units) {
        if (!unit.children.empty()) {
            if (CSVGElement* group = makeGroup(unit))
                elements.append(group);
        } else if (!isTwoPointRing(unit.path)) {
            CSVGElement* path = m_document->createPathElement(unit.path);
            copyPositionId(unit, path);
            elements.append(path);
        }
    }
    return elements;
}

bool CSVGUtils::isTwoPointRing(const QPainterPath& path)
{
    return path.elementCount() == 3 && path.pointAtPercent(0.0) == path.pointAtPercent(1.0);
}

void CSVGUtils::copyPositionId(const CSVGOutline& outline, CSVGElement* target)
{
    if (outline.element)
        target->setAttribute(L"position_id", outline.element->getAttribute(L"position_id"), true);
}

// Without a root there is nowhere to put the group, and handing back the
// unit's source element instead would let the caller attach or delete an
// element that is still elsewhere in the tree.
CSVGElement* CSVGUtils::makeGroup(const CSVGOutline& unit)
{
    CSVGElement* root = m_document ? m_document->getOwnerSvg() : nullptr;
    if (!root)
        return nullptr;
    CSVGElement* group = m_document->createElement(L"g");
    copyPositionId(unit, group);
    root->appendChild(group, false, true);
    fillGroup(m_document, group, unit);
    group->updateMatrix(nullptr, true);
    if (CSVGElementShape* shape = CSVGElementShape::asShape(group))
        shape->updateGeometry();
    return group;
}

// Children before their container, with an explicit stack: outlines may nest
// as deep as a drawing has rings inside rings.
void CSVGUtils::fillGroup(CSVGDocument* document, CSVGElement* group, const CSVGOutline& unit)
{
    if (!document || !group)
        return;
    std::vector<std::pair<const CSVGOutline*, std::size_t>> pending { { &unit, 0 } };
    while (!pending.empty()) {
        auto& [outline, next] = pending.back();
        if (next < outline->children.size()) {
            const CSVGOutline* child = &outline->children[next++];
            pending.emplace_back(child, 0);
            continue;
        }
        CSVGElement* path = document->createPathElement(outline->path);
        copyPositionId(*outline, path);
        group->appendChild(path, false, true);
        pending.pop_back();
    }
}
