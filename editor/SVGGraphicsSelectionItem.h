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

    // Takes the frame now when the selection changed since it last did.
    void syncGeometry();

public slots:
    // Follows the selection rectangle, grown by 3 % of its larger side.
    void onItemChanged();
    // The selection changed: the frame follows before the next paint. A
    // selection of every piece is made one piece at a time, and a frame
    // measured after each would make it quadratic.
    void onSelectionChanged() { m_stale = true; }

private:
    QPointer<CSVGDocument> m_document;
    QRectF m_outerRect;
    bool m_stale = false;
};
