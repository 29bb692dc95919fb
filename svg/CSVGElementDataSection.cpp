#include "CSVGElementDataSection.h"

#include "SvgCodes.h"

CSVGElementDataSection::CSVGElementDataSection(CSVGDocument* document)
    : CSVGElement(document, L"[CDATA[", SvgType::CData)
{
}
