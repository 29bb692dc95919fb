#include "CSVGElementDefs.h"

CSVGElementDefs::CSVGElementDefs(CSVGDocument* document)
    : CSVGElement(document, L"defs", 25)
{
    setCheckFlag(false);
}
