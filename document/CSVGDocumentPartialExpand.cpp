// The partial expand tool: the marked stretch of an outline moves out onto
// the outline grown by a width, the rest stays.

#include "CActionComposite.h"
#include "CSVGClipper.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGUtils.h"
#include "CSVGVertexGrid.h"
#include "SvgCodes.h"

#include <algorithm>
#include <cmath>

namespace {
// Clipper's arc tolerance of 10 integer units, in canvas units.
constexpr double kBandArcTolerance = 10.0 / CSVGClipper::kScale;

// The polygon grown by the width, as one closed ring; empty when the
// offset cannot be made.
QPolygonF band(const QPolygonF& outline, double width)
{
    const std::vector<QPolygonF> rings
        = CSVGClipper::offsetRings(outline, width, kBandArcTolerance, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    QPolygonF united = rings.empty() ? QPolygonF() : rings.front();
    for (std::size_t i = 1; i < rings.size(); ++i)
        united = united.united(rings[i]);
    return united;
}

// A run of marked vertices: the first index and how many follow it, modulo
// the vertex count.
struct Run
{
    int first;
    int length;
};

std::vector<Run> markedRuns(const QList<int>& marks, int count)
{
    std::vector<Run> runs;
    for (int index : marks) {
        if (!runs.empty() && runs.back().first + runs.back().length == index)
            ++runs.back().length;
        else
            runs.push_back({ index, 1 });
    }
    if (runs.size() > 1 && runs.front().first == 0 && runs.back().first + runs.back().length == count) {
        runs.back().length += runs.front().length;
        runs.erase(runs.begin());
    }
    return runs;
}

// The splice of the marked runs of an outline into a closed band around
// it. A point of the outline is located on the band at its nearest band
// vertex, projected onto the line to the next one; positions along the
// band count vertices.
class BandSplice
{
public:
    BandSplice(const QPolygonF& bandRing)
        : m_band(bandRing)
        , m_count(bandRing.size() - 1)
        , m_grid(bandRing, bandRing.size() - 1)
    {
    }

    // The outline with each run replaced by its stretch of the band.
    QPolygonF splice(const QPolygonF& outline, const std::vector<Run>& runs) const
    {
        const int count = outline.size();
        std::vector<int> runAt(std::size_t(count), -1);
        for (std::size_t r = 0; r < runs.size(); ++r) {
            for (int k = 0; k < runs[r].length; ++k)
                runAt[std::size_t((runs[r].first + k) % count)] = int(r);
        }
        QPolygonF result;
        for (int i = 0; i < count; ++i) {
            const int r = runAt[std::size_t(i)];
            if (r < 0)
                append(result, outline[i]);
            else if (runs[std::size_t(r)].first == i)
                appendStretch(result, outline, runs[std::size_t(r)]);
        }
        return result;
    }

private:
    struct Spot
    {
        QPointF point;
        double position;
    };

    Spot locate(const QPointF& point) const
    {
        const int j = m_grid.nearest(point);
        const QPointF edge = m_band[j + 1] - m_band[j];
        const double squared = QPointF::dotProduct(edge, edge);
        const double t = squared > 0 ? QPointF::dotProduct(point - m_band[j], edge) / squared : 0.0;
        return { m_band[j] + t * edge, wrap(j + t) };
    }

    double wrap(double position) const { return position - m_count * std::floor(position / m_count); }
    int vertexAt(double position) const { return int(wrap(std::round(position))) % m_count; }

    void appendStretch(QPolygonF& result, const QPolygonF& outline, const Run& run) const
    {
        const int count = outline.size();
        const Spot a = locate(outline[run.first]);
        const Spot b = locate(outline[(run.first + run.length - 1) % count]);
        double ahead = wrap(b.position - a.position);
        bool forward = true;
        if (run.length >= 3) {
            const Spot middle = locate(outline[(run.first + (run.first + run.length - 1)) / 2 % count]);
            if (ahead <= 0)
                ahead = m_count;
            forward = wrap(middle.position - a.position) < ahead;
        } else if (ahead > m_count / 2.0) {
            // Two points close together can land in either order.
            ahead = 0;
        }
        append(result, a.point);
        if (forward) {
            for (double k = std::floor(a.position) + 1; k < a.position + ahead; ++k)
                append(result, m_band[vertexAt(k)]);
        } else {
            const double behind = m_count - ahead;
            for (double k = std::ceil(a.position) - 1; k > a.position - behind; --k)
                append(result, m_band[vertexAt(k)]);
        }
        append(result, b.point);
    }

    static void append(QPolygonF& result, const QPointF& point)
    {
        if (result.isEmpty() || result.last() != point)
            result.append(point);
    }

    QPolygonF m_band;
    int m_count;
    CSVGVertexGrid m_grid;
};
} // namespace

void CSVGDocument::partialExpand(double width)
{
    if (!m_selection.isEmpty() && m_selection.first()->isShape())
        expandMarkedRun(width);
    m_overlayChanged = true;
    setContentChanged(true);
    setEditMode(EditMode::Select);
}

void CSVGDocument::expandMarkedRun(double width)
{
    CSVGElement* first = m_selection.first();
    CSVGElementShape* target = CSVGElementShape::asShape(first);
    for (CSVGElement* leaf : CSVGUtils::collectShapes(first)) {
        CSVGElementShape* shape = CSVGElementShape::asShape(leaf);
        if (shape && !shape->getMarkedNodes().isEmpty()) {
            target = shape;
            break;
        }
    }
    const QPolygonF outline = openOutline(target);
    const QList<int> marks = validMarks(target, outline.size());
    if (marks.isEmpty() || marks.size() >= outline.size() || !std::isfinite(width))
        return;
    QPolygonF ring = band(outline, width);
    // The band needs an edge after every vertex that a point can be
    // located on.
    if (ring.size() < 4 || !ring.isClosed())
        return;
    if ((CSVGUtils::signedArea(ring) < 0) != (CSVGUtils::signedArea(outline) < 0))
        std::reverse(ring.begin(), ring.end());
    QPolygonF expanded = BandSplice(ring).splice(outline, markedRuns(marks, outline.size()));
    if (expanded.size() < 3)
        return;
    expanded.append(expanded.first());
    QPainterPath path;
    path.addPolygon(expanded);
    CSVGElementPath* added = addOutlinePath(path, target->getParent(), target);
    added->setAttribute(L"transform", CSVGMatrix().toString(), true);
    added->updateMatrix(nullptr, true);
    replaceElement(target, added);
    clearSelection();
}
