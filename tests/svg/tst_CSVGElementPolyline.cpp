#include "CSVGElementPolygon.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <memory>

class tst_CSVGElementPolyline : public QObject
{
    Q_OBJECT
private slots:
    void points();
    void hitTest_data();
    void hitTest();
    void polygonIsClosed();
    void pointHandles();
};

// Line breaks and their references separate numbers; copies keep the points.
// Editing changes the list in place and writes "points" back; a later load
// without notify must replace the geometry already built.
void tst_CSVGElementPolyline::points()
{
    CSVGDocument document;
    auto* polyline = appendShape<CSVGElementPolyline>(&document, "polyline", "points=0,0&#xA;10,10\t-10\n20 5");
    const QPolygonF expected(QVector<QPointF> { { 0, 0 }, { 10, 10 }, { -10, 20 } });
    QCOMPARE(polyline->getPoints(), expected);
    QCOMPARE(polyline->getBoundingRect().toQRectF(), QRectF(-10, 0, 20, 20));
    QCOMPARE(polyline->getPainterPath().elementCount(), 3);
    std::unique_ptr<CSVGElement> copy(polyline->clone(false));
    QCOMPARE(static_cast<CSVGElementPolyline*>(copy.get())->getPoints(), expected);

    polyline->getPoints().append(QPointF(20.5, 0.00001));
    polyline->setAttribute(L"points", CSVGElementPolyline::pointsToText(polyline->getPoints()), true);
    QCOMPARE(polyline->getAttribute(L"points"), std::wstring(L"0 0 10 10 -10 20 20.500000 0"));
    QCOMPARE(polyline->getBoundingRect().toQRectF(), QRectF(-10, 0, 30.5, 20));
    polyline->setAttribute(L"points", L"5 5 6 6", false);
    QCOMPARE(polyline->getBoundingRect().toQRectF(), QRectF(5, 5, 1, 1));
    polyline->setAttribute(L"points", L"12", true);
    QCOMPARE(polyline->getBoundingRect().toQRectF(), QRectF());
    QVERIFY(polyline->getPainterPath().isEmpty());
}

void tst_CSVGElementPolyline::hitTest_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("hit");
    // Unfilled: a band of stroke width + 2 on either side of each segment.
    const QString open = "points=0 0 0 100 100 100|fill=none|stroke-width=1";
    QTest::newRow("beside, inside the band") << open << QPointF(2.9, 50) << true;
    QTest::newRow("beside, outside the band") << open << QPointF(3.1, 50) << false;
    QTest::newRow("other side") << open << QPointF(-2.9, 50) << true;
    QTest::newRow("second segment") << open << QPointF(50, 97.5) << true;
    QTest::newRow("no closing segment") << open << QPointF(50, 50) << false;
    QTest::newRow("wider stroke") << "points=0 0 0 100|fill=none|stroke-width=8" << QPointF(9.5, 50) << true;
    // Filled: the polygon of the points, whatever the stroke.
    const QString filled = "points=0 0 0 100 100 100|fill=red|fill-opacity=0.5|stroke-width=1";
    QTest::newRow("filled inside") << filled << QPointF(30, 60) << true;
    QTest::newRow("filled beside open end") << filled << QPointF(50, 45) << false;
    QTest::newRow("filled beside segment") << filled << QPointF(-2, 50) << false;
    QTest::newRow("faint fill") << "points=0 0 0 100 100 100|fill-opacity=0.1" << QPointF(30, 60) << false;
    QTest::newRow("one point") << "points=0 0|fill=none" << QPointF(0, 0) << false;
}

// Under nested transforms, in canvas coordinates.
void tst_CSVGElementPolyline::hitTest()
{
    QFETCH(QString, attributes);
    QFETCH(QPointF, at);
    QFETCH(bool, hit);
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    group->setAttribute(L"transform", L"translate(1000,0)", false);
    CSVGElementPolyline* polyline
        = appendShape<CSVGElementPolyline>(group, "polyline", attributes + "|transform=scale(1,2)");
    document.updateMatrix(nullptr, false);
    std::wstring groupId = L"kept";
    std::wstring id;
    QCOMPARE(polyline->hitTest(at.x() + 1000, int(at.y() * 2), groupId, id), hit);
    QCOMPARE(id, hit ? polyline->getId() : std::wstring());
    QCOMPARE(groupId, std::wstring(L"kept"));
}

void tst_CSVGElementPolyline::polygonIsClosed()
{
    CSVGDocument document;
    auto* polygon = appendShape<CSVGElementPolygon>(&document, "polygon", "points=0 0 100 0 100 100|fill=none");
    const QPainterPath path = polygon->getPainterPath();
    QCOMPARE(path.elementCount(), 4);
    QCOMPARE(QPointF(path.elementAt(3)), QPointF(0, 0));
    QVERIFY(polygon->isValidPolygon());
    // Inside counts, unfilled or not; the outline alone does not widen it.
    std::wstring groupId;
    std::wstring id;
    QVERIFY(polygon->hitTest(90, 50, groupId, id));
    QCOMPARE(id, polygon->getId());
    QVERIFY(!polygon->hitTest(101, 50, groupId, id));

    polygon->setAttribute(L"points", L"0 0 100 0", true);
    QVERIFY(!polygon->isValidPolygon());
    QCOMPARE(polygon->getPainterPath().elementCount(), 2);
}

void tst_CSVGElementPolyline::pointHandles()
{
    CSVGDocument document;
    CSVGElementPolyline* polyline
        = appendShape<CSVGElementPolyline>(&document, "polyline", "points=0 0 10 0 10 10|transform=translate(5,0)");
    document.updateMatrix(nullptr, false);
    CSVGMatrix view;
    view.scale(2, 2);
    QCOMPARE(polyline->hitTestHandle(30, 1, view), 1);
    QCOMPARE(polyline->hitTestHandle(31, 19, view), 2);
    QCOMPARE(polyline->hitTestHandle(20, 10, view), -1);
    QVERIFY(polyline->intersectsRect(CSVGRect(14, 9, 2, 2)));
    QVERIFY(!polyline->intersectsRect(CSVGRect(0, 9, 2, 2)));
}

ZOCUT_TEST_MAIN(tst_CSVGElementPolyline)
#include "tst_CSVGElementPolyline.moc"
