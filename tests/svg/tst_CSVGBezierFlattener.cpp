#include "CSVGBezierFlattener.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

QPolygonF flatten(double threshold, const QPolygonF& p)
{
    QPolygonF out;
    CSVGBezierFlattener(threshold).flatten(p[0], p[1], p[2], p[3], out);
    return out;
}

QPointF cubicAt(const QPolygonF& p, double t)
{
    const double s = 1.0 - t;
    return s * s * s * p[0] + 3 * s * s * t * p[1] + 3 * s * t * t * p[2] + t * t * t * p[3];
}

double distanceToPolyline(const QPointF& p, const QPolygonF& line)
{
    double best = qInf();
    for (int i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1], ab = line[i] - a;
        const double t
            = qBound(0.0, QPointF::dotProduct(p - a, ab) / std::max(QPointF::dotProduct(ab, ab), 1e-300), 1.0);
        best = std::min(best, QLineF(p, a + t * ab).length());
    }
    return best;
}
} // namespace

class tst_CSVGBezierFlattener : public QObject
{
    Q_OBJECT
private slots:
    void randomCubicsStayWithinTolerance_data();
    void randomCubicsStayWithinTolerance();
    void nonFinitePointsAreLeftOut_data();
    void nonFinitePointsAreLeftOut();
    void pointCount_data();
    void pointCount();
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
        QPolygonF p;
        for (int i = 0; i < 4; ++i)
            p << QPointF(random.bounded(size) - size / 2, random.bounded(size) - size / 2);
        const QPolygonF line = flatten(threshold, p);
        QCOMPARE(line.first(), p[0]);
        QVERIFY(line.last().x() == p[3].x() && line.last().y() == p[3].y());
        for (int i = 0; i <= 500; ++i) {
            const double distance = distanceToPolyline(cubicAt(p, i / 500.0), line);
            if (distance > tolerance * (1 + 1e-9))
                QFAIL(qPrintable(QStringLiteral("curve %1 at %2: %3").arg(curve).arg(i).arg(distance)));
        }
    }
}

// A straight curve, and one that starts where the polyline ends, are
// checked through the path flattening.
void tst_CSVGBezierFlattener::nonFinitePointsAreLeftOut_data()
{
    QTest::addColumn<QPolygonF>("curve");
    QTest::addColumn<QPolygonF>("expected");
    const QPointF a(0, 0), b(0, 10), c(10, 10), d(10, 0), nan(qQNaN(), 1), inf(1, qInf());
    QTest::newRow("NaN control point") << polygon({ a, nan, c, d }) << polygon({ a, d });
    QTest::newRow("infinite control point") << polygon({ a, b, inf, d }) << polygon({ a, d });
    QTest::newRow("NaN start") << polygon({ nan, b, c, d }) << polygon({ d });
    QTest::newRow("infinite end") << polygon({ a, b, c, inf }) << polygon({ a });
    QTest::newRow("all NaN") << polygon({ nan, nan, nan, nan }) << QPolygonF();
}

void tst_CSVGBezierFlattener::nonFinitePointsAreLeftOut()
{
    QFETCH(QPolygonF, curve);
    QFETCH(QPolygonF, expected);
    QCOMPARE(flatten(0.05, curve), expected);
}

void tst_CSVGBezierFlattener::pointCount_data()
{
    QTest::addColumn<QPolygonF>("curve");
    QTest::addColumn<int>("count");
    // A quarter circle of radius 100 needs 25 chords for a sagitta of 0.05;
    // halving gives the next power of two, and no more.
    const double k = 100 * 0.5522847498;
    QTest::newRow("quarter circle") << polygon({ { 100, 0 }, { 100, k }, { k, 100 }, { 0, 100 } }) << 33;
    // Differences of coordinates near the largest double overflow, so the
    // flatness measure is not a number and never says flat.
    const double big = std::numeric_limits<double>::max();
    QTest::newRow("overflow stops at the depth limit")
        << polygon({ { -big, -big }, { big, -big }, { -big, big }, { big, big } })
        << (1 << CSVGBezierFlattener::kMaximumDepth) + 1;
}

void tst_CSVGBezierFlattener::pointCount()
{
    QFETCH(QPolygonF, curve);
    QFETCH(int, count);
    const QPolygonF line = flatten(0.05, curve);
    QCOMPARE(line.size(), count);
    for (const QPointF& point : line)
        QVERIFY(std::isfinite(point.x()) && std::isfinite(point.y()));
}

ZOCUT_TEST_MAIN(tst_CSVGBezierFlattener)
#include "tst_CSVGBezierFlattener.moc"
