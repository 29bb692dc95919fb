#include "CSVGClipper.h"
#include "CSVGUtils.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>

using namespace ClipperLib;

Q_DECLARE_METATYPE(ClipperLib::JoinType)
Q_DECLARE_METATYPE(ClipperLib::ClipType)
Q_DECLARE_METATYPE(QPainterPath)

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygonOf(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

const QPointF kAround[] = { { 1e-3, 0 }, { -1e-3, 0 }, { 0, 1e-3 }, { 0, -1e-3 } };

QPolygonF square(double x, double y, double size)
{
    return QPolygonF(QRectF(x, y, size, size));
}

double totalArea(const std::vector<QPolygonF>& rings)
{
    double sum = 0;
    for (const QPolygonF& ring : rings)
        sum += CSVGUtils::signedArea(ring);
    return std::abs(sum);
}

double totalArea(const Paths& paths)
{
    std::vector<QPolygonF> rings;
    for (const Path& path : paths)
        rings.push_back(CSVGClipper::toPolygon(path));
    return totalArea(rings);
}

// The rings filled under the non-zero rule as Qt fills them: an
// independent check of what the library fills.
QPainterPath filled(const Paths& paths)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const Path& ring : paths)
        path.addPolygon(CSVGClipper::toPolygon(ring));
    return path;
}

Paths randomPolygons(QRandomGenerator& random, int count)
{
    Paths paths;
    for (int i = 0; i < count; ++i) {
        const QPointF centre(random.bounded(100.0), random.bounded(100.0));
        QPolygonF polygon;
        const int corners = 3 + random.bounded(9);
        for (int k = 0; k < corners; ++k) {
            const double angle = random.bounded(2 * M_PI);
            polygon.append(centre + random.bounded(40.0) * QPointF(std::cos(angle), std::sin(angle)));
        }
        CSVGClipper::toPath(polygon, paths.emplace_back());
    }
    return paths;
}

// An annulus of radii 300 and 200 cut open along the positive x axis by a
// slit 1 unit wide: round the outside one way, back round the inside.
QPolygonF slitRing(int count)
{
    QPolygonF ring;
    for (const int side : { 1, -1 }) {
        const double radius = side > 0 ? 300 : 200;
        const double from = std::asin(0.5 / radius);
        for (int i = 0; i < count / 2; ++i) {
            const double along = (2 * M_PI - 2 * from) * i / (count / 2 - 1);
            const double angle = M_PI + side * (from - M_PI + along);
            ring.append(radius * QPointF(std::cos(angle), std::sin(angle)));
        }
    }
    return ring;
}

CSVGOutline outline(const QPolygonF& polygon)
{
    CSVGOutline result;
    result.path.addPolygon(polygon);
    return result;
}
} // namespace

class tst_CSVGClipper : public QObject
{
    Q_OBJECT
private slots:
    void offsetSquare_data();
    void offsetSquare();
    void sliverKeepsItsReduction();
    void truncatesTowardZero();
    void unusableInputGivesNothing_data();
    void unusableInputGivesNothing();
    void largeDistanceStaysBounded();
    void booleansFillWhatTheInputsFill_data();
    void booleansFillWhatTheInputsFill();
    void nestedOutlinesAlternate();
    void cut_data();
    void cut();
    void largeRingsGrowAsTheLibraryGrowsThem_data();
    void largeRingsGrowAsTheLibraryGrowsThem();
    void resultNestingMatchesTheSearch();
    void uniteInStripsFillsWhatOneSweepFills();
};

