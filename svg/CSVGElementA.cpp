#include "CSVGElementA.h"

#include "SvgCodes.h"

CSVGElementA::CSVGElementA(CSVGDocument* document)
    : CSVGElementG(document, L"a", SvgType::A)
{
}
