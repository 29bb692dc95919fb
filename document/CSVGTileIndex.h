#pragma once

#include "TileCell.h"

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

class CSVGElement;

// The document's spatial index of shapes: square cells of 150 units, made
// on demand and kept until the index is cleared, and for every shape the
// cells it was given. Hit tests look up the cells under a point instead of
// walking the tree.
//
// A shape that would need more than kMaxCellsPerShape cells, or whose
// rectangle is not finite or leaves the 32-bit cell grid, is listed in one
// wide cell instead, which every lookup returns while it lists anything: it
// stays findable without a cell per square of its extent.
class CSVGTileIndex
{
public:
    static constexpr int kCellSize = 150;
    static constexpr double kMaxCellsPerShape = 4096;

    CSVGTileIndex() = default;
    CSVGTileIndex(const CSVGTileIndex&) = delete;
    CSVGTileIndex& operator=(const CSVGTileIndex&) = delete;
    ~CSVGTileIndex();

    // A container passes the call on to its shape children whose check flag
    // is set; a shape takes the cells of its transformed bounding rectangle
    // and, with its check flag set, is listed in them.
    void add(CSVGElement* element);
    // Takes the element, and the shapes inside a container, out of their
    // cells.
    void remove(CSVGElement* element);
    // Takes only this element out, for one that dies or leaves the document.
    void forget(const CSVGElement* element);
    // The cells that the rectangle touches, made where missing, and the wide
    // cell when it lists anything.
    std::vector<TileCell*> cellsForRect(const CSVGRect& rect);
    // The cell that holds the point, and the wide cell, where they exist
    // and list anything; nothing is made.
    std::vector<TileCell*> cellsAt(double x, double y) const;
    // The cells the element was given by its last add; empty when none.
    std::vector<TileCell*> cellsOf(const CSVGElement* element) const;
    void releaseCachedObjects();
    // Deletes every cell.
    void clear();

    const std::vector<TileCell*>& getCells() const { return m_cells; }
    static std::int64_t keyOf(int x, int y);

private:
    // The cells of a shape's rectangle, or the wide cell alone.
    std::vector<TileCell*> cellsOfShape(const CSVGRect& rect);
    TileCell* cellAt(int x, int y);
    TileCell* wideCell();
    static bool isContainer(const CSVGElement* element);

    std::map<std::int64_t, TileCell*> m_cellMap;
    // Owns the cells, in the order they were made.
    std::vector<TileCell*> m_cells;
    std::unordered_map<const CSVGElement*, std::vector<TileCell*>> m_cellsOf;
    TileCell* m_wide = nullptr;
};
