#pragma once

#include <QRectF>
#include <QTransform>
#include <QVector>

class CSVGDocument;
class DeviceRecord;

// Where the whole job lies on the film: turned by "PlotRotation" and
// mirrored by "PlotMirrorX" and "PlotMirrorY" about the job's own extent,
// whose top left corner stays where it was, and with "PlotAutoAlign" moved
// so that it starts at the origin. It applies once, to the whole drawing,
// before the drawing is cut into frames: every frame moves alike, and a
// piece that crosses a frame boundary stays whole.
class JobPlacement
{
public:
    explicit JobPlacement(const DeviceRecord& device);

    bool isIdentity() const { return m_rotation == 0 && !m_mirrorX && !m_mirrorY && !m_align; }
    bool operator==(const JobPlacement& other) const
    {
        return m_rotation == other.m_rotation && m_mirrorX == other.m_mirrorX && m_mirrorY == other.m_mirrorY
            && m_align == other.m_align;
    }
    // Turns, mirrors and moves every piece of the document's root.
    void apply(CSVGDocument& document) const;
    // apply, on a document that holds the page cut, then names the drawn
    // pieces that the page no longer holds, so that the knife never runs off
    // the film, by their boxes as drawn, before placing, where the user finds
    // them: those wholly off the page, which it takes off the document, and
    // those across its edge, which make the job one that cannot be cut.
    void placeOnPage(CSVGDocument& document, QVector<QRectF>* offPage, QVector<QRectF>* acrossEdge) const;

private:
    static void transformPieces(CSVGDocument& document, const QTransform& transform);

    double m_rotation = 0;
    bool m_mirrorX = false;
    bool m_mirrorY = false;
    bool m_align = false;
};
