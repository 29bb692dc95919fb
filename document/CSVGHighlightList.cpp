#include "CSVGHighlightList.h"

#include "CSVGElement.h"
#include "CSVGRect.h"

#include <algorithm>
#include <cmath>

CSVGHighlightList::~CSVGHighlightList()
{
    clear();
}

CSVGHighlight* CSVGHighlightList::addElement(CSVGElement* element, const QColor& color)
{
    if (!element)
        return nullptr;
    CSVGHighlight* record = m_index.value(element);
    if (record && record->isBuilt()) {
        record->buildNodes(-1);
        refreshMarkedNodes(record);
    } else if (!record) {
        record = appendRecord(element, color);
    }
    for (int i = 0; i < element->getChildCount(); ++i) {
        if (element->getChild(i)->isShape())
            addElement(element->getChild(i), color);
    }
    return record;
}

CSVGHighlight* CSVGHighlightList::updateElement(CSVGElement* element, int activeIndex)
{
    if (!element)
        return nullptr;
    if (CSVGHighlight* record = m_index.value(element)) {
        m_unbuilt -= record->isBuilt() ? 0 : 1;
        record->buildNodes(activeIndex);
        refreshMarkedNodes(record);
        return record;
    }
    CSVGHighlight* record = appendRecord(element, Qt::green);
    --m_unbuilt;
    record->buildNodes(activeIndex);
    for (int i = 0; i < element->getChildCount(); ++i) {
        if (element->getChild(i)->isShape())
            updateElement(element->getChild(i), activeIndex);
    }
    return record;
}

void CSVGHighlightList::removeElement(CSVGElement* element)
{
    if (!element)
        return;
    deleteRecordOf(element);
    for (int i = 0; i < element->getChildCount(); ++i) {
        if (element->getChild(i)->isShape())
            removeElement(element->getChild(i));
    }
}

void CSVGHighlightList::forgetElement(const CSVGElement* element)
{
    if (m_records.isEmpty() && m_markedNodes.isEmpty())
        return;
    deleteRecordOf(element);
    m_markedNodes.erase(std::remove_if(m_markedNodes.begin(), m_markedNodes.end(),
                            [element](const HighlightNode& node) { return node.element == element; }),
        m_markedNodes.end());
}

void CSVGHighlightList::addRecord(CSVGHighlight* record)
{
    if (!record)
        return;
    deleteRecordOf(record->getElement());
    m_records.append(record);
    m_index.insert(record->getElement(), record);
    m_unbuilt += record->isBuilt() ? 0 : 1;
}

void CSVGHighlightList::clear()
{
    qDeleteAll(m_records);
    m_records.clear();
    m_index.clear();
    m_markedNodes.clear();
    m_unbuilt = 0;
}

void CSVGHighlightList::rebuildAll()
{
    for (CSVGHighlight* record : qAsConst(m_records))
        record->buildNodes(-1);
    m_unbuilt = 0;
}

CSVGHighlight* CSVGHighlightList::findRecord(const CSVGElement* element) const
{
    CSVGHighlight* record = m_index.value(element);
    if (record && !record->isBuilt()) {
        record->buildNodes(-1);
        --m_unbuilt;
    }
    return record;
}

QVector<CSVGHighlight*> CSVGHighlightList::getRecords() const
{
    buildPending();
    return m_records;
}

void CSVGHighlightList::buildPending() const
{
    if (m_unbuilt == 0)
        return;
    for (CSVGHighlight* record : m_records) {
        if (!record->isBuilt())
            record->buildNodes(-1);
    }
    m_unbuilt = 0;
}

HighlightNode CSVGHighlightList::findNode(const QPointF& point, double tolerance) const
{
    buildPending();
    const auto near = [&point, tolerance](const HighlightNode& node) {
        return std::fabs(node.point.x() - point.x()) <= tolerance && std::fabs(node.point.y() - point.y()) <= tolerance;
    };
    for (const CSVGHighlight* record : m_records) {
        if (record->nodes.isEmpty())
            continue;
        if (near(record->nodes.last()))
            return record->nodes.last();
        const auto found = std::find_if(record->nodes.begin(), record->nodes.end(), near);
        if (found != record->nodes.end())
            return *found;
    }
    return HighlightNode();
}

void CSVGHighlightList::selectNodesInRect(const CSVGRect& rect)
{
    buildPending();
    for (const CSVGHighlight* record : qAsConst(m_records)) {
        for (const HighlightNode& node : record->nodes) {
            if (rect.containsPoint(node.point))
                m_markedNodes.append(node);
        }
    }
}

bool CSVGHighlightList::isMarked(const HighlightNode& node) const
{
    return std::any_of(m_markedNodes.begin(), m_markedNodes.end(),
        [&node](const HighlightNode& marked) { return marked.isSameNode(node); });
}

CSVGHighlight* CSVGHighlightList::appendRecord(CSVGElement* element, const QColor& color)
{
    auto* record = new CSVGHighlight(element, color);
    record->deferNodes();
    m_records.append(record);
    m_index.insert(element, record);
    ++m_unbuilt;
    return record;
}

void CSVGHighlightList::deleteRecordOf(const CSVGElement* element)
{
    CSVGHighlight* record = m_index.take(element);
    if (!record)
        return;
    m_unbuilt -= record->isBuilt() ? 0 : 1;
    m_records.removeOne(record);
    delete record;
}

void CSVGHighlightList::refreshMarkedNodes(const CSVGHighlight* record)
{
    for (HighlightNode& marked : m_markedNodes) {
        if (marked.element != record->getElement())
            continue;
        const auto same = std::find_if(record->nodes.begin(), record->nodes.end(),
            [&marked](const HighlightNode& node) { return node.isSameNode(marked); });
        if (same != record->nodes.end())
            marked.point = same->point;
    }
}
