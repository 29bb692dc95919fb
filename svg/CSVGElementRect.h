#pragma once

#include "CSVGElementShape.h"

// The rectangle, with rounded corners when "rx" or "ry" is above 0.
class CSVGElementRect : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementRect(CSVGDocument* document);

    std::set<std::wstring> getAttributeNames() const override;
    // Inside the normalised rectangle grown by the stroke width, edges
    // included, filled or not.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    void updateGeometry() override;
    // Writes the normalised rectangle back into "x", "y", "width" and
    // "height"; a rectangle without width and height stays as it is.
    void commitGeometry() override;
    // The rectangle as written: a negative width stays negative.
    void computeBounds() override;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    QRectF normalized() const;

    double m_x = 0;
    double m_y = 0;
    double m_rx = 0;
    double m_ry = 0;
    double m_width = 0;
    double m_height = 0;
};
