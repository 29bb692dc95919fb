#include "BenchCompare.h"
#include "BenchMain.h"
#include "CActionComposite.h"
#include "CSVGClipper.h"
#include "CSVGDataRepair.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGShapeBoolean.h"
#include "CSVGUtils.h"
#include "DouglasPeuckerSimplify.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextStream>
#include <QtTest>

#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
// A wavy ring: every point is a real corner, so neither the library nor the
// reduction can drop many of them.
QPolygonF wavyRing(int points)
{
    QPolygonF ring;
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * M_PI * i / points;
        const double radius = 1000 + 20 * std::sin(angle * 97);
        ring.append(radius * QPointF(std::cos(angle), std::sin(angle)));
    }
    ring.append(ring.first());
    return ring;
}

QPolygonF circle(const QPointF& centre, double radius, int corners)
{
    QPolygonF polygon;
    for (int i = 0; i < corners; ++i)
        polygon.append(centre + radius * QPointF(std::cos(2 * M_PI * i / corners), std::sin(2 * M_PI * i / corners)));
    return polygon;
}
// n 64-gons on a square field, each overlapping a few neighbours.
std::vector<QPolygonF> overlappingPieces(int pieces)
{
    const int side = int(std::ceil(std::sqrt(pieces)));
    std::vector<QPolygonF> polygons;
    for (int i = 0; i < pieces; ++i)
        polygons.push_back(circle(QPointF(i % side * 15.0, i / side * 15.0), 10, 64));
    return polygons;
}

// Pieces spread over a drawing, each with a hole, in shuffled order.
std::vector<CSVGOutline> piecesWithHoles(int outlines)
{
    const int side = int(std::ceil(std::sqrt(outlines / 2)));
    std::vector<CSVGOutline> result;
    for (int i = 0; i < outlines / 2; ++i) {
        const QPointF centre(i % side * 30.0, i / side * 30.0);
        for (double radius : { 12.0, 5.0 }) {
            CSVGOutline outline;
            outline.path.addPolygon(circle(centre, radius, 32));
            outline.path.closeSubpath();
            result.push_back(outline);
        }
    }
    std::shuffle(result.begin(), result.end(), *QRandomGenerator::global());
    return result;
}

ClipperLib::Paths scaledPieces(int pieces)
{
    ClipperLib::Paths subject;
    for (const QPolygonF& polygon : overlappingPieces(pieces)) {
        ClipperLib::Path path;
        CSVGClipper::toPath(polygon, path);
        subject.push_back(path);
    }
    return subject;
}

ClipperLib::Paths scaledRings(const std::vector<CSVGOutline>& outlines)
{
    ClipperLib::Paths rings;
    for (const CSVGOutline& outline : outlines) {
        ClipperLib::Path path;
        CSVGClipper::toPath(outline.path.toFillPolygon(), path);
        rings.push_back(path);
    }
    return rings;
}

ClipperLib::Paths bareUnion(const ClipperLib::Paths& subject)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    ClipperLib::Paths united;
    clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return united;
}

void nestedUnion(const ClipperLib::Paths& rings)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(rings, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
}

// A document with a root svg element.
struct Drawing
{
    CSVGDocument document;
    CSVGElement* root = document.getOwnerSvg();
    CSVGElement* add(const QPainterPath& path)
    {
        CSVGElement* element = document.createPathElement(path);
        root->appendChild(element, false, false);
        return element;
    }
};
} // namespace

class bench_geometry : public QObject
{
    Q_OBJECT
private slots:
    void offsetOutline_data();
    void offsetOutline();
    void simplify_data() { offsetOutline_data(); }
    void simplify();
    void unitePieces_data();
    void unitePieces();
    void nestOutlines_data();
    void nestOutlines();
    void buildChains_data();
    void buildChains();
    void uniteElements_data() { unitePieces_data(); }
    void uniteElements();
    void buildNestingUnits_data() { nestOutlines_data(); }
    void buildNestingUnits();
    void repairStrokes_data();
    void repairStrokes();
};

