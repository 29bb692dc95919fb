#pragma once

#include <QImage>
#include <QString>

// Paints the images of the style toolbar: the colour buttons' marks and the
// line-width and dash-type strips.
class MenuImagePainter
{
public:
    // Writes them under folder ("images/..."); false when one cannot be written.
    static bool writeAll(const QString& folder);

    enum class ColorMark { Text, Line, Fill };
    // 32 x 24: the mark in the upper left 20 x 20, a drop-down arrow right of
    // x 24; the colour bar below the mark is the button's to paint.
    static QImage colorMark(ColorMark mark);
    // Columns of 100 x 20 strips.
    static QImage lineWidths();
    static QImage lineTypes();
};
