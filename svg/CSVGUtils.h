#pragma once

#include "CSVGElementPath.h"
#include "CSVGOutline.h"

#include <QList>
#include <QObject>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <string>
#include <vector>

class CSVGDocument;
class CSVGElement;

// Geometry routines of the element model. The routines that make elements
// need the document whose factory makes them: make one on the stack with it
// for one operation. The others are static.
class CSVGUtils : public QObject
{
    Q_OBJECT
public:
    explicit CSVGUtils(CSVGDocument* document);

    // Flattens the path, mapped by the transform, into one polygon per
    // sub-path with the curve tolerance of the setting
    // "BezierFlatteningThreshold", read at every call. Sub-paths of fewer
    // than two points are left out; points that are not finite are dropped.
    // Keeps no state, so several threads may call it at once.
    static QList<QPolygonF> pathToPolygons(const QPainterPath& path, const QTransform& transform);
    // The same with the curve tolerance given: a caller that flattens many
    // paths on several threads reads the setting once, since every read
    // goes through the settings file's lock.
    static QList<QPolygonF> pathToPolygons(const QPainterPath& path, const QTransform& transform, double tolerance);

    // Replaces every occurrence of from in text by to. While a replacement
    // shortens the text, the changed text is searched again from its start,
    // so an occurrence that a replacement creates goes too ("aabb" without
    // "ab" is empty). A replacement as long as from or longer could feed
    // itself for ever ("ab" by "bbaa" in "aab"), so then the search goes on
    // behind the inserted text. An empty from leaves the text as it is.
    static std::wstring replaceAll(std::wstring text, std::wstring from, std::wstring to);

    // Half the shoelace sum over the points, the last point closing the ring.
    static double signedArea(const QPolygonF& polygon);

    // One outline of the element per sub-path of a path in canvas
    // coordinates, each reversed where needed so that its flattened ring has
    // a positive signed area. A sub-path that flattens to no polygon gives no
    // outline.
    static std::vector<CSVGOutline> outlinesOfPath(const QPainterPath& path, CSVGElement* element);

    // Gives a copy of the outline to the first outline of the vector whose
    // path contains its path; false when there is none.
    static bool insertIntoContainer(const CSVGOutline& outline, std::vector<CSVGOutline>& outlines);

    // Measures the outlines, drops those below the minimum area (and those
    // whose geometry is not finite), and nests each one into the smallest
    // other outline that contains it, as repeated insertIntoContainer calls
    // in ascending area would. Returns the outermost outlines, ascending by
    // area. Near-linear for pieces spread over a drawing.
    static std::vector<CSVGOutline> nestOutlines(std::vector<CSVGOutline> outlines, double minimumArea);
    // The same for outlines whose nesting is known, as a boolean operation
    // finds it: parents[i] is the position of the outline directly around
    // outline i, or -1. Only outlines of area 0 are measured. Empty when
    // the parents do not match the outlines.
    static std::vector<CSVGOutline> nestOutlines(
        std::vector<CSVGOutline> outlines, double minimumArea, const std::vector<int>& parents);

    // The outlines of the element's own painter path in canvas coordinates;
    // none for an element that is not drawable.
    static std::vector<CSVGOutline> outlinesOfElement(CSVGElement* element);
    // Appends the outlines of the element and of its drawable descendants,
    // in document order. A text element adds none of its own. With
    // drawnOnly, a descendant that is not drawn adds nothing, nor do its own.
    static void collectOutlines(CSVGElement* element, std::vector<CSVGOutline>& outlines, bool drawnOnly = false);
    // The drawable elements without children below the element (or the
    // element itself), in document order.
    static QList<CSVGElement*> collectShapes(CSVGElement* element);

    // The nesting units of the outlines under the setting "NestingMinArea":
    // a group, already appended to the root svg element, for a unit with
    // outlines inside it, and a path element without parent for a unit
    // alone. Elements take the "position_id" of their outline's source. A
    // ring that only runs from one point to another and back is dropped.
    QList<CSVGElement*> buildNestingUnits(std::vector<CSVGOutline> outlines);
    // The same for outlines whose nesting is known (see nestOutlines).
    QList<CSVGElement*> buildNestingUnits(std::vector<CSVGOutline> outlines, const std::vector<int>& parents);

private:
    // A new group appended to the root svg element, holding side by side a
    // path element for every outline below the unit, innermost first, and
    // for the unit itself last, made from the outlines prepared from next
    // on; null when there is no root.
    CSVGElement* makeGroup(const CSVGOutline& unit, std::vector<CSVGElementPath::Prepared>::iterator& next);
    static void appendInnermostFirst(const CSVGOutline& unit, std::vector<const CSVGOutline*>& order);
    static bool isTwoPointRing(const QPainterPath& path);

    static bool isOneSubPath(const QPainterPath& path);
    static void appendOutline(const QPainterPath& subPath, CSVGElement* element, std::vector<CSVGOutline>& outlines);
    static std::vector<CSVGOutline> nest(
        std::vector<CSVGOutline> outlines, double minimumArea, const std::vector<int>* parents);
    static std::vector<int> findContainers(const std::vector<CSVGOutline>& outlines);
    static std::vector<int> knownContainers(const std::vector<int>& parents, const std::vector<int>& order);
    QList<CSVGElement*> unitElements(const std::vector<CSVGOutline>& units);

    CSVGDocument* m_document;
};
