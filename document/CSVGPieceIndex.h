#pragma once

#include <QRectF>

#include <vector>

class CSVGElementShape;

// A uniform grid over the canvas boxes of the root's drawable children, for
// the press and the rubber band: a query returns the pieces whose box may
// meet a rectangle, in child order, so the caller's exact tests run on those
// alone. The grid keeps no link to the document: the owner rebuilds it
// whenever the drawing changed.
class CSVGPieceIndex
{
public:
    // Cells a box may span before it joins the pieces every query returns.
    static constexpr int kMaxCellsPerPiece = 64;

    // The pieces in child order with their boxes; a box that is not finite
    // (or a piece whose box follows another element) puts the piece in
    // every answer.
    void rebuild(std::vector<CSVGElementShape*> pieces, const std::vector<QRectF>& boxes);
    void clear();
    // A superset, in child order, of the pieces whose box meets the
    // rectangle, edges included; every piece for a rectangle that is not
    // finite.
    std::vector<CSVGElementShape*> candidates(const QRectF& rect);

private:
    struct CellRange
    {
        int left;
        int top;
        int right;
        int bottom;
        qint64 count() const { return qint64(right - left + 1) * (bottom - top + 1); }
    };
    void layOut(const std::vector<QRectF>& boxes, const std::vector<bool>& everywhere);
    CellRange rangeOf(const QRectF& box) const;
    static int cellOf(double offset, double size, int count);

    std::vector<CSVGElementShape*> m_pieces;
    // Ranks into m_pieces: per cell from m_cellStart[c] to m_cellStart[c + 1].
    std::vector<int> m_cellStart;
    std::vector<int> m_cellPieces;
    // Pieces in every answer, ascending.
    std::vector<int> m_everywhere;
    QPointF m_origin;
    double m_cellWidth = 1;
    double m_cellHeight = 1;
    int m_columns = 1;
    int m_rows = 1;
    // Query stamps, so that a piece listed in several cells is taken once.
    std::vector<unsigned> m_seen;
    unsigned m_stamp = 0;
};
