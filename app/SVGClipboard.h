#pragma once

#include <QString>

class CSVGDocument;
class QGraphicsPathItem;
class QGraphicsScene;
class QImage;
class QPointF;

// The editor's own clipboard, held by the application object for the whole
// run: the outline preview of the last copy and its SVG text. The editor
// copies into it and pastes from it.
class SVGClipboard
{
public:
    SVGClipboard() = default;
    ~SVGClipboard();
    SVGClipboard(const SVGClipboard&) = delete;
    SVGClipboard& operator=(const SVGClipboard&) = delete;

    // Nothing to place: the text alone does not count.
    bool isEmpty() const { return preview == nullptr; }
    // A new outline of the selected shapes as the canvas shows them (their
    // transforms applied); the selection's text replaces the old one unless
    // it is empty.
    void copyFrom(CSVGDocument* document);
    // The outline's centre goes to the scene point.
    void movePreviewTo(const QPointF& point);
    // The copied text centred on the point or, without text, the system
    // clipboard's picture with its top left there. The outline goes either
    // way; the text stays for the next paste.
    void pasteInto(CSVGDocument* document, const QPointF& point);
    // Nothing more to place: the outline goes, the text stays.
    void dropPreview();
    // A scene deletes its items when it goes: the outline is taken out first,
    // since it stays the clipboard's.
    void releaseFrom(QGraphicsScene* scene);

    // Owned, even while a scene shows it.
    QGraphicsPathItem* preview = nullptr;
    QString text;

    // The picture as an embedded PNG with its top left on the point.
    static QString imageElementText(const QImage& image, const QPointF& point);
};
