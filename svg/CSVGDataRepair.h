#pragma once

#include "CSVGOutline.h"

#include <QList>
#include <QObject>
#include <QPointF>

#include <vector>

class CActionComposite;
class CSVGDocument;
class CSVGElement;

// Rebuilds pieces into clean nesting units: open sub-paths whose ends meet
// are chained end to start into one outline, every outline is nested into
// the outline around it, and the pieces are replaced by the new path
// elements and groups in one undoable step. Make one on the stack with the
// document for one command.
class CSVGDataRepair : public QObject
{
    Q_OBJECT
public:
    // One open outline with its end points, rounded to whole numbers.
    struct Segment
    {
        QPointF start;
        QPointF end;
        CSVGOutline outline;
    };
    // Segments in order, each one's end meeting the next one's start.
    using Chain = std::vector<Segment>;

    // Works on the drawable elements of the list that are in a tree, each
    // once and none inside another; when the list has none, on the drawable
    // children of the root svg element.
    CSVGDataRepair(CSVGDocument* document, const QList<CSVGElement*>& elements, QObject* parent = nullptr);

    // Replaces the pieces by their nesting units under the root svg element
    // (outlines below "NestingMinArea" vanish) and returns the undo record
    // of it all, which the caller owns. Without a root svg element nothing
    // changes and the record is empty, as it is on a second call.
    CActionComposite* repair();
    // The nesting units of the root svg element's drawable children that are
    // not groups, which stay where they are: groups are appended to the
    // root, single path elements are returned without parent.
    QList<CSVGElement*> autoGroup();
    // One outline per chain of the open outlines, closed when
    // closeJoinedPaths is set. Its source element is the first source in
    // the chain that has a "position_id", or else the chain's first source,
    // so that the unit made of it takes that id.
    std::vector<CSVGOutline> joinOpenOutlines(const std::vector<CSVGOutline>& openOutlines, int scale) const;

    // Whether repair closes each chain with a line back to its start.
    bool closeJoinedPaths = true;

    // The segment of an open outline: its first and last points times scale,
    // rounded to the nearest whole numbers. False when the path has no
    // polygon to take the points from.
    static bool segmentOf(const CSVGOutline& outline, int scale, Segment& segment);

    // Places each segment, in order, at an end of the first chain it meets
    // (reversed where that makes it fit), then merges chains that meet,
    // always the first meeting pair first, until none meet. End points are
    // whole numbers and meet when equal; points that are not finite meet
    // nothing. Near-linear: the chain ends are indexed by point.
    static std::vector<Chain> buildChains(const std::vector<Segment>& segments);

    // The paths of the chain's outlines connected end to start, each in the
    // direction of its segment.
    static QPainterPath joinedPath(const Chain& chain, int scale);

private:
    static QList<CSVGElement*> topmostShapes(const QList<CSVGElement*>& elements);
    static CSVGElement* positionSource(const Chain& chain);

    CSVGDocument* m_document;
    QList<CSVGElement*> m_pieces;
    QList<CSVGElement*> m_sources;
    QList<CSVGElement*> m_created;
};
