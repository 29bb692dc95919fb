#pragma once

#include "PieceInfo.h"
#include "PlacementInfo.h"

#include <QList>
#include <QVector>

class CSVGDocument;
class CSVGElement;

// The bridge between a drawing and placement: elements become pieces named
// by their ids, and placements come back as their "transform".
class NestingPieces
{
public:
    // One piece per element: the outer rings of its nesting units (the
    // outlines of the element and its drawable descendants, in canvas
    // coordinates, below "NestingMinArea" left out). Elements without such
    // a ring give no piece.
    static QVector<Vantor::Placement::PieceInfo> fromElements(const QList<CSVGElement*>& elements);
    // The elements that are placed: drawn shapes, not tear lines.
    static QList<CSVGElement*> placeable(const QList<CSVGElement*>& elements);
    // The document's selected pieces (drawable, not tear lines).
    static QVector<Vantor::Placement::PieceInfo> selectedPieces(CSVGDocument* document);
    // The pieces of the root of the document (drawable, not tear lines).
    static QVector<Vantor::Placement::PieceInfo> rootPieces(CSVGDocument* document);
    // Moves the element in canvas coordinates as the placement says, by a
    // new own "transform" that keeps the parent's part out.
    static void applyPlacement(CSVGElement* element, const Vantor::Placement::PlacementInfo& placement);
    // Each placement into the document's element of that id; the number of
    // elements moved.
    static int applyPlacements(CSVGDocument* document, const QVector<Vantor::Placement::PlacementInfo>& placements);
};
