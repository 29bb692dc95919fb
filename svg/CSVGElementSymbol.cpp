#include "CSVGElementSymbol.h"

CSVGElementSymbol::CSVGElementSymbol(CSVGDocument* document)
    : CSVGElementG(document, L"symbol", 84)
{
    setCheckFlag(false);
}
