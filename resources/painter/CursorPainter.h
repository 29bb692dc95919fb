#pragma once

#include <QImage>
#include <QString>

// Paints the canvas's mouse cursors, 32 x 32, black on a white rim so that
// they show on the page and on dark canvas colours alike. Each is drawn
// around the hot spot that the canvas gives it.
class CursorPainter
{
public:
    // Writes every cursor under folder ("images/<name>.png"); false when one
    // cannot be written.
    static bool writeAll(const QString& folder);

    // The cursor of that name; null for a name without one.
    static QImage cursor(const QString& name);
};
