#include "CSVGClipper.h"
#include "CSVGUtils.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>
#include <limits>

using namespace ClipperLib;

Q_DECLARE_METATYPE(ClipperLib::JoinType)
Q_DECLARE_METATYPE(ClipperLib::ClipType)

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygonOf(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

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
    double sum = 0;
    for (const Path& path : paths)
        sum += CSVGUtils::signedArea(CSVGClipper::toPolygon(path));
    return std::abs(sum);
}

// Winding number of the rings around a point, and its distance from their
// edges: an independent check of what the library fills.
int winding(const Paths& paths, const QPointF& p, double& nearest)
{
    int total = 0;
    for (const Path& path : paths) {
        const QPolygonF ring = CSVGClipper::toPolygon(path);
        for (int i = 0; i < ring.size(); ++i) {
            const QPointF a = ring[i];
            const QPointF b = ring[(i + 1) % ring.size()];
            const double cross = (b.x() - a.x()) * (p.y() - a.y()) - (p.x() - a.x()) * (b.y() - a.y());
            if (a.y() <= p.y() && b.y() > p.y() && cross > 0)
                ++total;
            else if (a.y() > p.y() && b.y() <= p.y() && cross < 0)
                --total;
            const QPointF d = b - a;
            const double t
                = qBound(0.0, QPointF::dotProduct(p - a, d) / std::max(QPointF::dotProduct(d, d), 1e-30), 1.0);
            nearest = std::min(nearest, QLineF(p, a + t * d).length());
        }
    }
    return total;
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
        Path path;
        CSVGClipper::toPath(polygon, path);
        paths.push_back(path);
    }
    return paths;
}

CSVGOutline outline(const QPolygonF& polygon)
{
    CSVGOutline result;
    result.path.addPolygon(polygon);
    return result;
}

Paths cut(const QPolygonF& shape, const QPainterPath& line)
{
    Paths subject, clip;
    CSVGClipper::toPath(shape, subject.emplace_back());
    if (!CSVGClipper::addCutPaths(line, clip))
        return {};
    return CSVGClipper::execute(ctDifference, subject, clip);
}
} // namespace

class tst_CSVGClipper : public QObject
{
    Q_OBJECT
private slots:
    void offsetSquare_data();
    void offsetSquare();
    void truncatesTowardZero();
    void unusableInputGivesNothing_data();
    void unusableInputGivesNothing();
    void largeDistanceStaysBounded();
    void booleansFillWhatTheInputsFill_data();
    void booleansFillWhatTheInputsFill();
    void nestedOutlinesAlternate();
    void cutAlongLine_data();
    void cutAlongLine();
    void ringOutlinesCloseWithALine();
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
    QTest::newRow("point not a number") << with(kNaN) << 1.0 << 0.01 << int(jtRound) << false;
    QTest::newRow("infinite point") << with(-kInfinity) << 1.0 << 0.01 << int(jtRound) << false;
    QTest::newRow("point out of range") << with(2e14) << 1.0 << 0.01 << int(jtRound) << false;
    QTest::newRow("point beyond int64") << with(-9.3e14) << 1.0 << 0.01 << int(jtMiter) << false;
    QTest::newRow("delta not a number") << fine << kNaN << 0.01 << int(jtRound) << true;
    QTest::newRow("delta out of range") << fine << -1e15 << 0.01 << int(jtRound) << true;
    QTest::newRow("arc tolerance infinite") << fine << 1.0 << kInfinity << int(jtRound) << true;
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
    const Paths outOfRange { { { 0, 0 }, { hiRange, 0 }, { 0, 1000 } } };
    QVERIFY(CSVGClipper::execute(ctUnion, outOfRange).empty());
    QVERIFY(CSVGClipper::execute(ctDifference, { { { 0, 0 }, { 9, 0 }, { 0, 9 } } }, outOfRange).empty());
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
    QTest::newRow("intersection") << ctIntersection;
}

