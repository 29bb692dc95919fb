#pragma once

#include "CSVGElementGradient.h"

class CSVGElementLinearGradient : public CSVGElementGradient
{
    Q_OBJECT
public:
    explicit CSVGElementLinearGradient(CSVGDocument* document);

    double getX1() const { return m_x1; }
    double getY1() const { return m_y1; }
    double getX2() const { return m_x2; }
    double getY2() const { return m_y2; }

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    double m_x1 = 0.0;
    double m_y1 = 0.0;
    double m_x2 = 0.0;
    double m_y2 = 0.0;
};
