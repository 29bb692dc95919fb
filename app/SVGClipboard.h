#pragma once

#include <QString>

class QGraphicsPathItem;

// The editor's own clipboard, held by the application object for the whole
// run: the outline preview of the last copy and its SVG text. The editor
// copies into it and pastes from it.
class SVGClipboard
{
public:
    bool isEmpty() const { return preview == nullptr; }

    // Shown in a scene while a paste is placed; a scene that goes away takes
    // the item with it, so the clipboard does not delete it.
    QGraphicsPathItem* preview = nullptr;
    QString text;
};
