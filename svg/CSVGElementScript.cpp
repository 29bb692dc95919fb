#include "CSVGElementScript.h"

#include "SvgCodes.h"

CSVGElementScript::CSVGElementScript(CSVGDocument* document)
    : CSVGElement(document, L"script", SvgType::Script)
{
}
