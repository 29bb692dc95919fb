#pragma once

#include <QPolygonF>
#include <QRectF>

#include <vector>

// Cuts open polylines into the sections of a roll: section k is the section
// rectangle moved right by k times its width, its right edge moved further
// by the overlap. Each segment is clipped only into the sections its x-range
// reaches, so the work grows with the pieces produced, not with the number
// of sections times the points.
//
// The pieces of one section are those that clipPolylineToRect gives for the
// section's rectangle: a point on a boundary belongs to both sections.
class CSVGSectionClipper
{
public:
    using Section = std::vector<QPolygonF>;

    // Sections first to last (both included) are collected; a width that is
    // not positive and finite collects none.
    CSVGSectionClipper(const QRectF& sectionRect, double overlap, int first, int last);

    // Adds the pieces of the polyline to the sections it crosses. Segments
    // with a coordinate that is not finite are left out.
    void addPolyline(const QPolygonF& polyline);
    // Sections first to the last one holding a piece, at least one; empty
    // when no section was asked for.
    std::vector<Section> takeSections();

    // The pieces of the polyline inside the rectangle whose right edge is
    // moved right by the extension, in order. A segment continues the
    // current piece when it starts where that piece ends.
    static std::vector<QPolygonF> clipPolylineToRect(const QPolygonF& polyline, const QRectF& rect, double extension);

private:
    struct Bounds
    {
        double left, top, right, bottom;
    };
    // Cohen-Sutherland: false when nothing of the segment lies inside.
    static bool clipSegment(QPointF& a, QPointF& b, const Bounds& bounds);
    static void appendSegment(Section& pieces, const QPointF& a, const QPointF& b);
    Bounds sectionBounds(int section) const;
    // The sections whose x-range may hold part of [x0, x1], clamped.
    bool sectionRange(double x0, double x1, int& from, int& to) const;

    QRectF m_rect;
    double m_overlap;
    int m_first;
    int m_last;
    std::vector<Section> m_sections;
    // Per section: whether a piece of the current polyline is still open.
    std::vector<bool> m_open;
};
