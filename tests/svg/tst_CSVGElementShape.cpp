#include "CSVGElementPath.h"
#include "CSVGElementPolygon.h"
#include "CSVGUtils.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ClipperLib::JoinType)

namespace {

// root: svg > g (translate 100,0) > g (scale 2) > path (translate 5,5) and
// polygon; the matrices are up to date.
struct NestedDrawing
{
    CSVGDocument document;
    CSVGElementShape* root = appendShape(&document, "svg", "");
    CSVGElementShape* outer = appendShape(root, "g", "");
    CSVGElementShape* inner = appendShape(outer, "g", "");
    CSVGElementShape* path
        = appendShape(inner, "path", "d=M0 0 L10 0 L10 10 Z|transform=translate(5,5)|stroke-width=20");
    CSVGElementShape* polygon = appendShape(inner, "polygon", "points=20 0 30 0 30 5");

    NestedDrawing()
    {
        outer->setAttribute(L"transform", L"translate(100,0)", false);
        inner->setAttribute(L"transform", L"scale(2)", false);
        root->updateMatrix(nullptr, false);
    }
};

} // namespace

class tst_CSVGElementShape : public QObject
{
    Q_OBJECT
private slots:
    void nestedBoundsHitsAndBand();
    void containerBoundsCountThinChildren();
    void largestPolygonAndLeaves();
    void offsetOutline_data();
    void offsetOutline();
    void scaleInsideTransformedGroup();
    void nodeSelection();
    void handles_data();
    void handles();
};

// In canvas coordinates through the groups; the stroke plays no part.
void tst_CSVGElementShape::nestedBoundsHitsAndBand()
{
    NestedDrawing drawing;
    QCOMPARE(drawing.path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 10));
    QCOMPARE(drawing.path->getTransformedBoundingRect().toQRectF(), QRectF(110, 10, 20, 20));
    // The inner group's box is in its own coordinates, the outer one's in its.
    QCOMPARE(drawing.inner->getBoundingRect().toQRectF(), QRectF(5, 0, 25, 15));
    QCOMPARE(drawing.outer->getBoundingRect().toQRectF(), QRectF(10, 0, 50, 30));
    QCOMPARE(drawing.outer->getTransformedBoundingRect().toQRectF(), QRectF(110, 0, 50, 30));
    QCOMPARE(drawing.outer->getTransformedPath().boundingRect(), QRectF(110, 0, 50, 30));
    QVERIFY(drawing.outer->getPainterPath().isEmpty());

    std::wstring group = L"untouched";
    std::wstring id;
    QVERIFY(drawing.path->hitTest(125.5, 15, group, id));
    QCOMPARE(id, drawing.path->getId());
    QCOMPARE(group, std::wstring(L"untouched"));
    QVERIFY(!drawing.path->hitTest(105, 15, group, id));
    QVERIFY(!drawing.path->hitTest(15, 15, group, id));
    // Through nested groups: the leaf's id, and the outermost group's.
    id.clear();
    QVERIFY(drawing.outer->hitTest(125, 15, group, id));
    QCOMPARE(id, drawing.path->getId());
    QCOMPARE(group, drawing.outer->getId());
    QVERIFY(!drawing.outer->hitTest(105, 15, group, id));

    QVERIFY(drawing.path->intersectsRect(CSVGRect(125, 25, 10, 10)));
    QVERIFY(!drawing.path->intersectsRect(CSVGRect(115, 15, 10, 10)));
    // The polyline tests its points, not its box.
    QVERIFY(drawing.polygon->intersectsRect(CSVGRect(155, 5, 10, 10)));
    QVERIFY(!drawing.polygon->intersectsRect(CSVGRect(140, 5, 5, 5)));
    QVERIFY(!drawing.root->intersectsRect(CSVGRect(-1000, -1000, 5000, 5000)));
    QVERIFY(drawing.outer->intersectsRect(CSVGRect(-1000, -1000, 5000, 5000)));

    // A changed child makes its ancestors rebuild.
    drawing.polygon->setAttribute(L"points", L"20 0 40 0 40 5", true);
    QCOMPARE(drawing.outer->getTransformedBoundingRect().toQRectF(), QRectF(110, 0, 70, 30));
    // A matrix without inverse hits nothing and breaks nothing.
    drawing.inner->setAttribute(L"transform", L"scale(0)", false);
    drawing.root->updateMatrix(nullptr, false);
    QVERIFY(!drawing.path->hitTest(100, 0, group, id));
    QVERIFY(!drawing.polygon->hitTest(100, 0, group, id));
    QCOMPARE(drawing.inner->getBoundingRect().toQRectF(), QRectF());
}

