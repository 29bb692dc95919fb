#pragma once

#include "CSVGElementPolyline.h"

// The closed polyline.
class CSVGElementPolygon : public CSVGElementPolyline
{
    Q_OBJECT
public:
    explicit CSVGElementPolygon(CSVGDocument* document);

    // Inside the polygon, whatever the fill and the stroke.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // Makes the ring start at its leftmost point (the first of equal ones)
    // and end where it starts, and writes "points" back.
    void commitGeometry() override;
    bool isValidPolygon() const { return m_points.size() >= 3; }

protected:
    // From 3 points on.
    bool isClosedOutline() const override { return isValidPolygon(); }
};
