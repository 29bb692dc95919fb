#include "ConsumptionArea.h"

#include "CGlobalConfig.h"
#include "CSVGClipper.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"
#include "ParallelLoop.h"

#include <exception>
#include <numeric>
#include <vector>

ConsumptionArea::ConsumptionArea(const QList<QPainterPath>& pieces, QObject* parent)
    : QThread(parent)
    , m_pieces(pieces)
    , m_tolerance(g_config.getSetting(QStringLiteral("BezierFlatteningThreshold")).toDouble())
{
}

ConsumptionArea::~ConsumptionArea()
{
    stop();
    wait();
    m_finished.load(std::memory_order_acquire);
}

namespace {
// A copy that shares nothing with the element's cached path: QPainterPath
// fills caches of its shared data in const calls, so a shallow copy read on
// the worker would race with the GUI thread's use of the element.
QPainterPath ownCopy(const QPainterPath& path)
{
    QPainterPath copy;
    copy.setFillRule(path.fillRule());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            copy.moveTo(e);
        } else if (e.isLineTo()) {
            copy.lineTo(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            copy.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
    }
    return copy;
}
} // namespace

QList<QPainterPath> ConsumptionArea::piecePaths(CSVGElement* root)
{
    QList<QPainterPath> paths;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (shape && !shape->isHidden())
            paths.append(ownCopy(shape->getTransformedPath()));
    }
    return paths;
}

double ConsumptionArea::pieceArea(const QPainterPath& piece, double tolerance)
{
    ClipperLib::Paths rings;
    for (const QPolygonF& polygon : CSVGUtils::pathToPolygons(piece, QTransform(), tolerance)) {
        ClipperLib::Path ring;
        if (polygon.size() > 2 && CSVGClipper::toPath(polygon, ring))
            rings.push_back(ring);
    }
    ClipperLib::Clipper clipper;
    ClipperLib::Paths region;
    // Outer rings come out positive, holes negative.
    clipper.AddPaths(rings, ClipperLib::ptSubject, true);
    clipper.Execute(ClipperLib::ctUnion, region, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    double area = 0;
    for (const ClipperLib::Path& ring : region)
        area += ClipperLib::Area(ring);
    return area / (CSVGClipper::kScale * CSVGClipper::kScale);
}

void ConsumptionArea::run()
{
    std::vector<double> areas(static_cast<size_t>(m_pieces.size()), 0.0);
    ParallelLoop::run(m_pieces.size(), m_threads, [this, &areas](int i) {
        if (m_stop)
            return;
        try {
            areas[static_cast<size_t>(i)] = pieceArea(m_pieces.at(i), m_tolerance);
        } catch (const std::exception&) {
            // A piece the library refuses adds nothing; the others still count.
        }
    });
    if (!m_stop) {
        m_area = std::accumulate(areas.begin(), areas.end(), 0.0);
        emit areaReady(m_area);
        m_complete.store(true, std::memory_order_release);
    }
    m_finished.store(true, std::memory_order_release);
}
