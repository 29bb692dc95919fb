#pragma once

#include "CSVGElementShape.h"

#include <QPolygonF>

#include <string>

// The polyline: an open outline through the points of "points". The polygon
// shares the point list, its text and the tests here.
class CSVGElementPolyline : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementPolyline(CSVGDocument* document);

    // The list itself: editing operations change it and then write "points"
    // back through pointsToText and setAttribute.
    QPolygonF& getPoints() { return m_points; }
    static std::wstring pointsToText(const QPolygonF& points);

    // With "fill-opacity" above 0.1 the inside of the polygon of the points
    // hits; otherwise a band of the stroke width plus 2 on either side of each
    // segment.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // Whether a point, in canvas coordinates, lies in the rectangle.
    bool intersectsRect(const CSVGRect& rect) override;
    // The index of the first point within 3 units of (x, y) mapped by the
    // inverse of matrix x the element's matrix; -1 for none.
    int hitTestHandle(double x, double y, const CSVGMatrix& matrix) override;
    void updateGeometry() override;
    void computeBounds() override;

protected:
    CSVGElementPolyline(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type);
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;
    // Whether the outline goes back to the first point.
    virtual bool isClosedOutline() const { return false; }
    // Whether the point, in the element's coordinates, lies in the polygon of
    // the points.
    bool containsPoint(const QPointF& p) const;

    QPolygonF m_points;
};
