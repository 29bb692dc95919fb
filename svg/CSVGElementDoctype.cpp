#include "CSVGElementDoctype.h"

CSVGElementDoctype::CSVGElementDoctype(CSVGDocument* document)
    : CSVGElement(document, L"DOCTYPE", 9)
{
}
