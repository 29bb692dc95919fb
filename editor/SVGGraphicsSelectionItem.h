#pragma once

#include <QGraphicsRectItem>
#include <QObject>
#include <QPointer>

class CSVGDocument;

// The dashed frame around the document's selection, with a centre mark
// that keeps its screen size at every zoom.
class SVGGraphicsSelectionItem : public QObject, public QGraphicsRectItem
{
    Q_OBJECT
    Q_INTERFACES(QGraphicsItem)
public:
    explicit SVGGraphicsSelectionItem(CSVGDocument* document);

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

public slots:
    // Follows the selection rectangle, grown by 3 % of its larger side.
    void onItemChanged();

private:
    QPointer<CSVGDocument> m_document;
    QRectF m_outerRect;
};
