#include "CSVGElementPattern.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "SvgCodes.h"

CSVGElementPattern::CSVGElementPattern(CSVGDocument* document)
    : CSVGElementStyleable(document, L"pattern", SvgType::Pattern)
{
    setCheckFlag(false);
}

bool CSVGElementPattern::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (name == L"patternContentUnits") {
        m_patternContentUnits = value;
        return true;
    }
    double* field = name == L"x" ? &m_x
        : name == L"y"           ? &m_y
        : name == L"width"       ? &m_width
        : name == L"height"      ? &m_height
                                 : nullptr;
    if (field)
        *field = g_config.parseLength(value);
    return field != nullptr;
}

bool CSVGElementPattern::writeIfReferenced(std::wstring& out, int depth)
{
    return writeSvg(out, depth, CSVGRect());
}

bool CSVGElementPattern::isWrittenOut() const
{
    return getDocument() && getDocument()->isReferenced(getId());
}
