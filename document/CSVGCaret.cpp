#include "CSVGCaret.h"

CSVGCaret::CSVGCaret()
{
    dark.weight = 2;
    dark.color = QColor(0, 0, 0, 255);
    light.weight = 1;
    light.color = QColor(255, 255, 255, 255);
}
