#include "CursorPainter.h"

#include "ImagePainter.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {
using Shape = std::function<QPainterPath()>;

QPainterPath cross(const QPointF& centre, double reach)
{
    QPainterPath path;
    path.moveTo(centre.x() - reach, centre.y());
    path.lineTo(centre.x() + reach, centre.y());
    path.moveTo(centre.x(), centre.y() - reach);
    path.lineTo(centre.x(), centre.y() + reach);
    return path;
}

// A lens centred on the hot spot (8, 8), its handle to the lower right.
QPainterPath lens(bool plus)
{
    QPainterPath path;
    path.addEllipse(QPointF(8, 8), 6, 6);
    path.moveTo(12.5, 12.5);
    path.lineTo(20, 20);
    path.moveTo(5, 8);
    path.lineTo(11, 8);
    if (plus) {
        path.moveTo(8, 5);
        path.lineTo(8, 11);
    }
    return path;
}

// Four arrows out of (12, 12).
QPainterPath fourWays()
{
    QPainterPath path = cross(QPointF(12, 12), 10);
    for (const QPointF& tip : { QPointF(2, 12), QPointF(22, 12), QPointF(12, 2), QPointF(12, 22) }) {
        const QPointF back = QPointF(12, 12) + (tip - QPointF(12, 12)) * 0.7;
        const QPointF side(back.y() - 12 == 0 ? 0 : 3, back.x() - 12 == 0 ? 0 : 3);
        path.moveTo(back + side);
        path.lineTo(tip);
        path.lineTo(back - side);
    }
    return path;
}

// A hand about (12, 12): a palm, with the fingers up when open.
QPainterPath hand(bool open)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(6, 11, 13, 10), 3, 3);
    for (int finger = 0; finger < 4; ++finger) {
        const double x = 7 + finger * 3.3;
        path.addRoundedRect(QRectF(x, open ? 3 : 8, 2.6, open ? 9 : 4), 1.3, 1.3);
    }
    path.addRoundedRect(QRectF(open ? 1 : 3, 13, 6, 2.6), 1.3, 1.3);
    return path;
}

// The arrow pointer, its tip on (8, 8).
QPainterPath pointer()
{
    QPainterPath path;
    path.moveTo(8, 8);
    path.lineTo(8, 24);
    path.lineTo(12, 20);
    path.lineTo(15, 27);
    path.lineTo(18, 26);
    path.lineTo(15, 19);
    path.lineTo(20, 19);
    path.closeSubpath();
    return path;
}

// A pencil whose point touches the cross at (10, 10).
QPainterPath pencil()
{
    QPainterPath path = cross(QPointF(10, 10), 7);
    path.moveTo(12, 12);
    path.lineTo(14, 18);
    path.lineTo(26, 30);
    path.lineTo(30, 26);
    path.lineTo(18, 14);
    path.closeSubpath();
    return path;
}

// A cross at (12, 12) with two sheets beside it.
QPainterPath copySheets()
{
    QPainterPath path = cross(QPointF(12, 12), 8);
    path.addRect(QRectF(16, 16, 9, 11));
    path.addRect(QRectF(20, 20, 9, 11));
    return path;
}

struct CursorShape
{
    const char* name;
    Shape shape;
    bool filled;
};

const CursorShape kCursors[] = {
    { "drawcursor", pencil, false },
    { "zoomin", [] { return lens(true); }, false },
    { "zoomout", [] { return lens(false); }, false },
    { "movecursor", fourWays, false },
    { "hand_open", [] { return hand(true); }, true },
    { "select", pointer, true },
    { "hand_close", [] { return hand(false); }, true },
    { "drawcopy", copySheets, true },
};
} // namespace

QImage CursorPainter::cursor(const QString& name)
{
    for (const CursorShape& entry : kCursors) {
        if (name != QLatin1String(entry.name))
            continue;
        QImage image = ImagePainter::blank(32, 32);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath path = entry.shape();
        painter.strokePath(path, QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (entry.filled)
            painter.fillPath(path, Qt::white);
        painter.strokePath(path, QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        return image;
    }
    return QImage();
}

bool CursorPainter::writeAll(const QString& folder)
{
    QStringList names;
    for (const auto& entry : kCursors)
        names << QLatin1String(entry.name);
    return ImagePainter::saveImages(folder, names, &CursorPainter::cursor);
}
