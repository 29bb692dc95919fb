#include "NestingPieces.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElement.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"

using namespace Vantor::Placement;

QVector<PieceInfo> NestingPieces::fromElements(const QList<CSVGElement*>& elements)
{
    const double minimumArea = g_config.getSetting(QStringLiteral("NestingMinArea")).toDouble();
    QVector<PieceInfo> pieces;
    for (CSVGElement* element : elements) {
        if (!element)
            continue;
        std::vector<CSVGOutline> outlines;
        CSVGUtils::collectOutlines(element, outlines, true);
        PieceInfo piece { QString::fromStdWString(element->getId()), {} };
        for (const CSVGOutline& unit : CSVGUtils::nestOutlines(std::move(outlines), minimumArea)) {
            const QList<QPolygonF> rings = CSVGUtils::pathToPolygons(unit.path, QTransform());
            if (!rings.isEmpty() && rings.first().size() >= 3)
                piece.shape.parts.append(rings.first());
        }
        if (!piece.shape.parts.isEmpty())
            pieces.append(piece);
    }
    return pieces;
}

// What is not drawn is not cut, so it takes no room on the roll.
QList<CSVGElement*> NestingPieces::placeable(const QList<CSVGElement*>& elements)
{
    QList<CSVGElement*> pieces;
    for (CSVGElement* element : elements) {
        CSVGElementShape* shape = CSVGElementShape::asShape(element);
        if (shape && !shape->isTearLine() && !shape->isHidden())
            pieces.append(element);
    }
    return pieces;
}

QVector<PieceInfo> NestingPieces::selectedPieces(CSVGDocument* document)
{
    if (!document)
        return {};
    const QVector<CSVGElement*> selection = document->getSelection();
    return fromElements(placeable(QList<CSVGElement*>(selection.begin(), selection.end())));
}

QVector<PieceInfo> NestingPieces::rootPieces(CSVGDocument* document)
{
    CSVGElement* root = document ? document->getOwnerSvg() : nullptr;
    QList<CSVGElement*> children;
    for (int i = 0; root && i < root->getChildCount(); ++i)
        children.append(root->getChild(i));
    return fromElements(placeable(children));
}

void NestingPieces::applyPlacement(CSVGElement* element, const PlacementInfo& placement)
{
    CSVGMatrix placed = element->getMatrix();
    placed.postRotate(placement.angle);
    placed.postTranslate(placement.offset.x(), placement.offset.y());
    element->setCanvasMatrix(placed);
}

int NestingPieces::applyPlacements(CSVGDocument* document, const QVector<PlacementInfo>& placements)
{
    int moved = 0;
    for (const PlacementInfo& placement : placements)
        if (CSVGElement* element = document->getElementById(placement.id.toStdWString())) {
            applyPlacement(element, placement);
            ++moved;
        }
    return moved;
}
