#pragma once

#include <QGraphicsLineItem>
#include <QPointer>

class CSVGView;

// A measuring line of the ruler tool: green, with a tick across each end
// and its length in millimetres at its middle, in screen-sized text.
class CSVGRulerItem : public QGraphicsLineItem
{
public:
    explicit CSVGRulerItem(CSVGView* view, QGraphicsItem* parent = nullptr);

    // The label keeps its screen size, so the box follows the zoom as well
    // as the line. It changes only here, the scene told first; false when it
    // had not changed.
    bool syncGeometry();
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QString label() const;
    QRectF calcBoundingRect() const;

    QPointer<CSVGView> m_view;
    QRectF m_rect;
};
