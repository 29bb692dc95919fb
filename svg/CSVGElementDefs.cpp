#include "CSVGElementDefs.h"

#include "SvgCodes.h"

CSVGElementDefs::CSVGElementDefs(CSVGDocument* document)
    : CSVGElement(document, L"defs", SvgType::Defs)
{
    setCheckFlag(false);
}
