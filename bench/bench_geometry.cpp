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
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

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

void bench_geometry::offsetOutline()
{
    QFETCH(int, points);
    const QPolygonF ring = wavyRing(points);
    std::vector<QPolygonF> result;
    QBENCHMARK
    {
        result = CSVGClipper::offsetOutline(ring, 2, 0.01, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    }
    QVERIFY(!result.empty());
}

void bench_geometry::simplify()
{
    QFETCH(int, points);
    const QPolygonF ring = wavyRing(points);
    QPolygonF result;
    QBENCHMARK
    {
        const DouglasPeuckerSimplify simplifier;
        result = simplifier.simplify(ring);
    }
    QVERIFY(result.size() > 3);
}

void bench_geometry::unitePieces_data()
{
    QTest::addColumn<int>("pieces");
    for (int pieces : { 250, 1000, 4000 })
        QTest::newRow(qPrintable(QString::number(pieces))) << pieces;
}

// Overlapping 64-gons on a square field, each touching a few neighbours.
void bench_geometry::unitePieces()
{
    QFETCH(int, pieces);
    ClipperLib::Paths subject;
    for (const QPolygonF& polygon : overlappingPieces(pieces)) {
        ClipperLib::Path path;
        CSVGClipper::toPath(polygon, path);
        subject.push_back(path);
    }
    ClipperLib::Paths result;
    QBENCHMARK
    {
        result = CSVGClipper::execute(ClipperLib::ctUnion, subject);
    }
    QVERIFY(!result.empty());
}

void bench_geometry::nestOutlines_data()
{
    QTest::addColumn<int>("outlines");
    for (int outlines : { 500, 2000, 8000 })
        QTest::newRow(qPrintable(QString::number(outlines))) << outlines;
}

void bench_geometry::nestOutlines()
{
    QFETCH(int, outlines);
    const std::vector<CSVGOutline> input = piecesWithHoles(outlines);
    std::vector<CSVGOutline> units;
    QBENCHMARK
    {
        units = CSVGUtils::nestOutlines(input, 0.01);
    }
    QCOMPARE(int(units.size()), outlines / 2);
}

void bench_geometry::buildChains_data()
{
    QTest::addColumn<int>("strokes");
    for (int strokes : { 1250, 5000, 20000 })
        QTest::newRow(qPrintable(QString::number(strokes))) << strokes;
}

// Loops of ten strokes each, shuffled and half of them drawn backwards, so
// that both the placing and the merging have work to do.
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

// The element operations change the drawing, so each runs once per size.
void bench_geometry::uniteElements()
{
    QFETCH(int, pieces);
    Drawing drawing;
    QList<CSVGElement*> shapes;
    for (const QPolygonF& polygon : overlappingPieces(pieces)) {
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        shapes.append(drawing.add(path));
    }
    QList<CSVGElement*> units;
    QBENCHMARK_ONCE
    {
        units = CSVGShapeBoolean(&drawing.document).unite(shapes);
    }
    QVERIFY(!units.isEmpty());
}

void bench_geometry::buildNestingUnits()
{
    QFETCH(int, outlines);
    Drawing drawing;
    const std::vector<CSVGOutline> input = piecesWithHoles(outlines);
    QList<CSVGElement*> units;
    QBENCHMARK_ONCE
    {
        units = CSVGUtils(&drawing.document).buildNestingUnits(input);
    }
    QCOMPARE(drawing.root->getChildCount(), outlines / 2);
}

// Ten times the strokes must take at most eleven times as long.
void bench_geometry::repairStrokes_data()
{
    QTest::addColumn<int>("strokes");
    for (int strokes : { 2000, 20000, 200000 })
        QTest::newRow(qPrintable(QString::number(strokes))) << strokes;
}

// Loops of ten strokes each, as in buildChains, one path element each.
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