void tst_CSVGClipper::offsetSquare_data()
{
    QTest::addColumn<double>("delta");
    QTest::addColumn<ClipperLib::JoinType>("join");
    QTest::addColumn<int>("rings");
    QTest::addColumn<double>("area");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("grown, round") << 10.0 << jtRound << 1 << 10000 + 4000 + M_PI * 100 << 0.5;
    QTest::newRow("grown, mitre") << 10.0 << jtMiter << 1 << 14400.0 << 1e-6;
    QTest::newRow("grown, square") << 10.0 << jtSquare << 1 << 14400 - 4 * std::pow(10 * M_SQRT2 - 10, 2) << 0.01;
    QTest::newRow("shrunk by 10") << -10.0 << jtRound << 1 << 6400.0 << 1e-6;
    QTest::newRow("shrunk past the middle") << -60.0 << jtMiter << 0 << 0.0 << 0.0;
}

void tst_CSVGClipper::offsetSquare()
{
    QFETCH(double, delta);
    QFETCH(ClipperLib::JoinType, join);
    QFETCH(int, rings);
    QFETCH(double, area);
    QFETCH(double, tolerance);
    const std::vector<QPolygonF> result
        = CSVGClipper::offsetOutline(square(0, 0, 100), delta, 0.01, join, etClosedPolygon);
    QCOMPARE(int(result.size()), rings);
    QVERIFY2(std::abs(totalArea(result) - area) <= tolerance, qPrintable(QString::number(totalArea(result))));
    for (const QPolygonF& ring : result) {
        QVERIFY(ring.isClosed());
        const QRectF bounds = ring.boundingRect();
        QVERIFY(std::abs(bounds.width() - (100 + 2 * delta)) < 1e-3);
        QVERIFY(std::abs(bounds.left() + delta) < 1e-3);
    }
    // Mitred corners stay square: only the four corners survive the reduction.
    if (join == jtMiter && rings == 1)
        QCOMPARE(result[0].size(), 5);
}

// A ring a millionth as thin as it is long reduces to its two ends, the
// first again closing them: three points, which are kept.
void tst_CSVGClipper::sliverKeepsItsReduction()
{
    const std::vector<QPolygonF> result = CSVGClipper::offsetOutline(
        polygonOf({ { 0, 0 }, { 200, 0 }, { 200, 0.0001 } }), 0, 0.01, jtMiter, etClosedPolygon);
    QCOMPARE(int(result.size()), 1);
    QCOMPARE(result[0].size(), 3);
}

void tst_CSVGClipper::truncatesTowardZero()
{
    Path path;
    QVERIFY(CSVGClipper::toPath(polygonOf({ { 0.00009, -0.00009 }, { 0.00019, -0.00019 }, { 12.34567, -7.5 } }), path));
    QCOMPARE(path, Path({ { 0, 0 }, { 1, -1 }, { 123456, -75000 } }));
    QVERIFY(CSVGClipper::toPath(polygonOf({ { 1, 2 }, { 3, 4 } }), path, true));
    QCOMPARE(path, Path({ { 30000, 40000 }, { 10000, 20000 } }));
    QCOMPARE(CSVGClipper::toPolygon(path), polygonOf({ { 3, 4 }, { 1, 2 } }));
}

void tst_CSVGClipper::unusableInputGivesNothing_data()
{
    QTest::addColumn<QPolygonF>("polygon");
    QTest::addColumn<double>("delta");
    QTest::addColumn<double>("arcTolerance");
    QTest::addColumn<int>("join");
    QTest::addColumn<bool>("pointsFit");
    const QPolygonF fine = square(0, 0, 100);
    const auto with = [](double x) { return polygonOf({ { 0, 0 }, { x, 5 }, { 9, 9 } }); };
    QTest::newRow("empty polygon") << QPolygonF() << 1.0 << 0.01 << int(jtRound) << true;
    QTest::newRow("point not a number") << with(qQNaN()) << 1.0 << 0.01 << int(jtRound) << false;
    QTest::newRow("infinite point") << with(-qInf()) << 1.0 << 0.01 << int(jtRound) << false;
    QTest::newRow("point out of range") << with(2e14) << 1.0 << 0.01 << int(jtRound) << false;
    QTest::newRow("y out of range") << polygonOf({ { 0, 0 }, { 5, 2e14 }, { 9, 9 } }) << 1.0 << 0.01 << int(jtRound)
                                    << false;
    QTest::newRow("point beyond int64") << with(-9.3e14) << 1.0 << 0.01 << int(jtMiter) << false;
    QTest::newRow("delta not a number") << fine << qQNaN() << 0.01 << int(jtRound) << true;
    QTest::newRow("delta out of range") << fine << -1e15 << 0.01 << int(jtRound) << true;
    QTest::newRow("arc tolerance infinite") << fine << 1.0 << qInf() << int(jtRound) << true;
    QTest::newRow("no such join") << fine << 1.0 << 0.01 << 7 << true;
}

