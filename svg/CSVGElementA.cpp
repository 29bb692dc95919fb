#include "CSVGElementA.h"

CSVGElementA::CSVGElementA(CSVGDocument* document)
    : CSVGElementG(document, L"a", 12)
{
}
