#include "FixtureDesigns.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

namespace standin {

namespace {

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

QPainterPath doorPanel()
{
    QPainterPath path;
    path.moveTo(10, 10);
    path.lineTo(180, 10);
    path.cubicTo(195, 40, 200, 90, 190, 140);
    path.lineTo(20, 140);
    path.cubicTo(12, 100, 8, 50, 10, 10);
    path.closeSubpath();
    return path;
}

QPainterPath handleCutout()
{
    QPainterPath path;
    path.addRoundedRect(120, 40, 40, 12, 5, 5);
    return path;
}

QPainterPath mirrorCap()
{
    QPainterPath path;
    path.addEllipse(QPointF(70, 45), 60, 35);
    return path;
}

QPainterPath indicatorCutout()
{
    QPainterPath path;
    path.addRoundedRect(25, 55, 50, 8, 3, 3);
    return path;
}

QPainterPath hood()
{
    QPainterPath path;
    path.moveTo(20, 20);
    path.cubicTo(80, 5, 160, 5, 220, 20);
    path.lineTo(240, 160);
    path.cubicTo(160, 175, 80, 175, 0, 160);
    path.closeSubpath();
    return path;
}

QPainterPath bumperStrip()
{
    QPainterPath path;
    path.moveTo(5, 5);
    path.lineTo(295, 5);
    path.lineTo(285, 35);
    path.lineTo(15, 35);
    path.closeSubpath();
    return path;
}

} // namespace

FixtureDesigns::FixtureDesigns()
{
    // A piece with a cut-out is one element, as in the maker's templates:
    // the door as one path of two sub-paths, the mirror cap as a group.
    m_designs = {
        { QStringLiteral("door_front_left"), QStringLiteral("左前门 Front left door"),
            { { { doorPanel(), handleCutout() }, false } } },
        { QStringLiteral("mirror_cap"), QStringLiteral("后视镜 Mirror cap"),
            { { { mirrorCap(), indicatorCutout() }, true } } },
        { QStringLiteral("hood"), QStringLiteral("引擎盖 Hood"), { { { hood() }, false } } },
        { QStringLiteral("bumper_strip"), QStringLiteral("保险杠 Bumper strip"), { { { bumperStrip() }, false } } },
    };
}

QStringList FixtureDesigns::names() const
{
    QStringList names;
    for (const Design& design : m_designs)
        names.append(design.name);
    return names;
}

QPainterPath FixtureDesigns::Piece::path() const
{
    QPainterPath whole;
    for (const QPainterPath& part : parts)
        whole.addPath(part);
    return whole;
}

QRectF FixtureDesigns::Design::bounds() const
{
    QRectF united;
    for (const Piece& piece : pieces)
        united |= piece.path().boundingRect();
    return united;
}

const FixtureDesigns::Design* FixtureDesigns::find(const QString& name) const
{
    for (const Design& design : m_designs) {
        if (design.name == name)
            return &design;
    }
    return nullptr;
}

bool FixtureDesigns::contains(const QString& name) const
{
    return find(name) != nullptr;
}

QList<QPainterPath> FixtureDesigns::pieces(const QString& name) const
{
    QList<QPainterPath> paths;
    if (const Design* design = find(name)) {
        for (const Piece& piece : design->pieces)
            paths.append(piece.path());
    }
    return paths;
}

QString FixtureDesigns::pathData(const QPainterPath& path)
{
    QString data;
    QPointF start;
    QPointF last;
    const auto closeSubpath = [&]() {
        if (!data.isEmpty() && last == start)
            data += QLatin1Char('Z');
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isMoveTo()) {
            closeSubpath();
            start = element;
            data += QStringLiteral("M%1 %2").arg(number(element.x), number(element.y));
        } else if (element.isLineTo()) {
            data += QStringLiteral("L%1 %2").arg(number(element.x), number(element.y));
        } else if (i + 2 < path.elementCount()) {
            const QPainterPath::Element second = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                        .arg(number(element.x), number(element.y), number(second.x), number(second.y), number(end.x),
                            number(end.y));
            i += 2;
        }
        last = path.elementAt(i);
    }
    closeSubpath();
    return data;
}

QString FixtureDesigns::svg(const QString& name) const
{
    const Design* design = find(name);
    if (!design)
        return QString();
    const QRectF bounds = design->bounds();
    const QString width = number(bounds.right() + 10);
    const QString height = number(bounds.bottom() + 10);
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1mm\" height=\"%2mm\" "
                                  "viewBox=\"0 0 %1 %2\">\n<title>%3</title>\n")
                       .arg(width, height, design->title);
    const QString element = QStringLiteral("<path d=\"%1\" fill=\"none\" stroke=\"#000000\" stroke-width=\"0.3\"/>\n");
    for (const Piece& piece : design->pieces) {
        if (!piece.grouped) {
            text += element.arg(pathData(piece.path()));
            continue;
        }
        text += QStringLiteral("<g>\n");
        for (const QPainterPath& part : piece.parts)
            text += element.arg(pathData(part));
        text += QStringLiteral("</g>\n");
    }
    return text + QStringLiteral("</svg>\n");
}

QByteArray FixtureDesigns::package(const QString& name) const
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QByteArray prefix;
    for (int i = 0; i < 10; ++i)
        prefix += kLetters[QRandomGenerator::global()->bounded(52)];
    return prefix + svg(name).toUtf8().toBase64();
}

QByteArray FixtureDesigns::png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray FixtureDesigns::preview(const QString& name) const
{
    const Design* design = find(name);
    if (!design)
        return QByteArray();
    const QRectF bounds = design->bounds();
    QImage image(230, 230, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = 210.0 / qMax(bounds.width(), bounds.height());
    painter.translate(10, 10);
    painter.scale(scale, scale);
    painter.translate(-bounds.topLeft());
    painter.setPen(QPen(Qt::black, 2.0 / scale));
    for (const Piece& piece : design->pieces)
        painter.drawPath(piece.path());
    painter.end();
    return png(image);
}

QByteArray FixtureDesigns::homeIcon()
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x59, 0x7e, 0xf7), 3));
    painter.drawPolyline(QPolygonF({ QPointF(5, 9), QPointF(12, 16), QPointF(19, 9) }));
    painter.end();
    return png(image);
}

QByteArray FixtureDesigns::placeholder()
{
    QImage image(150, 150, QImage::Format_ARGB32);
    image.fill(QColor(0xee, 0xee, 0xee));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(0x99, 0x99, 0x99), 3));
    painter.drawRect(20, 20, 110, 110);
    painter.drawLine(20, 20, 130, 130);
    painter.drawLine(130, 20, 20, 130);
    painter.end();
    return png(image);
}

} // namespace standin
