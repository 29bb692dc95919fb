#pragma once

#include "CSVGElementShape.h"
#include "CSVGPathSeg.h"

#include <QPainterPath>
#include <QPointF>

#include <algorithm>
#include <string>
#include <vector>

class CSVGPathSegClosePath;
class CSVGPathSegCurvetoCubic;
class CSVGPathSegLineto;
class CSVGPathSegMoveto;

// The path element. Its outline is the segment list read from "d", always in
// absolute coordinates; the drawing tools, imports and node editing also
// build and edit the segments directly. From the segments it derives its
// painter path and a coarse flattened point list, from which its box and its
// hit test come.
class CSVGElementPath : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementPath(CSVGDocument* document);

    // An outline worked out apart from any element, so that many can be
    // worked out on all cores: the segments as a read of "d" gives them,
    // the text (as the element keeps it), and the painter path and box when
    // the text reads back one segment for one.
    struct Prepared
    {
        CSVGPathSegList segments;
        CSVGAttributeText data;
        bool asWritten = false;
        QPainterPath path;
        CSVGRect box;
    };
    // The moves, lines and cubic curves of the painter paths, each closed
    // when it ends where it starts. Touches nothing but its arguments.
    static Prepared prepare(const std::vector<QPainterPath>& paths);
    // The same for segments made by hand.
    static Prepared prepare(CSVGPathSegList segments);
    // Takes the outline as "d", without notifying, and as its geometry.
    void adopt(Prepared prepared);

    // Appending marks the geometry dirty; the close rebuilds it at once
    // unless told not to.
    CSVGPathSegMoveto* appendMoveto(double x, double y);
    CSVGPathSegLineto* appendLineto(double x, double y);
    CSVGPathSegCurvetoCubic* appendCurvetoCubic(double x1, double y1, double x2, double y2, double x, double y);
    CSVGPathSegClosePath* appendClosePath(bool rebuild = true);

    int getSegmentCount() const { return static_cast<int>(m_segments.size()); }
    // Null when the index is out of range.
    CSVGPathSeg* getSegment(int index) const;
    // 0 is the last segment.
    CSVGPathSeg* getSegmentFromEnd(int index) const;
    // Deletes the segment; false when it is not one of this path's.
    bool removeSegment(CSVGPathSeg* segment);
    const CSVGPathSegList& getSegments() const { return m_segments; }

    // The "d" text of the segments.
    std::wstring toPathData() const;
    // Sets "d" to the text of the segments and leaves the segments as a read
    // of that text gives them: each number as its two decimals read back.
    void writePathData(bool notify);
    std::vector<QPointF> getFlattenedPoints();

    // Writes "d" back from the segments, two decimals per number.
    void normalizeTransform() override;
    // Inside the polygon of the flattened points, by winding; the stroke
    // plays no part.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    void updateGeometry() override;
    // The extremes of the flattened points; 0, 0, 0, 0 without any.
    void computeBounds() override;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    template <typename Segment, typename... Numbers> Segment* append(Numbers... numbers);
    static void appendPainterPath(CSVGPathSegList& segments, const QPainterPath& path);
    static bool startsWhereItEnds(const QPainterPath& path);
    static bool roundAsWritten(CSVGPathSegList& segments);
    static bool preparePolyline(Prepared& prepared);
    static CSVGRect boundsOf(const std::vector<QPointF>& points);

    CSVGPathSegList m_segments;
    // While set, "d" is being written from the segments, which already
    // hold what reading it would give.
    bool m_writingData = false;
    std::vector<QPointF> m_flattened;
};
