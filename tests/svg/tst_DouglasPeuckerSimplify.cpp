#include "DouglasPeuckerSimplify.h"
#include "SmallStack.h"
#include "TestEnvironment.h"

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygonOf(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}
} // namespace

class tst_DouglasPeuckerSimplify : public QObject
{
    Q_OBJECT
private slots:
    void rings_data();
    void rings();
    void deepRingNeedsNoDeepRecursion();
};

void tst_DouglasPeuckerSimplify::rings_data()
{
    QTest::addColumn<QPolygonF>("polygon");
    QTest::addColumn<QPolygonF>("expected");
    const QPolygonF open({ { 0, 0 }, { 5, 0 }, { 10, 0 }, { 10, 10 } });
    QTest::newRow("open polygon unchanged") << open << open;
    // Within a millionth of the ring's size only: relative, not in units.
    QTest::newRow("dent within the tolerance")
        << polygonOf({ { 0, 0 }, { 5e5, 0.9 }, { 1e6, 0 }, { 1e6, 1e6 }, { 0, 0 } })
        << polygonOf({ { 0, 0 }, { 1e6, 0 }, { 1e6, 1e6 }, { 0, 0 } });
    const QPolygonF dented({ { 0, 0 }, { 5e5, 1.1 }, { 1e6, 0 }, { 1e6, 1e6 }, { 0, 0 } });
    QTest::newRow("dent beyond it") << dented << dented;
    // In line with the segment but back beyond its start: 5 units from it.
    const QPolygonF spike({ { 0, 0 }, { -5, 0 }, { 100, 0 }, { 50, 1 }, { 0, 0 } });
    QTest::newRow("collinear spike beyond the end") << spike << spike;
    QTest::newRow("points that coincide")
        << polygonOf({ { 3, 4 }, { 3, 4 }, { 3, 4 } }) << polygonOf({ { 3, 4 }, { 3, 4 } });
    QTest::newRow("empty") << QPolygonF() << QPolygonF();
}

void tst_DouglasPeuckerSimplify::rings()
{
    QFETCH(QPolygonF, polygon);
    QFETCH(QPolygonF, expected);
    QCOMPARE(DouglasPeuckerSimplify().simplify(polygon), expected);
}

// A zigzag whose farthest point is always next to an end of its range: a
// recursion would nest once per point, far deeper than the small stack of
// the thread that runs it here allows.
void tst_DouglasPeuckerSimplify::deepRingNeedsNoDeepRecursion()
{
    const int count = 10000;
    QPolygonF ring;
    for (int i = 0; i < count; ++i)
        ring.append(QPointF(i, i % 2));
    ring.append(QPointF(count, 100));
    ring.append(QPointF(0, 100));
    ring.append(ring.first());
    QPolygonF result;
    QVERIFY(runOnSmallStack(128 * 1024, [&] { result = DouglasPeuckerSimplify().simplify(ring); }));
    QCOMPARE(result, ring);
}

ZOCUT_TEST_MAIN(tst_DouglasPeuckerSimplify)
#include "tst_DouglasPeuckerSimplify.moc"
