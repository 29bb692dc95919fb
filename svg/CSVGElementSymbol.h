#pragma once

#include "CSVGElementG.h"

// A group shown through use elements; it and its children stay out of the
// document's intersection check.
class CSVGElementSymbol : public CSVGElementG
{
    Q_OBJECT
public:
    explicit CSVGElementSymbol(CSVGDocument* document);
};
