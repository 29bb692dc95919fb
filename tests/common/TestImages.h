#pragma once

// Rendering is compared by pixel overlap: the dark pixels of one image that
// lie near a dark pixel of the other. The outside renderer is rsvg-convert
// (librsvg2-bin), drawing outlines only.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QVector>

#include <algorithm>

// Clearly darker than white: a thin line drawn with antialiasing counts.
inline QVector<bool> darkMask(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QVector<bool> mask(argb.width() * argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int grey = qGray(line[x]);
            const int alpha = qAlpha(line[x]);
            mask[y * argb.width() + x] = (grey * alpha + 255 * (255 - alpha)) / 255 < 192;
        }
    }
    return mask;
}

// The share of a's dark pixels with a dark pixel of b at most reach pixels
// away in x and y; 1 when a has none. Both images have one size.
inline double shareNear(const QImage& a, const QImage& b, int reach)
{
    const QVector<bool> ours = darkMask(a);
    const QVector<bool> theirs = darkMask(b);
    const int width = a.width();
    const int height = a.height();
    int dark = 0;
    int near = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!ours[y * width + x])
                continue;
            ++dark;
            bool found = false;
            for (int v = qMax(0, y - reach); v <= qMin(height - 1, y + reach) && !found; ++v) {
                for (int u = qMax(0, x - reach); u <= qMin(width - 1, x + reach) && !found; ++u)
                    found = theirs[v * width + u];
            }
            near += found ? 1 : 0;
        }
    }
    return dark == 0 ? 1.0 : double(near) / dark;
}

// The number of dark pixels.
inline int darkCount(const QImage& image)
{
    const QVector<bool> mask = darkMask(image);
    return int(std::count(mask.begin(), mask.end(), true));
}

// The file drawn by rsvg-convert as outlines (no fill, black stroke of the
// given width in user units) with the extra arguments (size or zoom); a null
// image when it fails. The editor draws every outline one pixel wide,
// whatever its stroke width.
inline QImage rsvgOutlines(const QString& svgPath, const QStringList& arguments, double strokeWidth = 1.0)
{
    QTemporaryDir folder;
    const QString css = folder.filePath("outline.css");
    const QString png = folder.filePath("out.png");
    QFile sheet(css);
    if (!sheet.open(QIODevice::WriteOnly))
        return QImage();
    sheet.write(QString("* { fill: none !important; stroke: #000 !important; stroke-width: %1 !important }")
                    .arg(strokeWidth)
                    .toUtf8());
    sheet.close();
    QProcess rsvg;
    rsvg.start(
        "rsvg-convert", QStringList { "-s", css, "-b", "white", "-o", png } + arguments + QStringList { svgPath });
    if (!rsvg.waitForFinished(60000) || rsvg.exitCode() != 0)
        return QImage();
    return QImage(png);
}

// A black ring on white, 300 pixels square: outer radius 100 and hole
// radius 50 about the centre, for tracing.
inline QImage ringImage()
{
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(150, 150), 100, 100);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(150, 150), 50, 50);
    return image;
}

// An SVG picture at the path that shows itself, written there; its bytes.
// Qt's SVG reader follows such a picture without end.
inline QByteArray selfShowingSvg(const QString& path)
{
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                           "width='4' height='4'><image width='4' height='4' xlink:href='"
        + QUrl::fromLocalFile(path).toEncoded() + "'/></svg>";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size() ? svg : QByteArray();
}
