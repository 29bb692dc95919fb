#pragma once

#include <QImage>
#include <QPolygonF>
#include <QWidget>

// Shows a picture scaled to fit, and in perspective mode four corners that
// the mouse drags: top left, top right, bottom right, bottom left, in the
// picture's pixels.
class ImageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ImageWidget(QWidget* parent = nullptr);

    // The corners go to the picture's own corners.
    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    void setCornersVisible(bool visible);
    QPolygonF corners() const { return m_corners; }
    void setCorners(const QPolygonF& corners);
    // Where a point of the picture shows in the widget, and back.
    QPointF toWidget(const QPointF& point) const;
    QPointF toImage(const QPointF& point) const;

    QSize sizeHint() const override { return QSize(640, 480); }

signals:
    void cornersChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRectF imageRect() const;

    QImage m_image;
    QPolygonF m_corners;
    bool m_cornersVisible = false;
    int m_dragged = -1;
};
