#include "CSVGPathData.h"

#include "CSVGPathDataParser.h"
#include "CSVGPathSegWalker.h"

#include <cmath>

namespace {

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

class PainterPathWalker : public CSVGPathSegWalker
{
public:
    explicit PainterPathWalker(const CSVGPathSegList& segments)
        : m_elements(elementsFor(segments))
    {
    }

    QPainterPath path;

protected:
    // A path begun by moveTo on an empty path reserves room for sixteen
    // elements, and one that grows takes room to spare: begun at its first
    // point with room for what the segments make, the small pieces of a large
    // drawing take no more than they use.
    void moveTo(const QPointF& p) override
    {
        if (!CSVGPathData::isDrawable(p))
            return;
        if (path.elementCount() == 0) {
            path = QPainterPath(p);
            path.reserve(m_elements);
        } else {
            path.moveTo(p);
        }
    }
    void lineTo(const QPointF&, const QPointF& to) override
    {
        if (CSVGPathData::isDrawable(to))
            path.lineTo(to);
    }
    void cubicTo(const CSVGCubicPiece& piece) override
    {
        if (CSVGPathData::isDrawable(piece[1]) && CSVGPathData::isDrawable(piece[2])
            && CSVGPathData::isDrawable(piece[3]))
            path.cubicTo(piece[1], piece[2], piece[3]);
    }
    void closeSubpath(const QPointF&) override { path.closeSubpath(); }

private:
    // A curve makes three elements, a close at most one, an arc some curves:
    // room for four, which a larger one outgrows.
    static int elementsFor(const CSVGPathSegList& segments)
    {
        int elements = 0;
        for (const auto& segment : segments) {
            switch (segment->getType()) {
            case CSVGPathSeg::Moveto:
            case CSVGPathSeg::Lineto:
            case CSVGPathSeg::ClosePath:
                elements += 1;
                break;
            case CSVGPathSeg::Arc:
                elements += 12;
                break;
            default:
                elements += 3;
            }
        }
        return elements;
    }

    int m_elements;
};

class FlatteningWalker : public CSVGPathSegWalker
{
public:
    explicit FlatteningWalker(std::vector<QPointF>& points)
        : points(points)
    {
    }

    std::vector<QPointF>& points;

protected:
    void moveTo(const QPointF&) override { }
    void lineTo(const QPointF& from, const QPointF& to) override
    {
        append(from);
        append(to);
    }
    void cubicTo(const CSVGCubicPiece& piece) override { CSVGPathData::flattenCubic(piece, points); }
    void closeSubpath(const QPointF& start) override { append(start); }

private:
    void append(const QPointF& p)
    {
        if (isFinite(p))
            points.push_back(p);
    }
};

QPointF bezierPoint(const CSVGCubicPiece& piece, double t)
{
    const double u = 1.0 - t;
    return u * u * u * piece[0] + 3.0 * u * u * t * piece[1] + 3.0 * u * t * t * piece[2] + t * t * t * piece[3];
}
} // namespace

CSVGPathSegList CSVGPathData::parsePathData(const std::wstring& text)
{
    return CSVGPathDataParser(text).parse();
}

std::wstring CSVGPathData::toPathData(const CSVGPathSegList& segments)
{
    std::wstring text;
    // Most segments are lines of two numbers, about sixteen characters.
    text.reserve(segments.size() * 16);
    bool afterClose = false;
    for (const auto& segment : segments) {
        if (!segment)
            continue;
        const bool close = segment->getType() == CSVGPathSeg::ClosePath;
        if (close && afterClose)
            continue;
        if (!text.empty())
            text += L' ';
        segment->write(text);
        afterClose = close;
    }
    return text;
}

QPainterPath CSVGPathData::toPainterPath(const CSVGPathSegList& segments)
{
    PainterPathWalker walker(segments);
    walker.walk(segments);
    return walker.path;
}

std::vector<QPointF> CSVGPathData::toFlattenedPoints(const CSVGPathSegList& segments)
{
    std::vector<QPointF> points;
    // A line gives two points; growing the vector point by point would cost
    // more than the walk.
    points.reserve(2 * segments.size() + 1);
    appendFlattenedPoints(segments, points);
    return points;
}

void CSVGPathData::appendFlattenedPoints(const CSVGPathSegList& segments, std::vector<QPointF>& points)
{
    FlatteningWalker walker(points);
    walker.walk(segments);
}

void CSVGPathData::flattenCubic(const CSVGCubicPiece& piece, std::vector<QPointF>& out)
{
    if (!isFinite(piece[0]))
        return;
    out.push_back(piece[0]);
    for (int k = 0; k <= 20; ++k) {
        const QPointF sample = bezierPoint(piece, k / 20.0);
        const QPointF last = out.back();
        if (isFinite(sample) && (std::fabs(sample.x() - last.x()) >= 1.0 || std::fabs(sample.y() - last.y()) >= 1.0))
            out.push_back(sample);
    }
}