// Under the sanitizers: no exception, no overflowing conversion.
void tst_CSVGClipper::unusableInputGivesNothing()
{
    QFETCH(QPolygonF, polygon);
    QFETCH(double, delta);
    QFETCH(double, arcTolerance);
    QFETCH(int, join);
    QFETCH(bool, pointsFit);
    QVERIFY(CSVGClipper::offsetOutline(polygon, delta, arcTolerance, JoinType(join), etClosedPolygon).empty());

    Paths paths;
    QPainterPath line(polygon.value(1));
    line.lineTo(polygon.value(2));
    QCOMPARE(CSVGClipper::addCutPaths(line, paths), pointsFit);
    for (const Paths& outOfRange :
        { Paths { { { 0, 0 }, { hiRange, 0 }, { 0, 1000 } } }, Paths { { { 0, 0 }, { 1000, 0 }, { 0, -hiRange } } } }) {
        QVERIFY(CSVGClipper::execute(ctUnion, outOfRange).empty());
        QVERIFY(CSVGClipper::execute(ctDifference, { { { 0, 0 }, { 9, 0 }, { 0, 9 } } }, outOfRange).empty());
    }
}

// A distance far beyond the arc tolerance must not turn each corner into
// millions of points.
void tst_CSVGClipper::largeDistanceStaysBounded()
{
    const std::vector<QPolygonF> rings = CSVGClipper::offsetRings(square(0, 0, 1), 1e9, 0, jtRound, etClosedPolygon);
    QCOMPARE(int(rings.size()), 1);
    QVERIFY(rings[0].size() <= CSVGClipper::kMaximumArcSteps + 10);
    QVERIFY(std::abs(totalArea(rings) / (M_PI * 1e18) - 1) < 1e-6);
}

void tst_CSVGClipper::booleansFillWhatTheInputsFill_data()
{
    QTest::addColumn<ClipperLib::ClipType>("type");
    QTest::newRow("union") << ctUnion;
    QTest::newRow("difference") << ctDifference;
}

void tst_CSVGClipper::booleansFillWhatTheInputsFill()
{
    QFETCH(ClipperLib::ClipType, type);
    QRandomGenerator random(11);
    for (int round = 0; round < 20; ++round) {
        const Paths subject = randomPolygons(random, 1 + random.bounded(5));
        const Paths clip = type == ctDifference ? randomPolygons(random, 1 + random.bounded(4)) : Paths();
        const QPainterPath inSubject = filled(subject), inClip = filled(clip);
        const QPainterPath inResult = filled(CSVGClipper::execute(type, subject, clip));
        const auto expected = [&](const QPointF& p) { return inSubject.contains(p) && !inClip.contains(p); };
        for (int sample = 0; sample < 400; ++sample) {
            const QPointF p(random.bounded(140.0) - 20, random.bounded(140.0) - 20);
            // Next to an edge the rounding to whole units may decide.
            const bool in = expected(p);
            if (std::all_of(kAround, kAround + 4, [&](const QPointF& d) { return expected(p + d) == in; }))
                QCOMPARE(inResult.contains(p), in);
        }
    }
}

