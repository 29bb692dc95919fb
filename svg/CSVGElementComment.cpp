#include "CSVGElementComment.h"

CSVGElementComment::CSVGElementComment(CSVGDocument* document)
    : CSVGElement(document, L"comment", 7)
{
}
