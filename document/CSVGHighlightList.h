#pragma once

#include "CSVGHighlight.h"

#include <QVector>

// The document's highlight records, at most one per element, and the nodes
// that the user has marked. Owns the records.
class CSVGHighlightList
{
public:
    CSVGHighlightList() = default;
    CSVGHighlightList(const CSVGHighlightList&) = delete;
    CSVGHighlightList& operator=(const CSVGHighlightList&) = delete;
    ~CSVGHighlightList();

    // Takes the record over, replacing the element's earlier record.
    void addRecord(CSVGHighlight* record);
    // Deletes the element's record and forgets its marked nodes.
    void removeElement(const CSVGElement* element);
    void clear();

    // A shallow copy, for painting.
    QVector<CSVGHighlight*> getRecords() const { return m_records; }
    const QVector<HighlightNode>& getMarkedNodes() const { return m_markedNodes; }
    void setMarkedNodes(const QVector<HighlightNode>& nodes) { m_markedNodes = nodes; }
    bool isMarked(const HighlightNode& node) const;

private:
    void deleteRecordOf(const CSVGElement* element);

    QVector<CSVGHighlight*> m_records;
    QVector<HighlightNode> m_markedNodes;
};