// Each level is drawn the same way round; the flip per level makes the
// middle ring a hole and the innermost one an island in it.
void tst_CSVGClipper::nestedOutlinesAlternate()
{
    CSVGOutline outer = outline(square(0, 0, 100));
    CSVGOutline hole = outline(square(10, 10, 50));
    hole.children.push_back(outline(square(20, 20, 10)));
    outer.children.push_back(hole);
    outer.children.push_back(outline(square(70, 70, 20)));
    Paths subject;
    QVERIFY(CSVGClipper::addNestedPath(outer, false, subject));
    QCOMPARE(int(subject.size()), 4);
    QVERIFY(Orientation(subject[0]) != Orientation(subject[1]));
    QVERIFY(Orientation(subject[1]) != Orientation(subject[2]));
    QCOMPARE(totalArea(CSVGClipper::execute(ctUnion, subject)), 10000.0 - 2500 + 100 - 400);

    outer.children[1].children.push_back(outline(square(75, 75, 2e14)));
    QVERIFY(!CSVGClipper::addNestedPath(outer, false, subject));
}

void tst_CSVGClipper::cut_data()
{
    QTest::addColumn<QPainterPath>("line");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<double>("area");
    QTest::addColumn<double>("smallest");
    const auto segment = [](double x1, double y1, double x2, double y2) {
        QPainterPath path(QPointF(x1, y1));
        path.lineTo(x2, y2);
        return path;
    };
    QTest::newRow("45 degrees") << segment(-10, -10, 110, 110) << 2 << 10000.0 << 5000.0;
    QTest::newRow("225 degrees") << segment(110, 110, -10, -10) << 2 << 10000.0 << 5000.0;
    QTest::newRow("135 degrees") << segment(110, -10, -10, 110) << 2 << 10000.0 << 5000.0;
    QTest::newRow("across") << segment(-10, 30, 110, 30) << 2 << 10000.0 << 3000.0;
    QTest::newRow("down") << segment(25, 110, 25, -10) << 2 << 10000.0 << 2500.0;
    QTest::newRow("steep") << segment(40, -10, 41, 110) << 2 << 10000.0 << 4050.0;
    QTest::newRow("ends inside") << segment(-10, 50, 50, 50) << 1 << 10000.0 << 10000.0;
    QTest::newRow("a point") << segment(50, 50, 50, 50) << 1 << 10000.0 << 10000.0;
    QTest::newRow("outside") << segment(-10, -10, -10, 110) << 1 << 10000.0 << 10000.0;
    QPainterPath window;
    window.addRect(20, 30, 10, 10);
    QTest::newRow("a window") << window << 2 << 9900.0 << 100.0;
}

// A straight cut keeps the square's area but for the strip it removes. Each
// ring comes out as an outline that closes with a line back to its start.
void tst_CSVGClipper::cut()
{
    QFETCH(QPainterPath, line);
    QFETCH(int, pieces);
    QFETCH(double, area);
    QFETCH(double, smallest);
    Paths subject, clip;
    CSVGClipper::toPath(square(0, 0, 100), subject.emplace_back());
    QVERIFY(CSVGClipper::addCutPaths(line, clip));
    const Paths result = CSVGClipper::execute(ctDifference, subject, clip);
    QCOMPARE(int(result.size()), pieces);
    QVERIFY2(std::abs(totalArea(result) - area) < 0.1, qPrintable(QString::number(totalArea(result))));
    double least = qInf();
    for (const Path& piece : result)
        least = std::min(least, std::abs(Area(piece)) / 1e8);
    QVERIFY2(std::abs(least - smallest) < 0.1, qPrintable(QString::number(least)));

    CSVGElement* source = reinterpret_cast<CSVGElement*>(&pieces);
    const std::vector<CSVGOutline> outlines = CSVGClipper::ringOutlines(result, source);
    QCOMPARE(int(outlines.size()), pieces);
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        const QPainterPath& path = outlines[i].path;
        QCOMPARE(std::size_t(path.elementCount()), result[i].size() + 1);
        QVERIFY(path.elementAt(path.elementCount() - 1).isLineTo());
        QCOMPARE(QPointF(path.elementAt(path.elementCount() - 1)), QPointF(path.elementAt(0)));
        QVERIFY(outlines[i].element == source && outlines[i].closed && outlines[i].children.empty());
    }
}

