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
    // The element's outline when it is a single ring of straight edges whose
    // points are in range and without repeats: the library path that
    // addElement would add, made from the points at once. False, with the
    // subject unchanged, for any other element.
    static bool addPlainRing(CSVGElement* element, ClipperLib::Paths& subject, CSVGElement*& largest);
    QList<CSVGElement*> toUnits(ClipperLib::ClipType type, const ClipperLib::Paths& subject,
        const ClipperLib::Paths& clip, CSVGElement* source);

    CSVGDocument* m_document;
};
