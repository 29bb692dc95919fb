#include "CGlobalConfig.h"
#include "TestEnvironment.h"

#include <QPolygonF>
#include <QRandomGenerator>

#include <cmath>
#include <limits>

class tst_CGlobalConfigGeometry : public QObject
{
    Q_OBJECT
private slots:
    void pointInPolygonMatchesWindingFill_data();
    void pointInPolygonMatchesWindingFill();
    void pointInPolygonEdgeCases();
    void segmentNormals_data();
    void segmentNormals();
};

using Polygon = std::vector<QPointF>;

namespace {
// Whether p lies on the edge from a to b (integer coordinates, exact).
bool onEdge(const QPoint& a, const QPoint& b, const QPoint& p)
{
    const qint64 cross = qint64(b.x() - a.x()) * (p.y() - a.y()) - qint64(b.y() - a.y()) * (p.x() - a.x());
    return cross == 0 && p.x() >= qMin(a.x(), b.x()) && p.x() <= qMax(a.x(), b.x()) && p.y() >= qMin(a.y(), b.y())
        && p.y() <= qMax(a.y(), b.y());
}
} // namespace

void tst_CGlobalConfigGeometry::pointInPolygonMatchesWindingFill_data()
{
    QTest::addColumn<double>("unit");
    QTest::addColumn<bool>("offGrid");
    QTest::newRow("integer") << 1.0 << false;
    // Exact binary fractions, so that the grid test below still finds the
    // points on edges.
    QTest::newRow("sub-unit grid") << 1.0 / 64 << false;
    // Points anywhere: on an edge only by chance.
    QTest::newRow("fractional points") << 1.0 / 16 << true;
}

// Random polygons, self-intersecting ones included, against Qt's non-zero
// winding rule; points on an edge are left out, as the two rules may differ
// there.
void tst_CGlobalConfigGeometry::pointInPolygonMatchesWindingFill()
{
    QFETCH(double, unit);
    QFETCH(bool, offGrid);
    QRandomGenerator random(20240601);
    int inside = 0;
    int compared = 0;
    for (int round = 0; round < 400; ++round) {
        QVector<QPoint> corners(3 + random.bounded(9));
        for (QPoint& corner : corners)
            corner = QPoint(random.bounded(-20, 21), random.bounded(-20, 21));
        QPolygonF qtPolygon = QPolygonF(QPolygon(corners));
        for (QPointF& corner : qtPolygon)
            corner *= unit;
        const Polygon polygon(qtPolygon.begin(), qtPolygon.end());
        for (int i = 0; i < 40; ++i) {
            const QPoint grid(random.bounded(-22, 23), random.bounded(-22, 23));
            const QPointF p = offGrid
                ? QPointF(random.generateDouble() * 44 - 22, random.generateDouble() * 44 - 22) * unit
                : QPointF(grid) * unit;
            bool boundary = false;
            for (int k = 0; k < corners.size() && !offGrid; ++k)
                boundary = boundary || onEdge(corners[k], corners[(k + 1) % corners.size()], grid);
            if (boundary)
                continue;
            const bool expected = qtPolygon.containsPoint(p, Qt::WindingFill);
            QVERIFY2(g_config.pointInPolygon(polygon, p) == expected, qPrintable(QString("round %1").arg(round)));
            inside += expected;
            ++compared;
        }
    }
    QVERIFY(inside > compared / 10);
}

// No corners, the list overload, and coordinates far outside any drawing,
// which must not overflow the crossing test.
void tst_CGlobalConfigGeometry::pointInPolygonEdgeCases()
{
    QVERIFY(!g_config.pointInPolygon(Polygon(), QPointF(0, 0)));
    QVERIFY(g_config.pointInPolygon(QList<QPointF>({ { 0, 0 }, { 10, 0 }, { 10, 10 } }), QPointF(8, 2)));
    const double big = 1e300;
    QVERIFY(g_config.pointInPolygon(
        Polygon({ { -big, -big }, { big, -big }, { big, big }, { -big, big } }), QPointF(0, 0)));
    // Edges that jump across the point diagonally.
    const Polygon diamond = { { big, 0.5 }, { -0.5, big }, { -big, -0.5 }, { 0.5, -big } };
    QVERIFY(g_config.pointInPolygon(diamond, QPointF(0, 0)));
    QVERIFY(g_config.pointInPolygon(Polygon({ { -3e9, -3e9 }, { 3e9, 3e9 }, { -3e9, 3e9 } }), QPointF(-1, 1)));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    g_config.pointInPolygon(Polygon({ { nan, nan }, { 1, nan }, { -1, 1 } }), QPointF(nan, 0));
}

void tst_CGlobalConfigGeometry::segmentNormals_data()
{
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    QTest::addColumn<double>("distance");
    QTest::addColumn<QPointF>("q1");
    QTest::addColumn<QPointF>("q2");
    QTest::addColumn<int>("quadrant");
    QTest::newRow("right") << QPointF(0, 0) << QPointF(10, 0) << 2.0 << QPointF(0, -2) << QPointF(10, -2) << 1;
    QTest::newRow("down") << QPointF(0, 0) << QPointF(0, 10) << 2.0 << QPointF(2, 0) << QPointF(2, 10) << 2;
    QTest::newRow("other side") << QPointF(0, 0) << QPointF(10, 0) << -2.0 << QPointF(0, 2) << QPointF(10, 2) << 1;
    QTest::newRow("left") << QPointF(10, 5) << QPointF(0, 5) << 1.0 << QPointF(10, 6) << QPointF(0, 6) << 3;
    QTest::newRow("up") << QPointF(0, 10) << QPointF(0, 0) << 1.0 << QPointF(-1, 10) << QPointF(-1, 0) << 4;
    QTest::newRow("diagonal") << QPointF(0, 0) << QPointF(3, 4) << 5.0 << QPointF(4, -3) << QPointF(7, 1) << 1;
    QTest::newRow("equal") << QPointF(3, 3) << QPointF(3, 3) << 2.0 << QPointF(0, 0) << QPointF(0, 0) << 0;
}

void tst_CGlobalConfigGeometry::segmentNormals()
{
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    QFETCH(double, distance);
    QFETCH(QPointF, q1);
    QFETCH(QPointF, q2);
    QFETCH(int, quadrant);
    QCOMPARE(g_config.segmentQuadrant(p1, p2), quadrant);
    QPointF at1(-1, -1);
    QPointF at2(-1, -1);
    g_config.segmentEndNormalPoints(p1, p2, at1, at2, distance);
    QVERIFY(QLineF(at1, q1).length() < 1e-12);
    QVERIFY(QLineF(at2, q2).length() < 1e-12);
}

ZOCUT_TEST_MAIN(tst_CGlobalConfigGeometry)
#include "tst_CGlobalConfigGeometry.moc"
