#include "ImageWidget.h"

#include <QLineF>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
// How near (in widget pixels) a press must come to a corner to take it.
constexpr double kGrip = 12;
constexpr double kHandleRadius = 6;
} // namespace

ImageWidget::ImageWidget(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(200, 150);
}

void ImageWidget::setImage(const QImage& image)
{
    m_image = image;
    const QRectF r(QPointF(0, 0), image.size());
    setCorners(QPolygonF({ r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft() }));
}

void ImageWidget::setCornersVisible(bool visible)
{
    m_cornersVisible = visible;
    update();
}

void ImageWidget::setCorners(const QPolygonF& corners)
{
    m_corners = corners;
    update();
    emit cornersChanged();
}

QRectF ImageWidget::imageRect() const
{
    if (m_image.isNull())
        return QRectF();
    QSizeF size = m_image.size();
    size.scale(QSizeF(width(), height()) - QSizeF(2 * kGrip, 2 * kGrip), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

QPointF ImageWidget::toWidget(const QPointF& point) const
{
    const QRectF r = imageRect();
    if (r.isEmpty())
        return point;
    return r.topLeft() + QPointF(point.x() * r.width() / m_image.width(), point.y() * r.height() / m_image.height());
}

QPointF ImageWidget::toImage(const QPointF& point) const
{
    const QRectF r = imageRect();
    if (r.isEmpty())
        return point;
    const QPointF p = point - r.topLeft();
    return QPointF(p.x() * m_image.width() / r.width(), p.y() * m_image.height() / r.height());
}

void ImageWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_image.isNull())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(imageRect(), m_image);
    if (!m_cornersVisible || m_corners.size() != 4)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF shown;
    for (const QPointF& corner : m_corners)
        shown.append(toWidget(corner));
    painter.setPen(QPen(QColor(0, 160, 255), 2));
    painter.drawPolygon(shown);
    painter.setBrush(QColor(255, 255, 255, 200));
    for (const QPointF& corner : shown)
        painter.drawEllipse(corner, kHandleRadius, kHandleRadius);
}

void ImageWidget::mousePressEvent(QMouseEvent* event)
{
    m_dragged = -1;
    if (!m_cornersVisible || event->button() != Qt::LeftButton)
        return;
    double nearest = kGrip;
    for (int i = 0; i < m_corners.size(); ++i) {
        const double distance = QLineF(toWidget(m_corners[i]), event->localPos()).length();
        if (distance <= nearest) {
            nearest = distance;
            m_dragged = i;
        }
    }
}

void ImageWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragged < 0)
        return;
    const QPointF p = toImage(event->localPos());
    m_corners[m_dragged]
        = QPointF(std::clamp(p.x(), 0.0, double(m_image.width())), std::clamp(p.y(), 0.0, double(m_image.height())));
    update();
    emit cornersChanged();
}

void ImageWidget::mouseReleaseEvent(QMouseEvent*)
{
    m_dragged = -1;
}
