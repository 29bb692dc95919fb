#include "CSVGPieceIndex.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxSide = 1024;

bool isFiniteBox(const QRectF& box)
{
    return std::isfinite(box.left()) && std::isfinite(box.top()) && std::isfinite(box.right())
        && std::isfinite(box.bottom());
}

int sideCount(double cells)
{
    return int(std::clamp(std::lround(cells), 1L, long(kMaxSide)));
}

} // namespace

void CSVGPieceIndex::clear()
{
    rebuild({}, {});
}

// About one cell per piece, laid over the pieces' centres: a far outlier's
// box reaches into the edge cells instead of stretching the grid.
void CSVGPieceIndex::rebuild(std::vector<CSVGElementShape*> pieces, const std::vector<QRectF>& boxes)
{
    m_pieces = std::move(pieces);
    m_seen.assign(m_pieces.size(), 0);
    m_stamp = 0;
    std::vector<bool> everywhere(m_pieces.size(), false);
    // QRectF::united passes over rectangles without size, as points are.
    double left = qInf();
    double top = qInf();
    double right = -qInf();
    double bottom = -qInf();
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        everywhere[i] = i >= boxes.size() || !isFiniteBox(boxes[i].normalized());
        if (everywhere[i])
            continue;
        const QPointF centre = boxes[i].normalized().center();
        left = std::min(left, centre.x());
        top = std::min(top, centre.y());
        right = std::max(right, centre.x());
        bottom = std::max(bottom, centre.y());
    }
    const QRectF centres = left <= right ? QRectF(QPointF(left, top), QPointF(right, bottom)) : QRectF();
    const double width = centres.width();
    const double height = centres.height();
    const double count = double(m_pieces.size());
    m_columns = width > 0 ? sideCount(height > 0 ? std::sqrt(count * width / height) : count) : 1;
    m_rows = height > 0 ? sideCount(count / m_columns) : 1;
    m_origin = centres.topLeft();
    m_cellWidth = width > 0 ? width / m_columns : 1;
    m_cellHeight = height > 0 ? height / m_rows : 1;
    layOut(boxes, everywhere);
}

// Two passes: counts per cell, then the ranks, so each cell lists its pieces
// in child order in one shared array.
void CSVGPieceIndex::layOut(const std::vector<QRectF>& boxes, const std::vector<bool>& everywhere)
{
    m_everywhere.clear();
    m_cellStart.assign(size_t(m_columns) * m_rows + 1, 0);
    std::vector<CellRange> ranges(m_pieces.size());
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        if (!everywhere[i])
            ranges[i] = rangeOf(boxes[i].normalized());
        if (everywhere[i] || ranges[i].count() > kMaxCellsPerPiece) {
            m_everywhere.push_back(int(i));
            ranges[i] = { 0, 0, -1, -1 };
        }
        for (int y = ranges[i].top; y <= ranges[i].bottom; ++y) {
            for (int x = ranges[i].left; x <= ranges[i].right; ++x)
                ++m_cellStart[size_t(y) * m_columns + x + 1];
        }
    }
    for (size_t c = 1; c < m_cellStart.size(); ++c)
        m_cellStart[c] += m_cellStart[c - 1];
    m_cellPieces.assign(size_t(m_cellStart.back()), 0);
    std::vector<int> next(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        for (int y = ranges[i].top; y <= ranges[i].bottom; ++y) {
            for (int x = ranges[i].left; x <= ranges[i].right; ++x)
                m_cellPieces[size_t(next[size_t(y) * m_columns + x]++)] = int(i);
        }
    }
}

// Clamped and monotonic, so that two boxes that meet, edges included, share
// a cell wherever they lie.
int CSVGPieceIndex::cellOf(double offset, double size, int count)
{
    const double cell = std::floor(offset / size);
    if (!(cell >= 0))
        return 0;
    return cell >= count - 1 ? count - 1 : int(cell);
}

CSVGPieceIndex::CellRange CSVGPieceIndex::rangeOf(const QRectF& box) const
{
    return { cellOf(box.left() - m_origin.x(), m_cellWidth, m_columns),
        cellOf(box.top() - m_origin.y(), m_cellHeight, m_rows),
        cellOf(box.right() - m_origin.x(), m_cellWidth, m_columns),
        cellOf(box.bottom() - m_origin.y(), m_cellHeight, m_rows) };
}

std::vector<CSVGElementShape*> CSVGPieceIndex::candidates(const QRectF& rect)
{
    const QRectF query = rect.normalized();
    const CellRange range = isFiniteBox(query) ? rangeOf(query) : CellRange { 0, 0, m_columns - 1, m_rows - 1 };
    if (range.count() >= qint64(m_pieces.size()))
        return m_pieces;
    if (++m_stamp == 0) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
        m_stamp = 1;
    }
    std::vector<int> ranks = m_everywhere;
    for (int y = range.top; y <= range.bottom; ++y) {
        const size_t row = size_t(y) * m_columns;
        for (int c = m_cellStart[row + range.left]; c < m_cellStart[row + range.right + 1]; ++c) {
            const int rank = m_cellPieces[size_t(c)];
            if (m_seen[size_t(rank)] != m_stamp) {
                m_seen[size_t(rank)] = m_stamp;
                ranks.push_back(rank);
            }
        }
    }
    std::sort(ranks.begin(), ranks.end());
    std::vector<CSVGElementShape*> found;
    found.reserve(ranks.size());
    for (int rank : ranks)
        found.push_back(m_pieces[size_t(rank)]);
    return found;
}
