#include "RefusalText.h"

#include "CSVGDocument.h"

#include <QCoreApplication>

using namespace Vantor::Placement;

QString RefusalText::of(const PlacementRefusal& refusal, const QString& otherwise)
{
    if (refusal.kind == PlacementRefusal::Kind::None)
        return otherwise;
    const QRectF& box = refusal.piece;
    return QCoreApplication::translate("PlacementAutomatic", refusal.text())
        .arg(CSVGDocument::millimetreText(box.width()), CSVGDocument::millimetreText(box.height()),
            CSVGDocument::millimetreText(box.left()), CSVGDocument::millimetreText(box.top()));
}
