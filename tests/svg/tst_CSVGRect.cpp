#include "CSVGMatrix.h"
#include "CSVGRect.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QTransform>

class tst_CSVGRect : public QObject
{
    Q_OBJECT
private slots:
    void isEmpty_data();
    void isEmpty();
    void containment();
    void transformedMatchesQTransform();
};

void tst_CSVGRect::isEmpty_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<bool>("empty");
    QTest::newRow("below limit") << 0.0000004 << 10.0 << true;
    QTest::newRow("at limit") << 0.0000005 << 10.0 << false;
    QTest::newRow("negative") << -1.0 << 10.0 << false;
    QTest::newRow("tiny negative height") << 10.0 << -0.0000004 << true;
    QTest::newRow("zero") << 0.0 << 0.0 << true;
}

void tst_CSVGRect::isEmpty()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(bool, empty);
    QCOMPARE(CSVGRect(5, 5, width, height).isEmpty(), empty);
}

// Edges count as inside everywhere.
void tst_CSVGRect::containment()
{
    const CSVGRect r(0, 0, 10, 10);
    QVERIFY(r.intersects(CSVGRect(10, 10, 5, 5)) && CSVGRect(10, 10, 5, 5).intersects(r));
    QVERIFY(!r.intersects(CSVGRect(10.001, 0, 5, 5)) && !r.intersects(CSVGRect(0, -6, 5, 5)));
    QVERIFY(r.contains(CSVGRect(0, 0, 10, 10)) && r.contains(CSVGRect(2, 2, 8, 8)));
    QVERIFY(!r.contains(CSVGRect(2, 2, 8.5, 8)));
    QVERIFY(r.containsPoint(QPointF(10, 0)) && !r.containsPoint(QPointF(10, -0.001)));
    QCOMPARE(r.inflated(1, 2).toQRectF(), QRectF(-1, -2, 12, 14));
    QCOMPARE(CSVGRect(1, 2, 3, 4).toCornerRect().toQRectF(), QRectF(1, 2, 4, 6));
}

void tst_CSVGRect::transformedMatchesQTransform()
{
    QRandomGenerator random(3);
    auto number = [&random] { return random.generateDouble() * 20 - 10; };
    for (int i = 0; i < 200; ++i) {
        const CSVGMatrix m(number(), number(), number(), number(), number(), number());
        const CSVGRect r(number(), number(), number(), number());
        const QRectF expected = QTransform(m.a, m.b, m.c, m.d, m.e, m.f).mapRect(r.toQRectF().normalized());
        const QRectF actual = r.transformed(m).toQRectF();
        QVERIFY(QLineF(actual.topLeft(), expected.topLeft()).length() < 1e-9);
        QVERIFY(QLineF(actual.bottomRight(), expected.bottomRight()).length() < 1e-9);
    }
}

ZOCUT_TEST_MAIN(tst_CSVGRect)
#include "tst_CSVGRect.moc"
