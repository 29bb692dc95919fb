#include "ActionIconPainter.h"

#include "ImagePainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>

namespace {
const QColor kInk(0x33, 0x33, 0x33);

struct IconOutline
{
    const char* name;
    // M x y, L x y, C x1 y1 x2 y2 x y, Z; R x y w h (rectangle); E cx cy rx ry
    // (ellipse); a quoted letter "'B" is drawn as text instead.
    const char* outline;
    // Fill of the closed parts; 0 for outlines only.
    QRgb fill;
};

const QRgb kNone = 0;
const QRgb kPaper = qRgb(0xF2, 0xF2, 0xF2);
const QRgb kBlue = qRgb(0x9C, 0xC8, 0xF0);
const QRgb kGreen = qRgb(0xA8, 0xDC, 0xA0);
const QRgb kYellow = qRgb(0xF6, 0xD8, 0x7A);
const QRgb kRed = qRgb(0xF0, 0xA0, 0x98);

const IconOutline kIcons[] = {
    { "fileopen", "M3 9 L12 9 L14 12 L29 12 L29 26 L3 26 Z", kYellow },
    { "fileexp", "M7 3 L20 3 L25 8 L25 29 L7 29 Z M13 17 L29 17 M25 13 L29 17 L25 21", kPaper },
    { "share", "E24 7 4 4 E8 16 4 4 E24 25 4 4 M11 14 L21 9 M11 18 L21 23", kBlue },
    { "filesave", "M4 4 L25 4 L28 7 L28 28 L4 28 Z M9 4 L9 12 L22 12 L22 4 M9 28 L9 19 L23 19 L23 28", kBlue },
    { "color", "E16 16 12 12 E11 11 2 2 E20 10 2 2 E23 17 2 2", kYellow },
    { "note", "M6 4 L26 4 L26 22 L20 28 L6 28 Z M10 10 L22 10 M10 15 L22 15 M10 20 L17 20", kYellow },
    { "plotter", "R3 12 26 10 M8 12 L8 6 L24 6 L24 12 M10 22 L10 28 L22 28 L22 22", kBlue },
    { "print", "R4 12 24 10 M9 12 L9 4 L23 4 L23 12 M9 22 L9 28 L23 28 L23 22", kPaper },
    { "refresh", "M26 16 C26 24 20 28 16 28 C8 28 4 22 4 16 C4 8 10 4 16 4 C20 4 23 6 25 9 M25 3 L25 9 L19 9", kNone },
    { "editcopy", "R4 4 16 18 R12 10 16 18", kPaper },
    { "delete", "M6 6 L26 26 M26 6 L6 26", kNone },
    { "mirror", "M16 3 L16 29 M13 8 L3 24 L13 24 Z M19 8 L29 24 L19 24 Z", kBlue },
    { "editundo", "M10 6 L4 12 L10 18 M4 12 L20 12 C26 12 28 16 28 20 C28 24 25 27 20 27 L12 27", kNone },
    { "editredo", "M22 6 L28 12 L22 18 M28 12 L12 12 C6 12 4 16 4 20 C4 24 7 27 12 27 L20 27", kNone },
    { "ruler", "R2 11 28 10 M7 11 L7 16 M12 11 L12 14 M17 11 L17 16 M22 11 L22 14 M27 11 L27 16", kYellow },
    { "del_ruler", "R2 4 28 10 M7 4 L7 9 M12 4 L12 7 M17 4 L17 9 M22 4 L22 7 M11 18 L21 28 M21 18 L11 28", kYellow },
    { "scale", "R4 14 14 14 M12 4 L28 4 L28 20 M18 14 L28 4", kBlue },
    { "drawtext", "M6 5 L26 5 M16 5 L16 28 M12 28 L20 28", kNone },
    { "lefttop", "R6 6 12 10 M4 2 L4 30 M2 4 L30 4", kBlue },
    { "ImageContour", "R3 6 26 20 M3 24 L12 14 L18 20 L22 16 L29 23 E22 11 2 2", kGreen },
    { "vectorengine", "M4 26 C8 4 24 4 28 26 M4 26 L8 4 M28 26 L24 4 R2 24 4 4 R26 24 4 4", kNone },
    { "tearline",
        "R10 10 12 12 M4 4 L9 4 M13 4 L19 4 M23 4 L28 4 L28 9 M28 13 L28 19 M28 23 L28 28 L23 28 M19 28 L13 28 "
        "M9 28 L4 28 L4 23 M4 19 L4 13 M4 9 L4 4",
        kNone },
    { "printimage", "R4 14 24 10 M9 14 L9 4 L23 4 L23 14 M11 12 L15 7 L18 10 L21 8 M9 24 L9 29 L23 29 L23 24", kPaper },
    { "leftbottom", "R6 16 12 10 M4 2 L4 30 M2 28 L30 28", kBlue },
    { "autoplace", "R3 3 12 8 R17 3 12 12 R3 13 12 16 R17 17 12 12", kGreen },
    { "del_feature", "M4 22 L10 8 L22 6 L28 20 Z M13 17 L21 27 M21 17 L13 27", kPaper },
    { "group", "R2 2 28 28 R6 6 10 10 R16 16 10 10", kBlue },
    { "ungroup", "R3 3 12 12 R17 17 12 12", kBlue },
    { "split", "R4 6 24 20 M18 2 L14 30", kBlue },
    { "merge", "E12 16 9 9 E20 16 9 9", kBlue },
    { "orientation", "M16 3 L22 16 L16 13 L10 16 Z M16 13 L16 29", kRed },
    { "drawrect", "R5 8 22 16", kNone },
    { "drawcircle", "E16 16 11 11", kNone },
    { "drawellipse", "E16 16 13 8", kNone },
    { "drawimage", "R4 6 24 20 M4 22 L12 14 L18 20 L22 17 L28 22 E21 11 2 2", kGreen },
    { "canvas", "R3 5 26 22 M3 10 L29 10", kPaper },
    { "autogroup", "R2 2 28 28 E11 11 5 5 R16 16 10 10", kGreen },
    { "template", "M4 26 L16 4 L28 26 Z M10 26 L16 15 L22 26", kPaper },
    { "expandall", "R4 4 24 24 R10 10 12 12", kBlue },
    { "expandsome", "R4 4 24 24 M10 10 L22 10 L22 22", kBlue },
    { "movepoint", "M4 26 C10 4 22 4 28 26 R13 8 6 6", kNone },
    { "drawpath", "M6 26 L20 12 L24 16 L10 30 Z M20 12 L24 4 L28 8 L24 16", kYellow },
    { "cut_curve", "E8 24 4 4 E24 24 4 4 M10 21 L22 4 M22 21 L10 4", kNone },
    { "delpoints", "M4 24 L16 8 L28 24 R13 5 6 6 M20 20 L28 28 M28 20 L20 28", kNone },
    { "addpoint", "M4 24 L16 8 L28 24 R13 5 6 6 M24 18 L24 30 M18 24 L30 24", kNone },
    { "editclear", "M6 20 L18 8 L26 16 L14 28 Z M4 29 L28 29", kRed },
    { "editpaste", "R6 5 20 24 R11 2 10 6", kYellow },
    { "drawline", "M5 27 L27 5", kNone },
    { "drawpolyline", "M4 26 L12 8 L20 22 L28 6", kNone },
    { "drawpolygon", "M16 4 L28 13 L23 27 L9 27 L4 13 Z", kNone },
    { "showrule", "M3 3 L29 3 L29 9 L9 9 L9 29 L3 29 Z", kYellow },
    { "showgrid", "R4 4 24 24 M12 4 L12 28 M20 4 L20 28 M4 12 L28 12 M4 20 L28 20", kNone },
    { "lock", "R7 14 18 14 M11 14 L11 9 C11 3 21 3 21 9 L21 14", kYellow },
    { "unlock", "R7 14 18 14 M11 14 L11 9 C11 3 21 3 21 9", kYellow },
    { "textbold", "'B", kNone },
    { "textitalic", "'I", kNone },
    { "textunder", "'U", kNone },
    { "aligntop", "M3 4 L29 4 R7 6 7 18 R18 6 7 10", kBlue },
    { "alignbottom", "M3 28 L29 28 R7 8 7 18 R18 16 7 10", kBlue },
    { "alignleft", "M4 3 L4 29 R6 7 18 7 R6 18 10 7", kBlue },
    { "alignright", "M28 3 L28 29 R8 7 18 7 R16 18 10 7", kBlue },
    { "alignmidver", "M16 3 L16 29 R7 7 18 7 R11 18 10 7", kBlue },
    { "alignmidhor", "M3 16 L29 16 R7 7 7 18 R18 11 7 10", kBlue },
    { "alignsamespacehor", "R3 9 6 14 R13 9 6 14 R23 9 6 14", kBlue },
    { "alignsamespacever", "R9 3 14 6 R9 13 14 6 R9 23 14 6", kBlue },
    { "alignsamewidth", "R6 4 20 8 R6 16 20 12 M3 30 L29 30", kBlue },
    { "alignsameheight", "R4 6 8 20 R18 6 10 20", kBlue },
    { "alignsamesize", "R3 6 12 12 R17 14 12 12", kBlue },
};

// The outline language of the table: one letter, then its numbers.
QPainterPath outline(const QString& text)
{
    QPainterPath path;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int i = 0;
    const auto next = [&words, &i] { return i < words.size() ? words[i++].toDouble() : 0.0; };
    while (i < words.size()) {
        const QString word = words[i++];
        const QChar command = word[0];
        if (command == 'Z') {
            path.closeSubpath();
            continue;
        }
        const double first = word.size() > 1 ? word.mid(1).toDouble() : next();
        const double second = next();
        if (command == 'M') {
            path.moveTo(first, second);
        } else if (command == 'L') {
            path.lineTo(first, second);
        } else if (command == 'C') {
            const double x2 = next(), y2 = next(), x = next(), y = next();
            path.cubicTo(first, second, x2, y2, x, y);
        } else if (command == 'R') {
            const double width = next();
            path.addRect(first, second, width, next());
        } else if (command == 'E') {
            const double rx = next();
            path.addEllipse(QPointF(first, second), rx, next());
        }
    }
    return path;
}

QImage letter(QChar glyph)
{
    QImage image = ImagePainter::blank(32, 32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(26);
    font.setBold(glyph == 'B');
    font.setItalic(glyph == 'I');
    font.setUnderline(glyph == 'U');
    painter.setFont(font);
    painter.setPen(kInk);
    painter.drawText(image.rect(), Qt::AlignCenter, QString(glyph));
    return image;
}
} // namespace

QImage ActionIconPainter::icon(const QString& name)
{
    for (const IconOutline& entry : kIcons) {
        if (name != QLatin1String(entry.name))
            continue;
        if (entry.outline[0] == '\'')
            return letter(QLatin1Char(entry.outline[1]));
        QImage image = ImagePainter::blank(32, 32);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(entry.fill == kNone ? QBrush(Qt::NoBrush) : QBrush(QColor(entry.fill)));
        painter.drawPath(outline(QString::fromLatin1(entry.outline)));
        return image;
    }
    return QImage();
}

bool ActionIconPainter::writeAll(const QString& folder)
{
    QStringList names;
    for (const auto& entry : kIcons)
        names << QLatin1String(entry.name);
    return ImagePainter::saveImages(folder, names, &ActionIconPainter::icon);
}