// A horizontal line is thin but not absent: it widens the group's box.
void tst_CSVGElementShape::containerBoundsCountThinChildren()
{
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    appendShape(group, "polyline", "points=0 10 50 10");
    appendShape(group, "polyline", "points=0 30 80 30");
    appendShape(group, "path", "");
    document.updateMatrix(nullptr, false);
    QCOMPARE(group->getBoundingRect().toQRectF(), QRectF(0, 10, 80, 20));
}

void tst_CSVGElementShape::offsetOutline_data()
{
    QTest::addColumn<QString>("extra");
    QTest::addColumn<double>("delta");
    QTest::addColumn<ClipperLib::JoinType>("join");
    QTest::addColumn<double>("area");
    QTest::newRow("grown, round") << "" << 10.0 << ClipperLib::jtRound << 14314.2;
    QTest::newRow("grown, mitre") << "" << 10.0 << ClipperLib::jtMiter << 14400.0;
    QTest::newRow("shrunk by 10") << "" << -10.0 << ClipperLib::jtRound << 6400.0;
    QTest::newRow("shrunk by 60") << "" << -60.0 << ClipperLib::jtMiter << 0.0;
    QTest::newRow("the hole left out") << " M40 40 L60 40 L60 60 Z" << 10.0 << ClipperLib::jtMiter << 14400.0;
}

// A 100 x 100 square in a group moved by (100, 50); a group's outline is
// its children's. Round joins lose a sliver under each chord.
void tst_CSVGElementShape::offsetOutline()
{
    QFETCH(QString, extra);
    QFETCH(double, delta);
    QFETCH(ClipperLib::JoinType, join);
    QFETCH(double, area);
    TestDrawing drawing;
    CSVGElementShape* group = appendShape(drawing.root, "g", "");
    group->setAttribute(L"transform", L"translate(100,50)", false);
    CSVGElementShape* path = drawing.addPath(squareData(0, 0, 100) + extra, group);
    for (CSVGElementShape* shape : { path, static_cast<CSVGElementShape*>(group) }) {
        const std::vector<QPolygonF> rings = shape->getOffsetOutline(delta, 0.01, join, ClipperLib::etClosedPolygon);
        QCOMPARE(int(rings.size()), area > 0 ? 1 : 0);
        for (const QPolygonF& ring : rings) {
            QVERIFY(std::abs(std::abs(CSVGUtils::signedArea(ring)) - area) < 0.5);
            QVERIFY(std::abs(ring.boundingRect().left() - (100 - delta)) < 1e-3);
        }
    }
}

void tst_CSVGElementShape::largestPolygonAndLeaves()
{
    QPainterPath path;
    path.addRect(0, 0, 10, 10);
    path.addRect(50, 50, 30, 30);
    path.addRect(100, 100, 30, 30);
    QCOMPARE(CSVGElementShape::getLargestPolygon(path).boundingRect(), QRectF(50, 50, 30, 30));
    QVERIFY(CSVGElementShape::getLargestPolygon(QPainterPath()).isEmpty());
    // A list of rings gives what a path made of them gives: a lone point and
    // a ring with a point at infinity do not count as they are.
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<QPolygonF> rings { QPolygonF(QVector<QPointF> { { 500, 500 } }),
        QPolygonF({ { 0, 0 }, { 10, 0 }, { 10, 10 } }), QPolygonF({ { 0, 0 }, { inf, 0 }, { 20, 20 }, { 0, 20 } }),
        QPolygonF({ { 0, 0 }, { 15, 0 }, { 15, 15 } }) };
    QPainterPath made;
    for (const QPolygonF& ring : rings)
        made.addPolygon(ring);
    QCOMPARE(CSVGElementShape::getLargestPolygon(rings), CSVGElementShape::getLargestPolygon(made));
    QCOMPARE(CSVGElementShape::getLargestPolygon(rings).boundingRect(), QRectF(0, 0, 20, 20));
    QCOMPARE(CSVGElementShape::getLargestPolygon(std::vector<QPolygonF> { rings[0], rings[1] }), rings[1]);

    NestedDrawing drawing;
    appendNew(drawing.inner, L"style");
    const auto leaves = CSVGElementShape::collectLeafShapes(drawing.root);
    QCOMPARE(leaves, (std::vector<CSVGElementShape*> { drawing.path, drawing.polygon }));
}

