#include "ConsumptionArea.h"

#include "CGlobalConfig.h"
#include "CSVGClipper.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <thread>
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

QList<QPainterPath> ConsumptionArea::piecePaths(CSVGElement* root)
{
    QList<QPainterPath> paths;
    for (int i = 0; root && i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i)))
            paths.append(shape->getTransformedPath());
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
    const int count = m_pieces.size();
    const int threads = m_threads > 0 ? m_threads : int(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<double> areas(static_cast<size_t>(count), 0.0);
    // ThreadSanitizer sees neither OpenMP's barrier nor QThread::wait; these
    // release and acquire steps hand the work over in a way that it sees.
    std::atomic<int> workers { 0 };
#pragma omp parallel num_threads(threads)
    {
#pragma omp for schedule(dynamic, 8) nowait
        for (int i = 0; i < count; ++i) {
            if (m_stop)
                continue;
            try {
                areas[static_cast<size_t>(i)] = pieceArea(m_pieces.at(i), m_tolerance);
            } catch (const std::exception&) {
                // A piece the library refuses adds nothing; the others still count.
            }
        }
        workers.fetch_add(1, std::memory_order_release);
    }
    workers.load(std::memory_order_acquire);
    if (!m_stop) {
        m_area = std::accumulate(areas.begin(), areas.end(), 0.0);
        emit areaReady(m_area);
        m_complete.store(true, std::memory_order_release);
    }
    m_finished.store(true, std::memory_order_release);
}
