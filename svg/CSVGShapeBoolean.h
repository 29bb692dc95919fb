#pragma once

#include "CSVGOutline.h"

#include <QList>
#include <QPainterPath>

#include <polyclipping/clipper.hpp>

class CSVGDocument;
class CSVGElement;

// Merges pieces and cuts a piece along a drawn line. The outlines of the
// elements, nested so that holes cut, go through one boolean operation; the
// resulting rings come back as nesting units (path elements, and groups for
// rings around other rings) at the end of the root svg element, in the order
// of the list returned (ascending area). Make one on the stack with the
// document for one operation; the caller records the undo actions and
// removes the source elements.
//
// Every result is empty, and the document unchanged, when there is no root
// svg element, nothing to work on, or a coordinate out of the range that
// the clipping can take.
class CSVGShapeBoolean
{
public:
    explicit CSVGShapeBoolean(CSVGDocument* document);

    // The union of the drawable elements of the list. The new elements take
    // the "position_id" of the largest outline of the last element that has
    // an outline.
    QList<CSVGElement*> unite(const QList<CSVGElement*>& shapes);
    // The pieces of the element left on either side of the line (canvas
    // coordinates): a straight segment cuts a thin strip along itself, any
    // other line cuts out the area it encloses, an open one closed by its
    // chord.
    QList<CSVGElement*> cutByLine(CSVGElement* shape, const QPainterPath& line);

private:
    // Adds the element's outlines, each element nested on its own, to the
    // subject. largest becomes the source of the largest outline, or null.
    static bool addElement(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest);
    // The same the general way, for any element.
    static bool addOutlines(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest);
    // A leaf shape other than text, whose canvas outline (plainPath) may be
    // a single ring of straight edges.
    static bool mayBePlainRing(CSVGElement* element);
    static QPainterPath plainPath(CSVGElement* element);
    // The library path that addOutlines would add for an outline that is a
    // single ring of straight edges whose points are in range and without
    // repeats, made from the points at once; false for any other outline.
    // Touches nothing but its arguments.
    static bool plainRing(const QPainterPath& path, ClipperLib::Path& ring);
    // The result's rings as units; the tree is emptied on the way.
    QList<CSVGElement*> toUnits(ClipperLib::PolyTree& tree, CSVGElement* source);

    CSVGDocument* m_document;
};
