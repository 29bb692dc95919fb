#pragma once

#include "CSVGElementG.h"

// A link: drawn, bounded and hit as a group.
class CSVGElementA : public CSVGElementG
{
    Q_OBJECT
public:
    explicit CSVGElementA(CSVGDocument* document);
};