void bench_geometry::offsetOutline_data()
{
    QTest::addColumn<int>("points");
    for (int points : { 1000, 10000, 100000 })
        QTest::newRow(qPrintable(QString::number(points))) << points;
}

// One wavy ring grown by 2 with round joins (arc tolerance 0.01), against
// Shapely's buffer of the same ring with as many steps per quarter turn, in
// its own process (only the buffer is timed there). Each size prints its
// time per point, so that the sizes compare, and the area against the
// library's bare offset where that takes less than a few seconds.
void bench_geometry::offsetOutline()
{
    QFETCH(int, points);
    const QPolygonF ring = wavyRing(points);
    QTemporaryFile file;
    QVERIFY(file.open());
    {
        QTextStream out(&file);
        out.setRealNumberPrecision(17);
        for (const QPointF& p : ring)
            out << p.x() << ' ' << p.y() << '\n';
    }
    file.close();
    // 2 / 0.01 gives the library 31.4 steps a turn, 8 a quarter.
    const QStringList arguments { QStringLiteral(ZOCUT_SHAPELY_BUFFER), file.fileName(), "2", "8" };
    std::vector<double> ours;
    std::vector<double> peer;
    double oursArea = 0;
    double peerArea = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        const std::vector<QPolygonF> grown
            = CSVGClipper::offsetOutline(ring, 2, 0.01, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
        ours.push_back(timer.nsecsElapsed() / 1e6);
        oursArea = 0;
        for (const QPolygonF& part : grown)
            oursArea += CSVGUtils::signedArea(part);
        QProcess python;
        python.start(QStringLiteral(ZOCUT_SYSTEM_PYTHON), arguments);
        if (!python.waitForFinished(120000) || python.exitCode() != 0)
            QSKIP("Debian's python3-shapely is needed for the peer");
        const QStringList answer = QString::fromUtf8(python.readAllStandardOutput()).split(' ');
        peer.push_back(answer.value(0).toDouble());
        peerArea = answer.value(1).toDouble();
    }
    std::sort(ours.begin(), ours.end());
    std::sort(peer.begin(), peer.end());
    qInfo("%d points: ours min %.2f ms, median %.2f ms (%.3f us a point); Shapely buffer min %.2f ms, median %.2f ms; "
          "ratio %.2f; area ours %.1f, Shapely %.1f",
        points, ours.front(), ours[2], 1000 * ours.front() / points, peer.front(), peer[2], ours.front() / peer.front(),
        oursArea, peerArea);
    if (points > 10000)
        return;
    ClipperLib::Path path;
    QVERIFY(CSVGClipper::toPath(ring, path));
    ClipperLib::ClipperOffset bare(2.0, 0.01 * CSVGClipper::kScale);
    bare.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths solution;
    bare.Execute(solution, 2 * CSVGClipper::kScale);
    double bareArea = 0;
    for (const ClipperLib::Path& part : solution)
        bareArea += ClipperLib::Area(part) / (CSVGClipper::kScale * CSVGClipper::kScale);
    qInfo("%d points: area ours / bare Clipper %.6f", points, oursArea / bareArea);
}

// Against GEOS's Douglas-Peucker reduction of the same ring with the same
// tolerance (ours measures it against the ring's larger extent).
void bench_geometry::simplify()
{
    QFETCH(int, points);
    const QPolygonF ring = wavyRing(points);
    const QRectF bounds = ring.boundingRect();
    const double tolerance = DouglasPeuckerSimplify::kTolerance * std::max(bounds.width(), bounds.height());
    const GEOSContextHandle_t handle = GEOS_init_r();
    GEOSCoordSequence* sequence = GEOSCoordSeq_copyFromBuffer_r(
        handle, reinterpret_cast<const double*>(ring.constData()), unsigned(ring.size()), 0, 0);
    GEOSGeometry* line = GEOSGeom_createLineString_r(handle, sequence);
    QPolygonF result;
    compareInterleaved(
        QString("reducing %1 points").arg(points), 7,
        [&] {
            const DouglasPeuckerSimplify simplifier;
            result = simplifier.simplify(ring);
        },
        "GEOSSimplify", [&] { GEOSGeom_destroy_r(handle, GEOSSimplify_r(handle, line, tolerance)); });
    GEOSGeom_destroy_r(handle, line);
    GEOS_finish_r(handle);
    QVERIFY(result.size() > 3);
}

