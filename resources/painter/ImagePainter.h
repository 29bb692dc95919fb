#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

// Paints the images that the pages and windows show. They are drawn here at
// build time rather than kept as binary files.
class ImagePainter
{
public:
    // Writes every image under folder ("images/..." and "zoimages/...");
    // false when one cannot be written.
    static bool writeAll(const QString& folder);

    static QImage background();
    static QImage icon(int size);
    static QImage previewPlaceholder();
    static QImage dropDownMark();
    static QImage flower();
    static QImage checkMark(bool checked);
    static QImage closeMark();

    // An image of that size in one colour, transparent by default, to paint on.
    static QImage blank(int width, int height, const QColor& fill = Qt::transparent);

    static bool save(const QImage& image, const QString& path, const char* format);
    // Each name's image as "images/<name>.png" under folder; false when one
    // cannot be written.
    static bool saveImages(
        const QString& folder, const QStringList& names, const std::function<QImage(const QString&)>& paint);
};
