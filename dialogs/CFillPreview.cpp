#include "CFillPreview.h"

#include <QImage>
#include <QPainter>

CFillPreview::CFillPreview(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(240, 120);
}

void CFillPreview::setSvg(const QByteArray& svg, const QSizeF& tile)
{
    m_renderer.load(svg);
    m_tile = tile;
    update();
}

void CFillPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_renderer.isValid())
        return;
    if (m_tile.isEmpty()) {
        m_renderer.render(&painter, rect());
        return;
    }
    const QSize tileSize = (m_tile * kPixelsPerMillimetre).toSize().expandedTo(QSize(1, 1));
    QImage tile(tileSize, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter tilePainter(&tile);
    m_renderer.render(&tilePainter);
    tilePainter.end();
    painter.fillRect(rect(), QBrush(tile));
}
