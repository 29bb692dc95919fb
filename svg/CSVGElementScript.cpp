#include "CSVGElementScript.h"

CSVGElementScript::CSVGElementScript(CSVGDocument* document)
    : CSVGElement(document, L"script", 78)
{
}
