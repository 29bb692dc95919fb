#include "NestingPieces.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElement.h"
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
        CSVGUtils::collectOutlines(element, outlines);
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

void NestingPieces::applyPlacement(CSVGElement* element, const PlacementInfo& placement)
{
    // The accumulated matrix M is the parent's P times the own transform;
    // the placement R moves canvas points, so the new own one is P^-1 R M.
    CSVGMatrix placed = element->getMatrix();
    placed.postRotate(placement.angle);
    placed.postTranslate(placement.offset.x(), placement.offset.y());
    CSVGMatrix own = element->getParent() ? element->getParent()->getMatrix() : CSVGMatrix();
    if (!own.invert())
        return;
    own.multiply(placed);
    element->setAttribute(L"transform", own.toString(), true);
    element->updateMatrix(nullptr, true);
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
