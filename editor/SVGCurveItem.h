#pragma once

#include <QGraphicsPathItem>
#include <QPointer>

class CSVGView;

// The curve of the move-point tool. Its path holds three points: the two
// ends and the point that the curve passes through.
class SVGCurveItem : public QGraphicsPathItem
{
public:
    explicit SVGCurveItem(CSVGView* view, QGraphicsItem* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QPointer<CSVGView> m_view;
};
