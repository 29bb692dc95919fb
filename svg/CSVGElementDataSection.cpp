#include "CSVGElementDataSection.h"

CSVGElementDataSection::CSVGElementDataSection(CSVGDocument* document)
    : CSVGElement(document, L"[CDATA[", 3)
{
}
