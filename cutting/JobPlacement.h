#pragma once

#include <QRectF>
#include <QTransform>

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
    // Turns, mirrors and moves every piece of the document's root.
    void apply(CSVGDocument& document) const;

private:
    static void transformPieces(CSVGDocument& document, const QTransform& transform);

    double m_rotation = 0;
    bool m_mirrorX = false;
    bool m_mirrorY = false;
    bool m_align = false;
};
