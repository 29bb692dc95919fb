#pragma once

#include "CSVGHighlight.h"

#include <QHash>
#include <QVector>

class CSVGRect;

// The document's highlight records, at most one per element, and the nodes
// that the user has marked. Owns the records. A new record gets its nodes
// when something first asks for them: selecting every piece of a large
// drawing makes a record for each, and most are never looked at.
class CSVGHighlightList
{
public:
    CSVGHighlightList() = default;
    CSVGHighlightList(const CSVGHighlightList&) = delete;
    CSVGHighlightList& operator=(const CSVGHighlightList&) = delete;
    ~CSVGHighlightList();

    // The element's record rebuilt (it keeps its colour) or made in the
    // colour, and the same for every shape child.
    CSVGHighlight* addElement(CSVGElement* element, const QColor& color);
    // The element's record rebuilt with the active index; a new record is
    // green and its shape children get records too.
    CSVGHighlight* updateElement(CSVGElement* element, int activeIndex);
    // Deletes the records of the element and of its shape children.
    void removeElement(CSVGElement* element);
    // Deletes the element's own record and forgets its marked nodes, for an
    // element that dies or leaves the document.
    void forgetElement(const CSVGElement* element);
    // Takes the record over, replacing the element's earlier record.
    void addRecord(CSVGHighlight* record);
    void clear();
    void rebuildAll();
    CSVGHighlight* findRecord(const CSVGElement* element) const;

    // The first node within the tolerance in either direction: records in
    // order, and within one the last node before the others. No node (index
    // -1, green, no element) when none is.
    HighlightNode findNode(const QPointF& point, double tolerance) const;
    // Appends a copy of every node inside the rectangle (edges count) to the
    // marked nodes; nothing is de-duplicated.
    void selectNodesInRect(const CSVGRect& rect);

    // A shallow copy, for painting.
    QVector<CSVGHighlight*> getRecords() const;
    const QVector<HighlightNode>& getMarkedNodes() const { return m_markedNodes; }
    void setMarkedNodes(const QVector<HighlightNode>& nodes) { m_markedNodes = nodes; }
    bool isMarked(const HighlightNode& node) const;

private:
    CSVGHighlight* appendRecord(CSVGElement* element, const QColor& color);
    void deleteRecordOf(const CSVGElement* element);
    // Marked nodes of the record's element take the rebuilt points.
    void refreshMarkedNodes(const CSVGHighlight* record);
    void buildPending() const;

    QVector<CSVGHighlight*> m_records;
    // Records whose nodes are still to be built.
    mutable int m_unbuilt = 0;
    QHash<const CSVGElement*, CSVGHighlight*> m_index;
    QVector<HighlightNode> m_markedNodes;
};
