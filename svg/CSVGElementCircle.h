#pragma once

#include "CSVGElementShape.h"

class CSVGElementCircle : public CSVGElementShape
{
    Q_OBJECT
public:
    explicit CSVGElementCircle(CSVGDocument* document);

    std::set<std::wstring> getAttributeNames() const override;
    // Within the radius grown by the stroke width; a radius of (almost) 0
    // hits only the centre.
    bool hitTest(double x, double y, std::wstring& groupId, std::wstring& id) override;
    // Only the four corners of the box are handles.
    int hitTestHandle(double x, double y, const CSVGMatrix& matrix) override;
    void updateGeometry() override;
    void computeBounds() override;

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    double m_cx = 0;
    double m_cy = 0;
    double m_r = 0;
};
