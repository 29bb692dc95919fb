#include "ConsumptionArea.h"

#include "CSVGClipper.h"
#include "CSVGElementShape.h"
#include "CSVGUtils.h"

#include <algorithm>
#include <exception>
#include <thread>

ConsumptionArea::ConsumptionArea(const QList<QPainterPath>& pieces, QObject* parent)
    : QThread(parent)
    , m_pieces(pieces)
{
}

ConsumptionArea::~ConsumptionArea()
{
    stop();
    wait();
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

double ConsumptionArea::pieceArea(const QPainterPath& piece)
{
    ClipperLib::Paths rings;
    for (const QPolygonF& polygon : CSVGUtils::pathToPolygons(piece, QTransform())) {
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
    double total = 0;
#pragma omp parallel for num_threads(threads) schedule(dynamic, 8) reduction(+ : total)
    for (int i = 0; i < count; ++i) {
        if (m_stop)
            continue;
        try {
            total += pieceArea(m_pieces.at(i));
        } catch (const std::exception&) {
            // A piece the library refuses adds nothing; the others still count.
        }
    }
    if (m_stop)
        return;
    m_area = total;
    m_complete = true;
    emit areaReady(total);
}
