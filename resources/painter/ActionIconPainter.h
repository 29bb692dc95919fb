#pragma once

#include <QImage>
#include <QString>

// Paints the icons of the main window's actions, 32 x 32, each from a short
// outline in the small path language of outline().
class ActionIconPainter
{
public:
    // Writes every icon under folder ("images/<name>.png"); false when one
    // cannot be written.
    static bool writeAll(const QString& folder);

    // The icon of that name; null for a name without one.
    static QImage icon(const QString& name);
};
