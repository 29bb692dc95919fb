#include "DouglasPeuckerSimplify.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QThread>

#include <cmath>

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygonOf(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

// The reduction as first defined: recursive, on normalised coordinates.
double segmentDistance(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF d = b - a;
    const double length2 = d.x() * d.x() + d.y() * d.y();
    QPointF q = a;
    if (length2 != 0) {
        const double t = ((p.x() - a.x()) * d.x() + (p.y() - a.y()) * d.y()) / length2;
        q = t < 0 ? a : t > 1 ? b : a + t * d;
    }
    return std::sqrt((p.x() - q.x()) * (p.x() - q.x()) + (p.y() - q.y()) * (p.y() - q.y()));
}

void reduceRecursively(const QPolygonF& points, int first, int last, QPolygonF& out)
{
    double largest = 0;
    int index = first;
    for (int i = first + 1; i < last; ++i) {
        const double d = segmentDistance(points[i], points[first], points[last]);
        if (d > largest) {
            largest = d;
            index = i;
        }
    }
    if (largest <= 1e-6)
        return;
    reduceRecursively(points, first, index, out);
    out.append(points[index]);
    reduceRecursively(points, index, last, out);
}

QPolygonF simplifyRecursively(const QPolygonF& polygon)
{
    if (!polygon.isClosed())
        return polygon;
    const QRectF b = polygon.boundingRect();
    const double s = b.height() > b.width() ? b.height() : b.width();
    QPolygonF normalised;
    for (const QPointF& p : polygon)
        normalised.append(QPointF((p.x() - b.left()) / s, (p.y() - b.top()) / s));
    QPolygonF kept;
    reduceRecursively(normalised, 0, normalised.size() - 1, kept);
    if (!kept.contains(normalised.first()))
        kept.prepend(normalised.first());
    kept.append(kept.first());
    for (QPointF& p : kept)
        p = QPointF(b.left() + p.x() * s, b.top() + p.y() * s);
    return kept;
}

// A closed ring of points on a few lines and a few random spikes, so that
// collinear runs, near-ties and repeated points all occur.
QPolygonF randomRing(QRandomGenerator& random)
{
    QPolygonF ring;
    const int count = 3 + random.bounded(60);
    for (int i = 0; i < count; ++i) {
        const double grid = random.bounded(3) == 0 ? 1.0 : 1e-4;
        ring.append(QPointF(std::round(random.bounded(200.0) / grid) * grid, std::round(random.bounded(5) * 10.0)));
    }
    ring.append(ring.first());
    return ring;
}

QPolygonF simplify(const QPolygonF& polygon)
{
    const DouglasPeuckerSimplify simplifier;
    return simplifier.simplify(polygon);
}
} // namespace

class tst_DouglasPeuckerSimplify : public QObject
{
    Q_OBJECT
private slots:
    void rings_data();
    void rings();
    void matchesRecursiveDefinition();
    void deepRingNeedsNoDeepRecursion();
};

void tst_DouglasPeuckerSimplify::rings_data()
{
    QTest::addColumn<QPolygonF>("polygon");
    QTest::addColumn<QPolygonF>("expected");
    const QPolygonF open({ { 0, 0 }, { 5, 0 }, { 10, 0 }, { 10, 10 } });
    QTest::newRow("open polygon unchanged") << open << open;
    QTest::newRow("collinear point removed")
        << polygonOf({ { 0, 0 }, { 5, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 }, { 0, 0 } })
        << polygonOf({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 }, { 0, 0 } });
    const QPolygonF triangle({ { 0, 0 }, { 10, 0 }, { 0, 10 }, { 0, 0 } });
    QTest::newRow("triangle kept") << triangle << triangle;
    // Within a millionth of the ring's size only: relative, not in units.
    QTest::newRow("tiny dent in a large ring")
        << polygonOf({ { 0, 0 }, { 5e5, 0.5 }, { 1e6, 0 }, { 1e6, 1e6 }, { 0, 0 } })
        << polygonOf({ { 0, 0 }, { 1e6, 0 }, { 1e6, 1e6 }, { 0, 0 } });
    QTest::newRow("same dent in a small ring") << polygonOf({ { 0, 0 }, { 5, 0.5 }, { 10, 0 }, { 10, 10 }, { 0, 0 } })
                                               << polygonOf({ { 0, 0 }, { 5, 0.5 }, { 10, 0 }, { 10, 10 }, { 0, 0 } });
    QTest::newRow("points that coincide")
        << polygonOf({ { 3, 4 }, { 3, 4 }, { 3, 4 } }) << polygonOf({ { 3, 4 }, { 3, 4 } });
    QTest::newRow("empty") << QPolygonF() << QPolygonF();
}

void tst_DouglasPeuckerSimplify::rings()
{
    QFETCH(QPolygonF, polygon);
    QFETCH(QPolygonF, expected);
    QCOMPARE(simplify(polygon), expected);
}

void tst_DouglasPeuckerSimplify::matchesRecursiveDefinition()
{
    QRandomGenerator random(7);
    for (int i = 0; i < 3000; ++i) {
        const QPolygonF ring = randomRing(random);
        const QPolygonF expected = simplifyRecursively(ring);
        const QPolygonF actual = simplify(ring);
        if (actual != expected)
            QFAIL(qPrintable(QStringLiteral("ring %1 of %2 points").arg(i).arg(ring.size())));
    }
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
    QScopedPointer<QThread> thread(QThread::create([&] { result = simplify(ring); }));
    thread->setStackSize(128 * 1024);
    thread->start();
    QVERIFY(thread->wait(60000));
    QCOMPARE(result.size(), ring.size());
    for (int i = 0; i < ring.size(); ++i)
        QVERIFY(QLineF(result[i], ring[i]).length() < 1e-9);
}

ZOCUT_TEST_MAIN(tst_DouglasPeuckerSimplify)
#include "tst_DouglasPeuckerSimplify.moc"
