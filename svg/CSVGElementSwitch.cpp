#include "CSVGElementSwitch.h"

#include "SvgCodes.h"

CSVGElementSwitch::CSVGElementSwitch(CSVGDocument* document)
    : CSVGElementG(document, L"switch", SvgType::Switch)
{
}
