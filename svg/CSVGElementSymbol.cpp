#include "CSVGElementSymbol.h"

#include "SvgCodes.h"

CSVGElementSymbol::CSVGElementSymbol(CSVGDocument* document)
    : CSVGElementG(document, L"symbol", SvgType::Symbol)
{
    setCheckFlag(false);
}
