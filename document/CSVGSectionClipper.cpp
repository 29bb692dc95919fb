#include "CSVGSectionClipper.h"

#include <algorithm>
#include <cmath>

namespace {

enum OutCode { Inside = 0, Above = 1, Below = 2, Right = 4, Left = 8 };
// Two per side and end point are the most exact arithmetic needs.
constexpr int kMaxMoves = 16;

bool isFinite(const QPointF& point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

CSVGSectionClipper::CSVGSectionClipper(const QRectF& sectionRect, double overlap, int first, int last)
    : m_rect(sectionRect)
    , m_overlap(std::isfinite(overlap) ? std::max(0.0, overlap) : 0.0)
    , m_first(std::max(0, first))
    , m_last(last)
{
    const double width = m_rect.width();
    if (!(width > 0) || !std::isfinite(width) || !std::isfinite(m_rect.left()))
        m_last = m_first - 1;
}

CSVGSectionClipper::Bounds CSVGSectionClipper::sectionBounds(int section) const
{
    const double left = m_rect.left() + section * m_rect.width();
    return { left, m_rect.top(), left + m_rect.width() + m_overlap, m_rect.bottom() };
}

// One section of margin on either side: the clipping itself decides about
// points on a boundary.
bool CSVGSectionClipper::sectionRange(double x0, double x1, int& from, int& to) const
{
    const double width = m_rect.width();
    const double low = std::floor((x0 - m_rect.left() - m_overlap) / width) - 1.0;
    const double high = std::floor((x1 - m_rect.left()) / width) + 1.0;
    if (high < m_first || low > m_last)
        return false;
    from = low < m_first ? m_first : int(low);
    to = high > m_last ? m_last : int(high);
    return from <= to;
}

void CSVGSectionClipper::addPolyline(const QPolygonF& polyline)
{
    std::fill(m_open.begin(), m_open.end(), false);
    for (int i = 0; i + 1 < polyline.size(); ++i) {
        const QPointF& start = polyline.at(i);
        const QPointF& end = polyline.at(i + 1);
        int from = 0;
        int to = -1;
        if (!isFinite(start) || !isFinite(end)
            || !sectionRange(std::min(start.x(), end.x()), std::max(start.x(), end.x()), from, to))
            continue;
        for (int section = from; section <= to; ++section) {
            QPointF a = start;
            QPointF b = end;
            if (!clipSegment(a, b, sectionBounds(section)))
                continue;
            const size_t index = size_t(section - m_first);
            if (m_sections.size() <= index) {
                m_sections.resize(index + 1);
                m_open.resize(index + 1, false);
            }
            Section& pieces = m_sections[index];
            if (!m_open[index])
                pieces.emplace_back();
            m_open[index] = true;
            appendSegment(pieces, a, b);
        }
    }
}

std::vector<CSVGSectionClipper::Section> CSVGSectionClipper::takeSections()
{
    std::vector<Section> sections;
    sections.swap(m_sections);
    m_open.clear();
    if (sections.empty() && m_last >= m_first)
        sections.emplace_back();
    return sections;
}

void CSVGSectionClipper::appendSegment(Section& pieces, const QPointF& a, const QPointF& b)
{
    if (!pieces.back().isEmpty() && pieces.back().last() != a)
        pieces.emplace_back();
    QPolygonF& piece = pieces.back();
    if (piece.isEmpty())
        piece.append(a);
    piece.append(b);
}

std::vector<QPolygonF> CSVGSectionClipper::clipPolylineToRect(
    const QPolygonF& polyline, const QRectF& rect, double extension)
{
    const Bounds bounds { rect.left(), rect.top(), rect.right() + extension, rect.bottom() };
    Section pieces(1);
    for (int i = 0; i + 1 < polyline.size(); ++i) {
        QPointF a = polyline.at(i);
        QPointF b = polyline.at(i + 1);
        if (isFinite(a) && isFinite(b) && clipSegment(a, b, bounds))
            appendSegment(pieces, a, b);
    }
    if (pieces.back().isEmpty())
        pieces.pop_back();
    return pieces;
}

// The common side is tested again after every move: a segment passing a
// corner outside the rectangle ends up with both ends outside one side.
// Rounding could make a point cross back over an edge it was moved onto, so
// the moves are counted; huge coordinates that overflow are dropped.
bool CSVGSectionClipper::clipSegment(QPointF& a, QPointF& b, const Bounds& bounds)
{
    const auto code = [&bounds](const QPointF& p) {
        int c = Inside;
        if (p.y() < bounds.top)
            c |= Above;
        else if (p.y() > bounds.bottom)
            c |= Below;
        if (p.x() > bounds.right)
            c |= Right;
        else if (p.x() < bounds.left)
            c |= Left;
        return c;
    };
    int codeA = code(a);
    int codeB = code(b);
    for (int moves = 0; codeA | codeB; ++moves) {
        if ((codeA & codeB) || moves == kMaxMoves)
            return false;
        const bool moveA = codeA != Inside;
        QPointF& p = moveA ? a : b;
        const QPointF& q = moveA ? b : a;
        const int outside = moveA ? codeA : codeB;
        if (outside & Above)
            p = QPointF(p.x() + (q.x() - p.x()) * (bounds.top - p.y()) / (q.y() - p.y()), bounds.top);
        else if (outside & Below)
            p = QPointF(p.x() + (q.x() - p.x()) * (bounds.bottom - p.y()) / (q.y() - p.y()), bounds.bottom);
        else if (outside & Right)
            p = QPointF(bounds.right, p.y() + (q.y() - p.y()) * (bounds.right - p.x()) / (q.x() - p.x()));
        else
            p = QPointF(bounds.left, p.y() + (q.y() - p.y()) * (bounds.left - p.x()) / (q.x() - p.x()));
        (moveA ? codeA : codeB) = code(p);
    }
    return isFinite(a) && isFinite(b);
}
