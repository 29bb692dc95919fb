#pragma once

#include "CSVGElementGradient.h"

// Keeps its centre, radius and focus as written; nothing reads them as
// numbers.
class CSVGElementRadialGradient : public CSVGElementGradient
{
    Q_OBJECT
public:
    explicit CSVGElementRadialGradient(CSVGDocument* document);

    std::wstring getCx() const { return m_cx; }
    std::wstring getCy() const { return m_cy; }
    std::wstring getR() const { return m_r; }
    std::wstring getFx() const { return m_fx; }
    std::wstring getFy() const { return m_fy; }

protected:
    bool readAttributeField(const std::wstring& name, const std::wstring& value) override;

private:
    std::wstring m_cx;
    std::wstring m_cy;
    std::wstring m_r;
    std::wstring m_fx;
    std::wstring m_fy;
};
