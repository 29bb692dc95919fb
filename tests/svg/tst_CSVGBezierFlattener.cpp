#include "CSVGBezierFlattener.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>
#include <limits>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

QPointF cubicAt(const QPointF (&p)[4], double t)
{
    const double s = 1.0 - t;
    return s * s * s * p[0] + 3 * s * s * t * p[1] + 3 * s * t * t * p[2] + t * t * t * p[3];
}

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / length2, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

double distanceToPolyline(const QPointF& p, const QPolygonF& line)
{
    double best = kInf;
    for (int i = 1; i < line.size(); ++i)
        best = std::min(best, distanceToSegment(p, line[i - 1], line[i]));
    return best;
}

QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

QPolygonF flatten(double threshold, const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3)
{
    QPolygonF out;
    CSVGBezierFlattener(threshold).flatten(p0, p1, p2, p3, out);
    return out;
}
} // namespace

class tst_CSVGBezierFlattener : public QObject
{
    Q_OBJECT
private slots:
    void randomCubicsStayWithinTolerance_data();
    void randomCubicsStayWithinTolerance();
    void straightCubicGivesItsEndPoints();
    void sharedStartPointIsNotRepeated();
    void nonFinitePointsAreLeftOut_data();
    void nonFinitePointsAreLeftOut();
    void overflowingCurveStopsAtDepthLimit();
    void arcIsNotOverSubdivided();
};

void tst_CSVGBezierFlattener::randomCubicsStayWithinTolerance_data()
{
    QTest::addColumn<double>("threshold");
    QTest::addColumn<double>("size");
    QTest::addColumn<int>("curves");
    QTest::newRow("default") << 0.05 << 200.0 << 200;
    QTest::newRow("coarse") << 2.0 << 200.0 << 200;
    QTest::newRow("floor, small curves") << 0.0 << 5.0 << 200;
    QTest::newRow("huge drawing") << 0.05 << 1.0e5 << 10;
}

// Every point of the exact curve lies within the tolerance of the polyline;
// the curve's own end points are met exactly.
void tst_CSVGBezierFlattener::randomCubicsStayWithinTolerance()
{
    QFETCH(double, threshold);
    QFETCH(double, size);
    QFETCH(int, curves);
    const double tolerance = std::max(threshold, CSVGBezierFlattener::kMinimumTolerance);
    QRandomGenerator random(4711);
    for (int curve = 0; curve < curves; ++curve) {
        QPointF p[4];
        for (QPointF& point : p)
            point = QPointF(random.bounded(size) - size / 2, random.bounded(size) - size / 2);
        const QPolygonF line = flatten(threshold, p[0], p[1], p[2], p[3]);
        QCOMPARE(line.first(), p[0]);
        QVERIFY(line.last().x() == p[3].x() && line.last().y() == p[3].y());
        for (int i = 0; i <= 500; ++i) {
            const double distance = distanceToPolyline(cubicAt(p, i / 500.0), line);
            if (distance > tolerance * (1 + 1e-9))
                QFAIL(qPrintable(QStringLiteral("curve %1 at %2: %3").arg(curve).arg(i).arg(distance)));
        }
    }
}

void tst_CSVGBezierFlattener::straightCubicGivesItsEndPoints()
{
    const QPolygonF line = flatten(0.05, QPointF(0, 0), QPointF(10, 5), QPointF(20, 10), QPointF(30, 15));
    QCOMPARE(line, polygon({ QPointF(0, 0), QPointF(30, 15) }));
}

void tst_CSVGBezierFlattener::sharedStartPointIsNotRepeated()
{
    QPolygonF out = polygon({ QPointF(0, 0), QPointF(10, 1e-13) });
    CSVGBezierFlattener(0.05).flatten(QPointF(10, 0), QPointF(20, 0), QPointF(30, 0), QPointF(40, 0), out);
    QCOMPARE(out.size(), 3);
    QCOMPARE(out.last(), QPointF(40, 0));
}

void tst_CSVGBezierFlattener::nonFinitePointsAreLeftOut_data()
{
    QTest::addColumn<QPointF>("p0");
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    QTest::addColumn<QPointF>("p3");
    QTest::addColumn<QPolygonF>("expected");
    const QPointF a(0, 0), b(0, 10), c(10, 10), d(10, 0), nan(kNaN, 1), inf(1, kInf);
    QTest::newRow("NaN control point") << a << nan << c << d << polygon({ a, d });
    QTest::newRow("infinite control point") << a << b << inf << d << polygon({ a, d });
    QTest::newRow("NaN start") << nan << b << c << d << polygon({ d });
    QTest::newRow("infinite end") << a << b << c << inf << polygon({ a });
    QTest::newRow("all NaN") << nan << nan << nan << nan << QPolygonF();
}

void tst_CSVGBezierFlattener::nonFinitePointsAreLeftOut()
{
    QFETCH(QPointF, p0);
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    QFETCH(QPointF, p3);
    QFETCH(QPolygonF, expected);
    QCOMPARE(flatten(0.05, p0, p1, p2, p3), expected);
}

// Differences of coordinates near the largest double overflow, so the
// flatness measure is not a number and never says flat.
void tst_CSVGBezierFlattener::overflowingCurveStopsAtDepthLimit()
{
    const double big = std::numeric_limits<double>::max();
    const QPolygonF line
        = flatten(0.05, QPointF(-big, -big), QPointF(big, -big), QPointF(-big, big), QPointF(big, big));
    QCOMPARE(line.size(), (1 << CSVGBezierFlattener::kMaximumDepth) + 1);
    for (const QPointF& point : line)
        QVERIFY(std::isfinite(point.x()) && std::isfinite(point.y()));
}

// A quarter circle of radius 100 needs 25 chords for a sagitta of 0.05;
// halving gives the next power of two, and no more.
void tst_CSVGBezierFlattener::arcIsNotOverSubdivided()
{
    const double k = 100 * 0.5522847498;
    const QPolygonF line = flatten(0.05, QPointF(100, 0), QPointF(100, k), QPointF(k, 100), QPointF(0, 100));
    QCOMPARE(line.size(), 33);
}

ZOCUT_TEST_MAIN(tst_CSVGBezierFlattener)
#include "tst_CSVGBezierFlattener.moc"