void bench_geometry::unitePieces_data()
{
    QTest::addColumn<int>("pieces");
    for (int pieces : { 250, 1000, 4000 })
        QTest::newRow(qPrintable(QString::number(pieces))) << pieces;
}

// Overlapping 64-gons on a square field, each touching a few neighbours:
// the bridge against the bare library call.
void bench_geometry::unitePieces()
{
    QFETCH(int, pieces);
    const ClipperLib::Paths subject = scaledPieces(pieces);
    ClipperLib::Paths result;
    compareInterleaved(
        QString("union of %1 pieces").arg(pieces), 5,
        [&] { result = CSVGClipper::execute(ClipperLib::ctUnion, subject); }, "Clipper union",
        [&] { bareUnion(subject); });
    QVERIFY(!result.empty());
}

void bench_geometry::nestOutlines_data()
{
    QTest::addColumn<int>("outlines");
    for (int outlines : { 500, 2000, 8000 })
        QTest::newRow(qPrintable(QString::number(outlines))) << outlines;
}

// Against the library nesting the same rings into a tree: a union into
// its tree of outlines and holes finds which ring lies in which.
void bench_geometry::nestOutlines()
{
    QFETCH(int, outlines);
    const std::vector<CSVGOutline> input = piecesWithHoles(outlines);
    const ClipperLib::Paths rings = scaledRings(input);
    std::vector<CSVGOutline> units;
    compareInterleaved(
        QString("nesting %1 outlines").arg(outlines), 5, [&] { units = CSVGUtils::nestOutlines(input, 0.01); },
        "Clipper union into a tree", [&] { nestedUnion(rings); });
    QCOMPARE(int(units.size()), outlines / 2);
}

void bench_geometry::buildChains_data()
{
    QTest::addColumn<int>("strokes");
    for (int strokes : { 1250, 5000, 20000 })
        QTest::newRow(qPrintable(QString::number(strokes))) << strokes;
}

// Loops of ten strokes each, shuffled and half of them drawn backwards, so
// that both the placing and the merging have work to do. No library joins
// strokes into chains; the sizes compare with each other (four times the
// strokes, about four times the time).
void bench_geometry::buildChains()
{
    QFETCH(int, strokes);
    QRandomGenerator random(1);
    std::vector<CSVGDataRepair::Segment> segments;
    for (int i = 0; i < strokes; ++i) {
        const int loop = i / 10;
        const QPointF start(loop * 100 + i % 10, 0);
        const QPointF end(loop * 100 + (i % 10 == 9 ? 0 : i % 10 + 1), 0);
        if (random.bounded(2))
            segments.push_back({ start, end, {} });
        else
            segments.push_back({ end, start, {} });
    }
    std::shuffle(segments.begin(), segments.end(), random);
    std::vector<CSVGDataRepair::Chain> chains;
    QBENCHMARK
    {
        chains = CSVGDataRepair::buildChains(segments);
    }
    QCOMPARE(int(chains.size()), strokes / 10);
}