void tst_CSVGElementShape::scaleInsideTransformedGroup()
{
    NestedDrawing drawing;
    drawing.path->scaleAbout(2, 0.5, QPointF(120, 20));
    QCOMPARE(drawing.path->getTransformedBoundingRect().toQRectF(), QRectF(100, 15, 40, 10));
    QCOMPARE(drawing.inner->getAttribute(L"transform"), std::wstring(L"scale(2)"));

    QCOMPARE(drawing.outer->getTransformedBoundingRect().toQRectF(), QRectF(100, 0, 60, 25));
    drawing.outer->scaleAbout(0.5, 1, QPointF(130, 0));
    QCOMPARE(drawing.outer->getTransformedBoundingRect().toQRectF(), QRectF(115, 0, 30, 25));
}

void tst_CSVGElementShape::nodeSelection()
{
    NestedDrawing drawing;
    CSVGElementShape* path = drawing.path;
    // Canvas corners of the path: (110, 10), (130, 10), (130, 30).
    const CSVGRect rect(120, 0, 20, 40);
    path->selectNodesInRect(rect);
    path->selectNodesInRect(rect);
    QCOMPARE(path->getMarkedNodes(), (QList<int> { 1, 2 }));
    QCOMPARE(path->getNodeSelectionArea().boundingRect(), QRectF(120, 0, 20, 40));
    path->selectNodesInRect(CSVGRect(105, 5, 10, 10));
    QCOMPARE(path->getMarkedNodes(), (QList<int> { 1, 2, 0 }));

    // A group passes the rectangle on and gathers the areas of its shapes.
    const QPainterPath area = drawing.inner->selectNodesInRect(CSVGRect(155, 0, 10, 20));
    QCOMPARE(drawing.polygon->getMarkedNodes(), (QList<int> { 1, 2 }));
    QCOMPARE(area.boundingRect(), QRectF(105, 0, 60, 40));
    drawing.inner->clearNodeSelection();
    QVERIFY(path->getMarkedNodes().isEmpty() && drawing.polygon->getMarkedNodes().isEmpty());
    QVERIFY(drawing.outer->getNodeSelectionArea().isEmpty());
}

void tst_CSVGElementShape::handles_data()
{
    QTest::addColumn<QString>("points");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("code");
    // The corners are tried first, so on a tiny box they win.
    QTest::newRow("tiny box centre") << "0 0 4 4" << QPointF(2, 2) << 100001;
    QTest::newRow("tiny box far corner") << "0 0 4 4" << QPointF(3.9, 3.9) << 100005;
    QTest::newRow("bottom middle") << "0 0 101 50" << QPointF(50, 52) << 100006;
    QTest::newRow("rotation") << "0 0 100 50" << QPointF(50, -29) << 100009;
    QTest::newRow("just too far") << "0 0 100 50" << QPointF(103, 0) << -1;
}

// Through a path: the polyline answers point indices instead.
void tst_CSVGElementShape::handles()
{
    QFETCH(QString, points);
    QFETCH(QPointF, at);
    QFETCH(int, code);
    CSVGDocument document;
    const QStringList n = points.split(' ');
    CSVGElementShape* shape = appendShape(
        &document, "path", QStringLiteral("d=M%1 %2 L%3 %4|transform=translate(10,0)").arg(n[0], n[1], n[2], n[3]));
    document.updateMatrix(nullptr, false);
    CSVGMatrix view;
    view.scale(2, 2);
    QCOMPARE(shape->hitTestHandle(2 * (at.x() + 10), 2 * at.y(), view), code);
}

ZOCUT_TEST_MAIN(tst_CSVGElementShape)
#include "tst_CSVGElementShape.moc"
