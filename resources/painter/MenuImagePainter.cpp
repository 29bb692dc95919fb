#include "MenuImagePainter.h"

#include "ImagePainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QVector>

namespace {
const QColor kInk(0x33, 0x33, 0x33);
constexpr int kStripWidth = 100;
constexpr int kStripHeight = 20;
constexpr int kLineWidths = 9;

// Dash patterns of the dash button, index 1 on; index 0 is a solid line.
const QVector<QVector<qreal>> kDashes
    = { { 18, 8, 10, 10 }, { 4, 4 }, { 12, 5, 5, 5, 8, 8 }, { 12, 5, 5, 5, 5, 5, 8, 8 }, { 18, 28 }, { 18, 10, 10, 10 },
          { 18, 6, 14, 14 }, { 12, 12, 8, 8 }, { 14, 8, 14, 8 }, { 10, 12 }, { 10, 8 }, { 4, 2 } };

QPainterPath markPath(MenuImagePainter::ColorMark mark)
{
    QPainterPath path;
    switch (mark) {
    case MenuImagePainter::ColorMark::Text: // an "A"
        path.moveTo(3, 18);
        path.lineTo(10, 2);
        path.lineTo(17, 18);
        path.moveTo(6, 12);
        path.lineTo(14, 12);
        break;
    case MenuImagePainter::ColorMark::Line: // a pen drawing a stroke
        path.moveTo(3, 17);
        path.lineTo(15, 5);
        path.lineTo(17, 3);
        path.moveTo(13, 3);
        path.lineTo(17, 7);
        break;
    case MenuImagePainter::ColorMark::Fill: // a tipped bucket and a drop
        path.moveTo(9, 2);
        path.lineTo(2, 9);
        path.lineTo(8, 15);
        path.lineTo(15, 8);
        path.closeSubpath();
        path.moveTo(17, 11);
        path.cubicTo(15, 14, 15, 17, 17, 17);
        path.cubicTo(19, 17, 19, 14, 17, 11);
        break;
    }
    return path;
}

void drawStripLine(QPainter& painter, int index, QPen pen)
{
    const qreal y = kStripHeight * index + kStripHeight / 2.0;
    painter.setPen(pen);
    painter.drawLine(QPointF(6, y), QPointF(74, y));
}
} // namespace

bool MenuImagePainter::writeAll(const QString& folder)
{
    const QString images = folder + QStringLiteral("/images/");
    bool written = ImagePainter::save(colorMark(ColorMark::Text), images + "textcolor.png", "png");
    written = ImagePainter::save(colorMark(ColorMark::Line), images + "linecolor.png", "png") && written;
    written = ImagePainter::save(colorMark(ColorMark::Fill), images + "fillcolor.png", "png") && written;
    written = ImagePainter::save(lineWidths(), images + "linewidth.png", "png") && written;
    return ImagePainter::save(lineTypes(), images + "linetype.png", "png") && written;
}

QImage MenuImagePainter::colorMark(ColorMark mark)
{
    QImage image = ImagePainter::blank(32, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(markPath(mark));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawPolygon(QPolygonF({ QPointF(25, 10), QPointF(31, 10), QPointF(28, 14) }));
    return image;
}

// Strip i shows a line i pixels wide; the first, "no width", a faint hairline.
QImage MenuImagePainter::lineWidths()
{
    QImage image = ImagePainter::blank(kStripWidth, kStripHeight * kLineWidths);
    QPainter painter(&image);
    drawStripLine(painter, 0, QPen(QColor(0xBB, 0xBB, 0xBB), 1, Qt::DotLine));
    for (int i = 1; i < kLineWidths; ++i)
        drawStripLine(painter, i, QPen(kInk, i, Qt::SolidLine, Qt::FlatCap));
    return image;
}

// Dashes at half their length in the drawing, on a 2-pixel line.
QImage MenuImagePainter::lineTypes()
{
    QImage image = ImagePainter::blank(kStripWidth, kStripHeight * (kDashes.size() + 1));
    QPainter painter(&image);
    drawStripLine(painter, 0, QPen(kInk, 2, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < kDashes.size(); ++i) {
        QPen pen(kInk, 2, Qt::CustomDashLine, Qt::FlatCap);
        QVector<qreal> pattern;
        for (qreal length : kDashes[i])
            pattern << length / 4; // in pen widths
        pen.setDashPattern(pattern);
        drawStripLine(painter, i + 1, pen);
    }
    return image;
}
