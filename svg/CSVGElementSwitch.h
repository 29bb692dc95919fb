#pragma once

#include "CSVGElementG.h"

// Drawn, bounded and hit as a group: every child counts, whatever its
// conditions.
class CSVGElementSwitch : public CSVGElementG
{
    Q_OBJECT
public:
    explicit CSVGElementSwitch(CSVGDocument* document);
};
