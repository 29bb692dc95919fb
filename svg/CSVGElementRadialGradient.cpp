#include "CSVGElementRadialGradient.h"

#include "SvgCodes.h"

CSVGElementRadialGradient::CSVGElementRadialGradient(CSVGDocument* document)
    : CSVGElementGradient(document, L"radialGradient", SvgType::RadialGradient)
{
    setCheckFlag(false);
}

bool CSVGElementRadialGradient::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    std::wstring* field = name == L"cx" ? &m_cx
        : name == L"cy"                 ? &m_cy
        : name == L"r"                  ? &m_r
        : name == L"fx"                 ? &m_fx
        : name == L"fy"                 ? &m_fy
                                        : nullptr;
    if (!field)
        return CSVGElementGradient::readAttributeField(name, value);
    *field = value;
    return true;
}
