#include "JobPlacement.h"

#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "DeviceRecord.h"

#include <QHash>

#include <cmath>
#include <vector>

JobPlacement::JobPlacement(const DeviceRecord& device)
    : m_rotation(device.setting(QStringLiteral("PlotRotation")).toDouble())
    , m_mirrorX(device.setting(QStringLiteral("PlotMirrorX")).toBool())
    , m_mirrorY(device.setting(QStringLiteral("PlotMirrorY")).toBool())
    , m_align(device.setting(QStringLiteral("PlotAutoAlign")).toBool())
{
    if (!std::isfinite(m_rotation))
        m_rotation = 0;
}

void JobPlacement::apply(CSVGDocument& document) const
{
    const QRectF extent = document.getContentBoundingRect();
    if (isIdentity() || extent.isNull())
        return;
    // The turned pieces' own bounds, not the turned extent's: at angles
    // other than quarter turns the latter is larger than the job.
    transformPieces(
        document, QTransform::fromScale(m_mirrorX ? -1 : 1, m_mirrorY ? -1 : 1) * QTransform().rotate(m_rotation));
    const QPointF start = m_align ? QPointF() : extent.topLeft();
    const QPointF shift = start - document.getContentBoundingRect().topLeft();
    transformPieces(document, QTransform::fromTranslate(shift.x(), shift.y()));
}

void JobPlacement::placeOnPage(CSVGDocument& document, QVector<QRectF>* offPage, QVector<QRectF>* acrossEdge) const
{
    CSVGElement* root = document.getOwnerSvg();
    QHash<CSVGElement*, QRectF> drawn;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i)))
            drawn.insert(shape, shape->getTransformedBoundingRect().toQRectF());
    }
    apply(document);
    std::vector<CSVGElement*> off;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (!shape || shape->isHidden() || document.isInsidePage(shape))
            continue;
        if (document.crossesPageBorder(shape->getTransformedPath())) {
            *acrossEdge << drawn.value(shape);
        } else {
            *offPage << drawn.value(shape);
            off.push_back(shape);
        }
    }
    for (CSVGElement* piece : off)
        root->deleteChild(piece);
}

void JobPlacement::transformPieces(CSVGDocument& document, const QTransform& transform)
{
    CSVGElement* root = document.getOwnerSvg();
    const CSVGMatrix placement(
        transform.m11(), transform.m12(), transform.m21(), transform.m22(), transform.dx(), transform.dy());
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElement* piece = root->getChild(i);
        if (!piece->isShape())
            continue;
        CSVGMatrix placed = placement;
        placed.multiply(piece->getMatrix());
        piece->setCanvasMatrix(placed);
    }
}
