#include "CSVGTileIndex.h"

#include "CSVGElementShape.h"
#include "SvgCodes.h"

#include <climits>
#include <cmath>

namespace {

constexpr double kCell = CSVGTileIndex::kCellSize;

// No cell key has an x that is not a multiple of the cell size.
constexpr std::int64_t kWideKey = (std::int64_t(1) << 32) | 1;

// The first cell edge at or before a left (top) edge.
double startOf(double low)
{
    return low >= 0 ? std::trunc(low / kCell) * kCell : -kCell - std::trunc(-low / kCell) * kCell;
}

// The cell edge after a right (bottom) edge; an edge on a multiple of the
// cell size takes in the cell beyond it.
double endOf(double high)
{
    return high >= 0 ? (std::trunc(high / kCell) + 1) * kCell : std::trunc(high / kCell) * kCell;
}

bool onGrid(double value)
{
    return std::isfinite(value) && value >= double(INT_MIN) && value <= double(INT_MAX) - kCell;
}

// Down the tree from the element, parents first, with an explicit stack: the
// depth of a tree read from a file must not decide the depth of the call
// stack. visit says whether to go on into the children; take which of them.
template <typename Visit, typename Take> void walkDown(CSVGElement* element, Visit visit, Take take)
{
    std::vector<CSVGElement*> pending;
    if (element)
        pending.push_back(element);
    while (!pending.empty()) {
        CSVGElement* next = pending.back();
        pending.pop_back();
        if (!visit(next))
            continue;
        for (int i = next->getChildCount() - 1; i >= 0; --i) {
            if (take(next->getChild(i)))
                pending.push_back(next->getChild(i));
        }
    }
}

} // namespace

CSVGTileIndex::~CSVGTileIndex()
{
    clear();
}

std::int64_t CSVGTileIndex::keyOf(int x, int y)
{
    return static_cast<std::int64_t>((std::uint64_t(std::uint32_t(x)) << 32) | std::uint32_t(y));
}

bool CSVGTileIndex::isContainer(const CSVGElement* element)
{
    switch (element->getType()) {
    case SvgType::G:
    case SvgType::Svg:
    case SvgType::Switch:
    case SvgType::Symbol:
    case SvgType::A:
        return true;
    default:
        return false;
    }
}

void CSVGTileIndex::add(CSVGElement* element)
{
    const auto visit = [this](CSVGElement* next) {
        if (isContainer(next))
            return true;
        CSVGElementShape* shape = CSVGElementShape::asShape(next);
        if (!shape)
            return false;
        forget(next);
        std::vector<TileCell*> cells = cellsOfShape(shape->getTransformedBoundingRect());
        if (next->getCheckFlag()) {
            for (TileCell* cell : cells)
                cell->insertElement(next);
        }
        m_cellsOf[next] = std::move(cells);
        return false;
    };
    walkDown(element, visit, [](const CSVGElement* child) { return child->isShape() && child->getCheckFlag(); });
}

void CSVGTileIndex::remove(CSVGElement* element)
{
    const auto visit = [this](CSVGElement* next) {
        forget(next);
        return isContainer(next);
    };
    walkDown(element, visit, [](const CSVGElement* child) { return child->isShape(); });
}

void CSVGTileIndex::forget(const CSVGElement* element)
{
    const auto found = m_cellsOf.find(element);
    if (found == m_cellsOf.end())
        return;
    for (TileCell* cell : found->second)
        cell->removeElement(element);
    m_cellsOf.erase(found);
}

std::vector<TileCell*> CSVGTileIndex::cellsForRect(const CSVGRect& rect)
{
    std::vector<TileCell*> cells = cellsOfShape(rect);
    if (m_wide && !m_wide->elements.empty() && (cells.size() != 1 || cells.front() != m_wide))
        cells.push_back(m_wide);
    return cells;
}

std::vector<TileCell*> CSVGTileIndex::cellsAt(double x, double y) const
{
    std::vector<TileCell*> cells;
    const double left = startOf(x);
    const double top = startOf(y);
    if (onGrid(left) && onGrid(top)) {
        const auto found = m_cellMap.find(keyOf(int(left), int(top)));
        if (found != m_cellMap.end() && found->second != m_wide && !found->second->elements.empty())
            cells.push_back(found->second);
    }
    if (m_wide && !m_wide->elements.empty())
        cells.push_back(m_wide);
    return cells;
}

std::vector<TileCell*> CSVGTileIndex::cellsOf(const CSVGElement* element) const
{
    const auto found = m_cellsOf.find(element);
    return found == m_cellsOf.end() ? std::vector<TileCell*>() : found->second;
}

std::vector<TileCell*> CSVGTileIndex::cellsOfShape(const CSVGRect& rect)
{
    const CSVGRect corners = rect.toCornerRect();
    const double startX = startOf(corners.x);
    const double startY = startOf(corners.y);
    const double endX = endOf(corners.width);
    const double endY = endOf(corners.height);
    if (!onGrid(startX) || !onGrid(startY) || !onGrid(endX) || !onGrid(endY))
        return { wideCell() };
    const double columns = std::max(0.0, (endX - startX) / kCell);
    const double rows = std::max(0.0, (endY - startY) / kCell);
    if (columns * rows > kMaxCellsPerShape)
        return { wideCell() };
    std::vector<TileCell*> cells;
    cells.reserve(static_cast<size_t>(columns * rows));
    for (int x = int(startX); x < int(endX); x += kCellSize) {
        for (int y = int(startY); y < int(endY); y += kCellSize)
            cells.push_back(cellAt(x, y));
    }
    return cells;
}

TileCell* CSVGTileIndex::cellAt(int x, int y)
{
    const std::int64_t key = keyOf(x, y);
    TileCell*& cell = m_cellMap[key];
    if (!cell) {
        cell = new TileCell(key, CSVGRect(x, y, kCell, kCell));
        m_cells.push_back(cell);
    }
    return cell;
}

TileCell* CSVGTileIndex::wideCell()
{
    if (!m_wide) {
        const double edge = double(INT_MIN);
        m_wide = new TileCell(kWideKey, CSVGRect(edge, edge, -2 * edge, -2 * edge));
        m_cellMap[kWideKey] = m_wide;
        m_cells.push_back(m_wide);
    }
    return m_wide;
}

void CSVGTileIndex::releaseCachedObjects()
{
    for (TileCell* cell : m_cells)
        cell->releaseCachedObject();
}

void CSVGTileIndex::clear()
{
    for (TileCell* cell : m_cells)
        delete cell;
    m_cells.clear();
    m_cellMap.clear();
    m_cellsOf.clear();
    m_wide = nullptr;
}
