#include "CSVGElementDoctype.h"

#include "SvgCodes.h"

CSVGElementDoctype::CSVGElementDoctype(CSVGDocument* document)
    : CSVGElement(document, L"DOCTYPE", SvgType::Doctype)
{
}
