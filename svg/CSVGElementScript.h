#pragma once

#include "CSVGElement.h"

// A script, kept and written as it came; never run.
class CSVGElementScript : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementScript(CSVGDocument* document);
};
