// The "d" attribute of paths.

#include "CSVGPathData.h"
#include "CSVGPathSegArc.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGPathSegCurvetoCubicSmooth.h"
#include "CSVGPathSegCurvetoQuadratic.h"
#include "FuzzInput.h"

#include <cmath>
#include <vector>

namespace {
// The numbers of every segment in order; a run of closes counts once, as
// the writer writes one.
std::vector<double> numbers(const CSVGPathSegList& segments)
{
    std::vector<double> out;
    bool afterClose = false;
    for (const auto& s : segments) {
        const bool close = s->getType() == CSVGPathSeg::ClosePath;
        if (close && afterClose)
            continue;
        afterClose = close;
        out.push_back(s->getType());
        if (close)
            continue;
        if (s->getType() == CSVGPathSeg::CurvetoCubic) {
            const auto& c = static_cast<const CSVGPathSegCurvetoCubic&>(*s);
            out.insert(out.end(), { c.x1, c.y1, c.x2, c.y2 });
        } else if (s->getType() == CSVGPathSeg::CurvetoCubicSmooth) {
            const auto& c = static_cast<const CSVGPathSegCurvetoCubicSmooth&>(*s);
            out.insert(out.end(), { c.x2, c.y2 });
        } else if (s->getType() == CSVGPathSeg::CurvetoQuadratic) {
            const auto& q = static_cast<const CSVGPathSegCurvetoQuadratic&>(*s);
            out.insert(out.end(), { q.x1, q.y1 });
        } else if (s->getType() == CSVGPathSeg::Arc) {
            const auto& a = static_cast<const CSVGPathSegArc&>(*s);
            out.insert(out.end(), { a.r1, a.r2, a.angle, double(a.largeArcFlag), double(a.sweepFlag) });
        }
        out.insert(out.end(), { s->x, s->y });
    }
    return out;
}

bool finite(const std::vector<double>& values)
{
    for (double n : values) {
        if (!std::isfinite(n))
            return false;
    }
    return true;
}

// Below this size two decimals still read back as the same two decimals.
bool small(const std::vector<double>& values)
{
    for (double n : values) {
        if (std::fabs(n) > 1e9)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzzText(data, size);
    const CSVGPathSegList segments = CSVGPathData::parsePathData(text);
    const std::vector<double> first = numbers(segments);
    fuzzCheck(finite(first));

    // Parse, write, parse: the same segments within the writer's rounding,
    // and the same text when written again.
    const std::wstring written = CSVGPathData::toPathData(segments);
    const CSVGPathSegList again = CSVGPathData::parsePathData(written);
    const std::vector<double> second = numbers(again);
    fuzzCheck(first.size() == second.size());
    if (small(first)) {
        for (std::size_t i = 0; i < first.size(); ++i)
            fuzzCheck(std::fabs(first[i] - second[i]) <= 0.0050001);
        fuzzCheck(CSVGPathData::toPathData(again) == written);
    }

    const QPainterPath path = CSVGPathData::toPainterPath(segments);
    for (int i = 0; i < path.elementCount(); ++i)
        fuzzCheck(std::isfinite(path.elementAt(i).x) && std::isfinite(path.elementAt(i).y));
    for (const QPointF& p : CSVGPathData::toFlattenedPoints(segments))
        fuzzCheck(std::isfinite(p.x()) && std::isfinite(p.y()));
    return 0;
}
