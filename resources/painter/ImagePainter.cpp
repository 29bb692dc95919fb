#include "ImagePainter.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

namespace {
const QColor kBlue(0x59, 0x7E, 0xF7);

// The "Z" of the program's mark, as a cut line would run.
QPainterPath zShape(const QRectF& box)
{
    QPainterPath path;
    path.moveTo(box.left(), box.top());
    path.lineTo(box.right(), box.top());
    path.lineTo(box.left(), box.bottom());
    path.lineTo(box.right(), box.bottom());
    return path;
}
} // namespace

QImage ImagePainter::blank(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

bool ImagePainter::saveImages(
    const QString& folder, const QStringList& names, const std::function<QImage(const QString&)>& paint)
{
    bool written = true;
    for (const QString& name : names)
        written
            = save(paint(name), folder + QStringLiteral("/images/") + name + QStringLiteral(".png"), "png") && written;
    return written;
}

bool ImagePainter::save(const QImage& image, const QString& path, const char* format)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, format);
    if (qstrcmp(format, "jpg") == 0)
        writer.setQuality(85);
    return writer.write(image);
}

bool ImagePainter::writeAll(const QString& folder)
{
    const QString images = folder + QStringLiteral("/images/");
    const QString zoimages = folder + QStringLiteral("/zoimages/");
    bool written = save(background().convertToFormat(QImage::Format_RGB32), images + "bg.jpg", "jpg");
    written = save(icon(64), images + "ZoCut.ico", "ico") && written;
    written = save(previewPlaceholder(), images + "pre_model.png", "png") && written;
    written = save(dropDownMark(), images + "nowselect.png", "png") && written;
    written = save(flower().convertToFormat(QImage::Format_RGB32), zoimages + "flower.jpg", "jpg") && written;
    written = save(checkMark(true), zoimages + "icon_choose.png", "png") && written;
    written = save(checkMark(false), zoimages + "icon_choose_not.png", "png") && written;
    return save(closeMark(), zoimages + "close_gray.png", "png") && written;
}

QImage ImagePainter::background()
{
    QImage image = blank(1350, 750);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 1350, 750);
    sky.setColorAt(0, QColor(0x1D, 0x27, 0x4A));
    sky.setColorAt(1, QColor(0x3A, 0x57, 0xC4));
    painter.fillRect(image.rect(), sky);
    // Film running off a roll, on the left where the form leaves room.
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        QColor band = QColor(0xFF, 0xFF, 0xFF, 14 + 6 * i);
        painter.setBrush(band);
        QPainterPath strip;
        const double x = 60 + 70 * i;
        strip.moveTo(x, 750);
        strip.cubicTo(x + 120, 520, x + 40, 260, x + 260, 0);
        strip.lineTo(x + 300, 0);
        strip.cubicTo(x + 80, 260, x + 160, 520, x + 40, 750);
        strip.closeSubpath();
        painter.drawPath(strip);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 90), 3, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(zShape(QRectF(180, 260, 260, 230)));
    return image;
}

QImage ImagePainter::icon(int size)
{
    QImage image = blank(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlue);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size * 0.2, size * 0.2);
    QPen pen(Qt::white, size * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double margin = size * 0.25;
    painter.drawPath(zShape(QRectF(margin, margin, size - 2 * margin, size - 2 * margin)));
    return image;
}

QImage ImagePainter::previewPlaceholder()
{
    QImage image = blank(230, 230, QColor(0xF2, 0xF2, 0xF2));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x9D, 0x9D, 0x9D), 3, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    // A car's side, as a template would outline it.
    QPainterPath body;
    body.moveTo(25, 150);
    body.lineTo(25, 120);
    body.cubicTo(40, 110, 60, 105, 75, 100);
    body.cubicTo(95, 70, 120, 65, 150, 68);
    body.cubicTo(170, 72, 185, 95, 200, 100);
    body.lineTo(205, 150);
    body.closeSubpath();
    painter.drawPath(body);
    painter.setPen(QPen(QColor(0x78, 0x78, 0x78), 3));
    painter.drawEllipse(QPointF(65, 152), 16, 16);
    painter.drawEllipse(QPointF(170, 152), 16, 16);
    return image;
}

QImage ImagePainter::dropDownMark()
{
    QImage image = blank(24, 24);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x66, 0x66, 0x66), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({ QPointF(6, 9), QPointF(12, 15), QPointF(18, 9) }));
    return image;
}

QImage ImagePainter::flower()
{
    QImage image = blank(900, 600, Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPointF centres[] = { { 150, 140 }, { 470, 330 }, { 760, 120 }, { 260, 480 }, { 720, 500 } };
    for (const QPointF& centre : centres) {
        for (int petal = 0; petal < 6; ++petal) {
            const double angle = qDegreesToRadians(60.0 * petal);
            const QPointF tip = centre + QPointF(std::cos(angle), std::sin(angle)) * 55;
            QRadialGradient shade(tip, 45);
            shade.setColorAt(0, QColor(0x59, 0x7E, 0xF7, 200));
            shade.setColorAt(1, QColor(0x59, 0x7E, 0xF7, 40));
            painter.setBrush(shade);
            painter.drawEllipse(tip, 42, 42);
        }
        painter.setBrush(QColor(0xFA, 0xAD, 0x14));
        painter.drawEllipse(centre, 22, 22);
    }
    return image;
}

QImage ImagePainter::checkMark(bool checked)
{
    QImage image = blank(15, 15);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!checked) {
        painter.setPen(QPen(QColor(0xBF, 0xBF, 0xBF), 1.2));
        painter.drawEllipse(QRectF(1, 1, 13, 13));
        return image;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBlue);
    painter.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({ QPointF(4, 7.5), QPointF(6.5, 10), QPointF(11, 5) }));
    return image;
}

QImage ImagePainter::closeMark()
{
    QImage image = blank(20, 20);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x99, 0x99, 0x99), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5, 5), QPointF(15, 15));
    painter.drawLine(QPointF(15, 5), QPointF(5, 15));
    return image;
}
