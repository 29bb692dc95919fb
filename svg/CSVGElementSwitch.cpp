#include "CSVGElementSwitch.h"

CSVGElementSwitch::CSVGElementSwitch(CSVGDocument* document)
    : CSVGElementG(document, L"switch", 83)
{
}
