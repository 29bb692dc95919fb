#pragma once

#include "CSVGElementShape.h"

class CSVGElementEllipse : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementEllipse(CSVGDocument* document);

    // Within the radii grown by the stroke width.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    void updateGeometry() override;
    void computeBounds() override;

    // Whether p lies in the ellipse about (cx, cy) with the radii; a radius
    // of (almost) 0 counts as 0.0001, so that only the centre line hits.
    static bool containsPoint(double cx, double cy, double rx, double ry, const QPointF& p);

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    double m_rx = 0;
    double m_ry = 0;
    double m_cx = 0;
    double m_cy = 0;
};
