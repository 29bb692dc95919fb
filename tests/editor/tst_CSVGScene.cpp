#include "CSVGElementPath.h"
#include "CSVGGraphicsItem.h"
#include "CSVGScene.h"
#include "CanvasGeometry.h"
#include "SvgCodes.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPainter>
#include <QPointer>

#include <new>

namespace {

// The piece items in stacking order, bottom first.
QList<CSVGGraphicsItem*> pieceItems(CSVGScene& scene)
{
    QList<CSVGGraphicsItem*> items;
    for (QGraphicsItem* item : scene.items(Qt::AscendingOrder)) {
        if (auto* piece = dynamic_cast<CSVGGraphicsItem*>(item))
            items << piece;
    }
    return items;
}

QList<CSVGElement*> shownElements(CSVGScene& scene)
{
    QList<CSVGElement*> elements;
    for (CSVGGraphicsItem* item : pieceItems(scene))
        elements << item->getElement();
    return elements;
}

void render(CSVGScene& scene)
{
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    scene.render(&painter);
}

} // namespace

// The scene's items follow the document's top-level pieces; each item
// stays tied to its own element.
class tst_CSVGScene : public QObject
{
    Q_OBJECT
private slots:
    void rebuildFollowsTopLevelPieces();
    void newPieceAtAnOldAddress();
    void finiteRectangles_data();
    void finiteRectangles();
    void itemCoversEditedNodes();
};

void tst_CSVGScene::rebuildFollowsTopLevelPieces()
{
    TestDrawing drawing;
    CSVGElementShape* a = drawing.addPath(squareData(0, 0, 10));
    CSVGElementShape* b = drawing.addPath(squareData(20, 0, 10));
    CSVGElementShape* c = drawing.addPath(squareData(40, 0, 10));
    CSVGScene scene(nullptr);
    scene.setDocument(&drawing.document);
    QCOMPARE(shownElements(scene), (QList<CSVGElement*> { a, b, c }));
    const QList<CSVGGraphicsItem*> before = pieceItems(scene);
    QPointer<CSVGGraphicsItem> itemB = before[1];
    QPointer<CSVGGraphicsItem> itemC = before[2];

    // b moves into a new group: its item goes, the group's comes on top.
    CSVGElement* group = appendNew(drawing.root, L"g");
    group->adoptChild(b, true);
    drawing.document.setContentChanged(true);
    drawing.document.notifyChanged();
    QVERIFY(!itemB);
    QCOMPARE(shownElements(scene), (QList<CSVGElement*> { a, c, group }));
    QCOMPARE(pieceItems(scene).mid(0, 2), (QList<CSVGGraphicsItem*> { before[0], before[2] }));
    QVERIFY(!drawing.document.isContentChanged());

    // An item that outlives its element draws nothing until the rebuild; its
    // box empties before the next paint.
    drawing.root->deleteChild(c);
    QVERIFY(!itemC->getElement());
    scene.syncItemGeometry();
    QVERIFY(itemC->boundingRect().isEmpty());
    render(scene);
    drawing.document.notifyChanged();
    QVERIFY(!itemC);
    QCOMPARE(shownElements(scene), (QList<CSVGElement*> { a, group }));
}

// Items are found by their element's address, which the allocator hands
// out again: a piece deleted and a new one built in its storage before the
// next rebuild (the sanitizers' quarantine would hold the address back, so
// the test builds it there) gets an item of its own, not the dead one's.
void tst_CSVGScene::newPieceAtAnOldAddress()
{
    TestDrawing drawing;
    CSVGElementShape* kept = drawing.addPath(squareData(0, 0, 10));
    CSVGElementShape* old = drawing.addPath(squareData(20, 0, 10));
    CSVGScene scene(nullptr);
    scene.setDocument(&drawing.document);
    QCOMPARE(shownElements(scene), (QList<CSVGElement*> { kept, old }));

    QVERIFY(drawing.root->removeChild(old, true));
    old->~CSVGElementShape();
    auto* reborn = new (static_cast<void*>(old)) CSVGElementPath(&drawing.document);
    setAttributes(reborn, squareData(40, 0, 10));
    drawing.root->appendChild(reborn, true, true);
    drawing.document.notifyChanged();
    QCOMPARE(shownElements(scene), (QList<CSVGElement*> { kept, reborn }));
}

void tst_CSVGScene::finiteRectangles_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<bool>("shown");
    QTest::newRow("far outside the scene") << squareData(1e9, -1e9, 10) << true;
    QTest::newRow("a single point") << "d=M5 5" << true;
    QTest::newRow("overflowing transform") << squareData(0, 0, 10) + "|transform=scale(1e308)" << false;
    QTest::newRow("overflowing coordinates") << "d=M-1e308 0 L1e308 0 L0 1e308" << false;
}

// The scene's index never sees an infinite or NaN edge.
void tst_CSVGScene::finiteRectangles()
{
    QFETCH(QString, attributes);
    QFETCH(bool, shown);
    TestDrawing drawing;
    drawing.addPath(attributes);
    CSVGScene scene(nullptr);
    scene.setDocument(&drawing.document);
    const QRectF rect = pieceItems(scene).first()->boundingRect();
    QVERIFY(CanvasGeometry::isFinite(rect) && CanvasGeometry::isFinite(scene.getItemsRect()));
    QCOMPARE(!rect.isEmpty(), shown);
    render(scene);
}

void tst_CSVGScene::itemCoversEditedNodes()
{
    TestDrawing drawing;
    CSVGElementShape* piece = drawing.addPath(squareData(0, 0, 10));
    auto* record = new CSVGHighlight(piece, Qt::blue);
    HighlightNode node;
    node.point = QPointF(500, 500);
    record->nodes << node;
    drawing.document.getHighlightList().addRecord(record);
    CSVGScene scene(nullptr);
    scene.setDocument(&drawing.document);
    CSVGGraphicsItem* item = pieceItems(scene).first();
    QVERIFY(!item->boundingRect().contains(node.point));
    drawing.document.setEditMode(EditMode::MovePoint);
    // The box follows before the next paint, never behind the index's back.
    QVERIFY(!item->boundingRect().contains(node.point));
    scene.syncItemGeometry();
    QVERIFY(item->boundingRect().contains(node.point));
}

ZOCUT_TEST_MAIN(tst_CSVGScene)
#include "tst_CSVGScene.moc"
