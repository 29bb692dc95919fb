#include "TileCell.h"

#include "CSVGElement.h"

#include <algorithm>

TileCell::TileCell(std::int64_t cellKey, const CSVGRect& cellRect)
    : key(cellKey)
    , rect(cellRect)
{
}

TileCell::~TileCell()
{
    releaseCachedObject();
}

// Shapes arrive mostly in drawing order, so the search starts at the back.
void TileCell::insertElement(CSVGElement* element)
{
    const int order = element->getOrderNumber();
    auto position = elements.end();
    while (position != elements.begin() && (*(position - 1))->getOrderNumber() > order)
        --position;
    elements.insert(position, element);
    changed = 1;
}

bool TileCell::removeElement(const CSVGElement* element)
{
    const auto found = std::find(elements.rbegin(), elements.rend(), element);
    if (found == elements.rend())
        return false;
    elements.erase(std::next(found).base());
    changed = 1;
    return true;
}

void TileCell::releaseCachedObject()
{
    delete cachedObject;
    cachedObject = nullptr;
}
