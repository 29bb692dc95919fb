#pragma once

#include "CSVGElement.h"

// Definitions: kept and written, never drawn; it and its children stay out
// of the document's intersection check.
class CSVGElementDefs : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementDefs(CSVGDocument* document);
};