void tst_CSVGClipper::booleansFillWhatTheInputsFill()
{
    QFETCH(ClipperLib::ClipType, type);
    QRandomGenerator random(11);
    for (int round = 0; round < 20; ++round) {
        const Paths subject = randomPolygons(random, 1 + random.bounded(5));
        const Paths clip = type == ctUnion ? Paths() : randomPolygons(random, 1 + random.bounded(4));
        const Paths result = CSVGClipper::execute(type, subject, clip);
        for (int sample = 0; sample < 400; ++sample) {
            const QPointF p(random.bounded(140.0) - 20, random.bounded(140.0) - 20);
            double nearest = kInfinity;
            const bool inSubject = winding(subject, p, nearest) != 0;
            const bool inClip = winding(clip, p, nearest) != 0;
            const bool inResult = winding(result, p, nearest) != 0;
            if (nearest < 1e-3)
                continue;
            const bool expected = type == ctUnion ? inSubject
                : type == ctDifference            ? inSubject && !inClip
                                                  : inSubject && inClip;
            QCOMPARE(inResult, expected);
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

void tst_CSVGClipper::cutAlongLine_data()
{
    QTest::addColumn<QLineF>("line");
    QTest::addColumn<int>("pieces");
    QTest::addColumn<double>("smaller");
    QTest::newRow("45 degrees") << QLineF(-10, -10, 110, 110) << 2 << 5000.0;
    QTest::newRow("225 degrees") << QLineF(110, 110, -10, -10) << 2 << 5000.0;
    QTest::newRow("135 degrees") << QLineF(110, -10, -10, 110) << 2 << 5000.0;
    QTest::newRow("across") << QLineF(-10, 30, 110, 30) << 2 << 3000.0;
    QTest::newRow("down") << QLineF(25, 110, 25, -10) << 2 << 2500.0;
    QTest::newRow("steep") << QLineF(40, -10, 41, 110) << 2 << 4050.0;
    QTest::newRow("ends inside") << QLineF(-10, 50, 50, 50) << 1 << 10000.0;
    QTest::newRow("a point") << QLineF(50, 50, 50, 50) << 1 << 10000.0;
    QTest::newRow("outside") << QLineF(-10, -10, -10, 110) << 1 << 10000.0;
}

// The pieces keep the square's area but for the strip the cut removes.
void tst_CSVGClipper::cutAlongLine()
{
    QFETCH(QLineF, line);
    QFETCH(int, pieces);
    QFETCH(double, smaller);
    QPainterPath path(line.p1());
    path.lineTo(line.p2());
    const Paths result = cut(square(0, 0, 100), path);
    QCOMPARE(int(result.size()), pieces);
    QVERIFY(std::abs(totalArea(result) - 10000) < 0.1);
    double least = kInfinity;
    for (const Path& piece : result)
        least = std::min(least, std::abs(Area(piece)) / 1e8);
    QVERIFY2(std::abs(least - smaller) < 0.1, qPrintable(QString::number(least)));
}

void tst_CSVGClipper::ringOutlinesCloseWithALine()
{
    QPainterPath hole;
    hole.addRect(20, 30, 10, 10);
    const Paths result = cut(square(0, 0, 100), hole);
    QCOMPARE(totalArea(result), 9900.0);
    int element = 0;
    const std::vector<CSVGOutline> outlines
        = CSVGClipper::ringOutlines(result, reinterpret_cast<CSVGElement*>(&element));
    QCOMPARE(int(outlines.size()), 2);
    for (const CSVGOutline& o : outlines) {
        QCOMPARE(o.element, reinterpret_cast<CSVGElement*>(&element));
        QCOMPARE(o.path.elementCount(), 5);
        QVERIFY(o.path.elementAt(4).isLineTo());
        QCOMPARE(QPointF(o.path.elementAt(4)), QPointF(o.path.elementAt(0)));
        QVERIFY(o.closed && o.children.empty() && o.area == 0);
    }
}

ZOCUT_TEST_MAIN(tst_CSVGClipper)
#include "tst_CSVGClipper.moc"
