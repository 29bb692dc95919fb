#pragma once

#include "CSVGRect.h"

#include <cstdint>
#include <vector>

class CSVGElement;

// One square of the canvas, 150 by 150 document units, and the shapes whose
// transformed bounding rectangle touches it, in drawing order. Owned by the
// document's tile index.
struct TileCell
{
    // What the drawing side caches for the cell; deleted with the cell or
    // when the view changes.
    class CachedObject
    {
    public:
        virtual ~CachedObject() = default;
    };

    TileCell(std::int64_t cellKey, const CSVGRect& cellRect);
    ~TileCell();
    TileCell(const TileCell&) = delete;
    TileCell& operator=(const TileCell&) = delete;

    // Before the first element whose drawing-order number is greater.
    void insertElement(CSVGElement* element);
    // False when the cell does not list it.
    bool removeElement(const CSVGElement* element);
    void releaseCachedObject();

    // 1 once an element came or went.
    int changed = 0;
    // Left x in the upper 32 bits, top y as an unsigned pattern in the lower.
    std::int64_t key;
    CSVGRect rect;
    std::vector<CSVGElement*> elements;
    CachedObject* cachedObject = nullptr;
};
