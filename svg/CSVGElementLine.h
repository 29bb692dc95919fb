#pragma once

#include "CSVGElementShape.h"

class CSVGElementLine : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementLine(CSVGDocument* document);

    std::set<std::wstring> getAttributeNames() const override;
    // Within the stroke width plus 2 of the segment, measured square to it;
    // nothing beyond its ends.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // 0 near the first end point, 1 near the second, else -1.
    int hitTestHandle(double x, double y, const CSVGMatrix& matrix) override;
    void updateGeometry() override;
    // Makes the line run from left to right, writing the end points back.
    void commitGeometry() override;
    void computeBounds() override;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    double m_x1 = 0;
    double m_y1 = 0;
    double m_x2 = 0;
    double m_y2 = 0;
};