void tst_CSVGClipper::largeRingsGrowAsTheLibraryGrowsThem_data()
{
    QTest::addColumn<double>("delta");
    QTest::addColumn<bool>("crossing");
    QTest::addColumn<bool>("slit");
    QTest::newRow("grown") << 2.0 << false << false;
    QTest::newRow("shrunk, cut in pieces") << -6.0 << false << false;
    QTest::newRow("crossing itself") << 2.0 << true << false;
    QTest::newRow("slit grown shut around a hole") << 2.0 << false << true;
}

// A large random wavy ring (GEOS grows it when it does not cross itself)
// gives the area and the ring counts of the library's own offset, outer
// rings with a positive and holes with a negative signed area. A slit ring
// is an annulus cut open by a slit 1 unit wide, which growing closes.
void tst_CSVGClipper::largeRingsGrowAsTheLibraryGrowsThem()
{
    QFETCH(double, delta);
    QFETCH(bool, crossing);
    QFETCH(bool, slit);
    QRandomGenerator random(3);
    const int count = CSVGClipper::kLargeRing + 500;
    QPolygonF ring = slit ? slitRing(count) : QPolygonF();
    for (int i = 0; i < count && !slit; ++i) {
        const double angle = 2 * M_PI * i / count;
        const double radius = 300 + 20 * std::sin(angle * 40) + random.bounded(3.0);
        ring.append(radius * QPointF(std::cos(angle), std::sin(angle)));
    }
    if (crossing)
        std::swap(ring[10], ring[count / 2]);
    const std::vector<QPolygonF> ours
        = CSVGClipper::offsetRings(ring, delta, 0.05, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    Path path;
    QVERIFY(CSVGClipper::toPath(ring, path));
    ClipperOffset bare(CSVGClipper::kMiterLimit, 0.05 * CSVGClipper::kScale);
    bare.AddPath(path, jtRound, etClosedPolygon);
    Paths theirs;
    bare.Execute(theirs, delta * CSVGClipper::kScale);
    QVERIFY(!theirs.empty());
    QCOMPARE(int(ours.size()), int(theirs.size()));
    int oursOuter = 0;
    int theirsOuter = 0;
    double theirsArea = 0;
    for (const Path& result : theirs) {
        theirsOuter += Orientation(result);
        theirsArea += Area(result) / (CSVGClipper::kScale * CSVGClipper::kScale);
    }
    double oursArea = 0;
    for (const QPolygonF& result : ours) {
        QVERIFY(result.isClosed());
        oursOuter += CSVGUtils::signedArea(result) > 0;
        oursArea += CSVGUtils::signedArea(result);
    }
    QCOMPARE(oursOuter, theirsOuter);
    // The slit ring's hole is there to be kept.
    QVERIFY(!slit || int(theirs.size()) == theirsOuter + 1);
    QVERIFY2(std::abs(oursArea / theirsArea - 1) < 1e-3, qPrintable(QString::number(oursArea / theirsArea, 'g', 9)));
}

// The nesting that a boolean operation reports keeps every ring of the
// result and puts every hole under the ring around it, holes at odd depths.
// Searching the rings for their containers (QPainterPath::contains) found
// no container for a hole that touches its outline at a corner, as the
// library's rings often do, and so made a filled piece of the hole.
void tst_CSVGClipper::resultNestingMatchesTheSearch()
{
    QRandomGenerator random(9);
    int touchingHoles = 0;
    for (int round = 0; round < 20; ++round) {
        const Paths subject = randomPolygons(random, 5 + random.bounded(40));
        const Paths clip = randomPolygons(random, random.bounded(6));
        PolyTree tree;
        QVERIFY(CSVGClipper::executeNested(ctDifference, subject, clip, tree));
        std::vector<int> parents;
        std::vector<CSVGOutline> rings = CSVGClipper::ringOutlines(tree, nullptr, parents);
        const Paths flat = CSVGClipper::execute(ctDifference, subject, clip);
        QCOMPARE(rings.size(), flat.size());
        const auto measure = [](const std::vector<CSVGOutline>& units, bool& holesNested) {
            int count = 0;
            double area = 0;
            holesNested = true;
            std::vector<std::pair<const CSVGOutline*, int>> pending;
            for (const CSVGOutline& unit : units)
                pending.emplace_back(&unit, 0);
            while (!pending.empty()) {
                const auto [outline, depth] = pending.back();
                pending.pop_back();
                ++count;
                const double signedArea = CSVGUtils::signedArea(outline->path.toFillPolygon());
                area += signedArea;
                holesNested = holesNested && (signedArea < 0) == (depth % 2 == 1);
                for (const CSVGOutline& child : outline->children)
                    pending.emplace_back(&child, depth + 1);
            }
            return std::make_pair(count, area);
        };
        bool known = false;
        bool searched = false;
        const auto [knownCount, knownArea] = measure(CSVGUtils::nestOutlines(std::move(rings), 0.5, parents), known);
        const auto [searchedCount, searchedArea]
            = measure(CSVGUtils::nestOutlines(CSVGClipper::ringOutlines(flat, nullptr), 0.5), searched);
        QVERIFY(known);
        QCOMPARE(knownCount, searchedCount);
        QVERIFY(std::abs(knownArea - searchedArea) < 1e-6 * std::abs(searchedArea));
        touchingHoles += !searched;
    }
    QVERIFY(touchingHoles > 0);
}

// Enough pieces to be united in strips on several threads: star-shaped
// pieces, some with a hole, which must still cut once the pieces of a strip
// are united apart from the rest. The same region as one sweep over all.
void tst_CSVGClipper::uniteInStripsFillsWhatOneSweepFills()
{
    QRandomGenerator random(5);
    Paths subject;
    std::vector<std::size_t> starts;
    for (int piece = 0; piece < 600; ++piece) {
        const QPointF centre(random.bounded(1000.0), random.bounded(300.0));
        starts.push_back(subject.size());
        for (double scale : { 1.0, piece % 4 == 0 ? -0.4 : 0.0 }) {
            if (scale == 0.0)
                continue;
            QPolygonF ring;
            for (int k = 0; k < 48; ++k) {
                const double angle = 2 * M_PI * k / 48 * (scale > 0 ? 1 : -1);
                ring.append(
                    centre + std::abs(scale) * (10 + random.bounded(20.0)) * QPointF(std::cos(angle), std::sin(angle)));
            }
            CSVGClipper::toPath(ring, subject.emplace_back());
        }
    }
    PolyTree strips;
    PolyTree whole;
    QVERIFY(CSVGClipper::uniteNested(subject, starts, strips));
    QVERIFY(CSVGClipper::executeNested(ctUnion, subject, {}, whole));
    Paths fromStrips;
    Paths fromWhole;
    PolyTreeToPaths(strips, fromStrips);
    PolyTreeToPaths(whole, fromWhole);
    // Rings that touch at a corner may come out as one ring or as two,
    // depending on the order of the sweep: the regions are compared.
    const double area = totalArea(fromWhole);
    QVERIFY(std::abs(totalArea(fromStrips) - area) < 1e-6 * area);
    QVERIFY(totalArea(CSVGClipper::execute(ctXor, fromStrips, fromWhole)) < 1e-6 * area);
    QVERIFY(fromWhole.size() > 20);
}

ZOCUT_TEST_MAIN(tst_CSVGClipper)
#include "tst_CSVGClipper.moc"