// The union of elements (the merge command's work) against the bare union
// of the same outlines; the element operations change the drawing, so each
// round has a drawing of its own. The largest size also prints its time
// against that of 1,000 pieces.
void bench_geometry::uniteElements()
{
    QFETCH(int, pieces);
    constexpr int rounds = 5;
    std::vector<std::unique_ptr<Drawing>> drawings;
    std::vector<QList<CSVGElement*>> shapes(rounds);
    for (int round = 0; round < rounds; ++round) {
        drawings.push_back(std::make_unique<Drawing>());
        for (const QPolygonF& polygon : overlappingPieces(pieces)) {
            QPainterPath path;
            path.addPolygon(polygon);
            path.closeSubpath();
            shapes[std::size_t(round)].append(drawings.back()->add(path));
        }
    }
    const ClipperLib::Paths subject = scaledPieces(pieces);
    int round = 0;
    QList<CSVGElement*> units;
    const qint64 minimum = compareInterleaved(
        QString("uniting %1 elements").arg(pieces), rounds,
        [&] {
            units = CSVGShapeBoolean(&drawings[std::size_t(round)]->document).unite(shapes[std::size_t(round)]);
            ++round;
        },
        "Clipper union of the outlines", [&] { bareUnion(subject); });
    QVERIFY(!units.isEmpty());
    static qint64 thousand = 0;
    if (pieces == 1000)
        thousand = minimum;
    else if (pieces > 1000 && thousand > 0)
        qInfo("uniting %d elements takes %.2f times as long as 1000", pieces, double(minimum) / double(thousand));
}

// Against the library nesting the same rings (see nestOutlines); building
// the elements has no peer of its own.
void bench_geometry::buildNestingUnits()
{
    QFETCH(int, outlines);
    constexpr int rounds = 5;
    std::vector<std::unique_ptr<Drawing>> drawings;
    for (int round = 0; round < rounds; ++round)
        drawings.push_back(std::make_unique<Drawing>());
    const std::vector<CSVGOutline> input = piecesWithHoles(outlines);
    const ClipperLib::Paths rings = scaledRings(input);
    int round = 0;
    compareInterleaved(
        QString("nesting units of %1 outlines").arg(outlines), rounds,
        [&] { CSVGUtils(&drawings[std::size_t(round++)]->document).buildNestingUnits(input); },
        "Clipper union into a tree", [&] { nestedUnion(rings); });
    QCOMPARE(drawings.front()->root->getChildCount(), outlines / 2);
}

// Ten times the strokes must take at most eleven times as long.
void bench_geometry::repairStrokes_data()
{
    QTest::addColumn<int>("strokes");
    for (int strokes : { 2000, 20000, 200000 })
        QTest::newRow(qPrintable(QString::number(strokes))) << strokes;
}

// Loops of ten strokes each, as in buildChains, one path element each. No
// library repairs strokes into outlines; the sizes compare with each other.
void bench_geometry::repairStrokes()
{
    QFETCH(int, strokes);
    Drawing drawing;
    QRandomGenerator random(1);
    std::vector<QLineF> lines;
    for (int i = 0; i < strokes; ++i) {
        const int loop = i / 10;
        const double angle = 2 * M_PI * (i % 10) / 10;
        const QPointF centre(loop % 100 * 30.0, loop / 100 * 30.0);
        const QPointF start = centre + 10 * QPointF(std::cos(angle), std::sin(angle));
        const QPointF end = centre + 10 * QPointF(std::cos(angle + M_PI / 5), std::sin(angle + M_PI / 5));
        lines.push_back(random.bounded(2) ? QLineF(start, end) : QLineF(end, start));
    }
    std::shuffle(lines.begin(), lines.end(), random);
    for (const QLineF& line : lines) {
        QPainterPath path(line.p1());
        path.lineTo(line.p2());
        drawing.add(path);
    }
    std::unique_ptr<CActionComposite> action;
    QBENCHMARK_ONCE
    {
        action.reset(CSVGDataRepair(&drawing.document, {}).repair());
    }
    QCOMPARE(drawing.root->getChildCount(), strokes / 10);
}

ZOCUT_BENCH_MAIN(bench_geometry)

#include "bench_geometry.moc"
