#pragma once

#include <QPainterPath>

#include <vector>

class CSVGElement;

// One sub-path of a drawn element in canvas coordinates, with the outlines
// that lie directly inside it: the working record of nesting, the boolean
// operations and the path repair. Copying copies the children too.
struct CSVGOutline
{
    // The element the outline was taken from; may be null, never owned.
    CSVGElement* element = nullptr;
    // Oriented so that its signed area is positive.
    QPainterPath path;
    // Whether the flattened sub-path ends on its first point.
    bool closed = false;
    // Absolute area, 0 until measured.
    double area = 0;
    std::vector<CSVGOutline> children;
};
