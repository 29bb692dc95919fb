#include "CSVGHighlightList.h"

#include <algorithm>

CSVGHighlightList::~CSVGHighlightList()
{
    clear();
}

void CSVGHighlightList::addRecord(CSVGHighlight* record)
{
    if (!record)
        return;
    deleteRecordOf(record->getElement());
    m_records.append(record);
}

void CSVGHighlightList::removeElement(const CSVGElement* element)
{
    if (!element)
        return;
    deleteRecordOf(element);
    m_markedNodes.erase(std::remove_if(m_markedNodes.begin(), m_markedNodes.end(),
                            [element](const HighlightNode& node) { return node.element == element; }),
        m_markedNodes.end());
}

void CSVGHighlightList::clear()
{
    qDeleteAll(m_records);
    m_records.clear();
    m_markedNodes.clear();
}

bool CSVGHighlightList::isMarked(const HighlightNode& node) const
{
    return std::any_of(m_markedNodes.begin(), m_markedNodes.end(),
        [&node](const HighlightNode& marked) { return marked.isSameNode(node); });
}

void CSVGHighlightList::deleteRecordOf(const CSVGElement* element)
{
    for (int i = m_records.size() - 1; i >= 0; --i) {
        if (m_records[i]->getElement() == element)
            delete m_records.takeAt(i);
    }
}
