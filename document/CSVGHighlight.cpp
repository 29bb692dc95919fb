#include "CSVGHighlight.h"

CSVGHighlight::CSVGHighlight(CSVGElement* element, const QColor& color)
    : m_element(element)
    , m_color(color)
{
}
