#pragma once

#include "CSVGHighlight.h"

// The caret of a text under editing: a dark line with a light one beside it,
// so that it shows on any background.
class CSVGCaret
{
public:
    CSVGCaret();

    HighlightLine dark;
    HighlightLine light;
};
