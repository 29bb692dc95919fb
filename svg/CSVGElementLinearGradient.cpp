#include "CSVGElementLinearGradient.h"

#include "CGlobalConfig.h"
#include "SvgCodes.h"

CSVGElementLinearGradient::CSVGElementLinearGradient(CSVGDocument* document)
    : CSVGElementGradient(document, L"linearGradient", SvgType::LinearGradient)
{
    setCheckFlag(false);
}

bool CSVGElementLinearGradient::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    double* field = name == L"x1" ? &m_x1
        : name == L"y1"           ? &m_y1
        : name == L"x2"           ? &m_x2
        : name == L"y2"           ? &m_y2
                                  : nullptr;
    if (!field)
        return CSVGElementGradient::readAttributeField(name, value);
    *field = g_config.parseLength(value);
    return true;
}
