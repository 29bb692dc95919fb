#include "CSVGCaret.h"
#include "CSVGDocument.h"
#include "SvgCodes.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <climits>

namespace {

QString points(const CSVGHighlight& record)
{
    QStringList list;
    for (const HighlightNode& node : record.nodes) {
        QString text = QStringLiteral("%1:%2,%3").arg(node.index).arg(node.point.x()).arg(node.point.y());
        if (node.subIndex >= 0)
            text += QStringLiteral("/%1").arg(node.subIndex);
        list << text;
    }
    return list.join(QLatin1Char(' '));
}

QString lines(const CSVGHighlight& record)
{
    QStringList list;
    for (const HighlightLine& line : record.lines)
        list << QStringLiteral("%1,%2-%3,%4").arg(line.x1).arg(line.y1).arg(line.x2).arg(line.y2);
    return list.join(QLatin1Char(' '));
}

// The cells listing the element, as their left and top corners.
QString cellCorners(const std::vector<TileCell*>& cells)
{
    QStringList list;
    for (const TileCell* cell : cells)
        list << QStringLiteral("%1,%2").arg(cell->rect.x).arg(cell->rect.y);
    return list.join(QLatin1Char(' '));
}

} // namespace

class tst_CSVGHighlight : public QObject
{
    Q_OBJECT
private slots:
    void buildNodes_data();
    void buildNodes();
    void textFrameAndCaret();
    void list();
    void tiles_data();
    void tiles();
    void tilesForgetElements();
};

// Each row: an element under translate(100, 0) with its attributes, the
// active index, and the nodes (index:x,y[/sub-index]) and lines it gets.
void tst_CSVGHighlight::buildNodes_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<int>("active");
    QTest::addColumn<QString>("nodes");
    QTest::addColumn<QString>("expectedLines");
    QTest::newRow("line") << "line"
                          << "x1=1|y1=2|x2=3|y2=4" << -1 << "0:101,2 1:103,4"
                          << "";
    QTest::newRow("rect") << "rect"
                          << "x=0|y=0|width=4|height=2" << -1
                          << "10000:100,0 10001:102,0 10002:104,0 10003:104,1 10004:104,2 10005:102,2 10006:100,2 "
                             "10007:100,1"
                          << "";
    QTest::newRow("circle") << "circle"
                            << "cx=1|cy=1|r=1" << -1
                            << "10000:100,0 10001:101,0 10002:102,0 10003:102,1 10004:102,2 10005:101,2 10006:100,2 "
                               "10007:100,1"
                            << "100,0-102,0 102,0-102,2 102,2-100,2 100,0-100,2";
    QTest::newRow("polygon") << "polygon"
                             << "points=0 0 5 0 5 5" << -1 << "0:100,0 1:105,0 2:105,5"
                             << "";
    QTest::newRow("path, active cubic") << "path"
                                        << "d=M0 0 C1 1 2 2 3 0" << 1 << "1:104,-2/1 1:102,2/0 0:100,0 1:103,0"
                                        << "104,-2-102,2";
    QTest::newRow("path, active line") << "path"
                                       << "d=M0 0 L3 0" << 1 << "0:100,0 1:103,0"
                                       << "";
    QTest::newRow("group") << "g"
                           << "" << -1 << ""
                           << "";
}

void tst_CSVGHighlight::buildNodes()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(int, active);
    QFETCH(QString, nodes);
    QFETCH(QString, expectedLines);
    TestDrawing drawing;
    CSVGElement* element = appendShape(drawing.root, tag, attributes + QStringLiteral("|transform=translate(100,0)"));
    drawing.root->updateMatrix(nullptr, false);
    CSVGHighlight record(element, Qt::red);
    record.buildNodes(active);
    QCOMPARE(points(record), nodes);
    QCOMPARE(lines(record), expectedLines);
    QVERIFY(std::all_of(record.nodes.begin(), record.nodes.end(),
        [element](const HighlightNode& n) { return n.element == element && n.color == Qt::red; }));
}

// White frame 5 outside the box, blue one a unit further; the caret sits
// after the active characters.
void tst_CSVGHighlight::textFrameAndCaret()
{
    TestDrawing drawing;
    auto* text = appendShape(drawing.root, "text", "x=10|y=50|font-family=DejaVu Sans|font-size=20");
    text->setText(L"abc", false);
    drawing.root->updateMatrix(nullptr, false);
    const CSVGRect box = text->getBoundingRect();
    CSVGHighlight record(text, Qt::green);
    record.buildNodes(-1);
    QCOMPARE(record.lines.size(), 8);
    QCOMPARE(QPointF(record.lines[0].x1, record.lines[0].y1), QPointF(box.x - 5, box.y - 5));
    QCOMPARE(record.lines[0].color, QColor(Qt::white));
    QCOMPARE(QPointF(record.lines[4].x1, record.lines[4].y1), QPointF(box.x - 6, box.y - 6));
    QCOMPARE(record.getCaret(), nullptr);
    record.buildNodes(0);
    QVERIFY(record.getCaret());
    QCOMPARE(record.getCaret()->dark.weight, 2);
    QCOMPARE(record.getCaret()->light.x1 - record.getCaret()->dark.x1, 1.0);
    record.buildNodes(3);
    QCOMPARE(record.getCaret()->dark.x1, box.x + box.width);
}

void tst_CSVGHighlight::list()
{
    TestDrawing drawing;
    CSVGElement* group = appendShape(drawing.root, "g", "");
    CSVGElement* a = appendShape(group, "rect", "x=0|y=0|width=10|height=10");
    CSVGElement* b = appendShape(drawing.root, "line", "x1=0|y1=0|x2=10|y2=0");
    drawing.root->updateMatrix(nullptr, false);
    CSVGHighlightList highlights;
    highlights.addElement(group, Qt::red);
    QVERIFY(highlights.findRecord(group)->nodes.isEmpty());
    QCOMPARE(highlights.findRecord(a)->getColor(), QColor(Qt::red));
    QCOMPARE(highlights.updateElement(b, -1)->getColor(), QColor(Qt::green));

    // The first record wins; within it the last node before the others.
    HighlightNode found = highlights.findNode(QPointF(10, 0), 1);
    QCOMPARE(found.element, a);
    QCOMPARE(found.index, int(HandleIndex::RightTop));
    found = highlights.findNode(QPointF(0, 2.5), 3);
    QCOMPARE(found.index, int(HandleIndex::Left));
    found = highlights.findNode(QPointF(500, 500), 5);
    QVERIFY(found.index == -1 && found.subIndex == -1 && !found.element && found.color == Qt::green);

    highlights.selectNodesInRect(CSVGRect(-1, -1, 2, 2));
    QCOMPARE(highlights.getMarkedNodes().size(), 2);
    a->setAttribute(L"x", L"1", true);
    highlights.addElement(a, Qt::blue);
    QCOMPARE(highlights.getMarkedNodes().first().point, QPointF(1, 0));
    QCOMPARE(highlights.findRecord(a)->getColor(), QColor(Qt::red));
    highlights.removeElement(group);
    QCOMPARE(highlights.getRecords().size(), 1);
}

// Each row: a rectangle (x, y, width, height), whether it lies in a
// definition (check flag off), the corners of the cells it is given and
// whether a lookup at (20, 5) finds it.
void tst_CSVGHighlight::tiles_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<bool>("inDefs");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<bool>("found");
    QTest::newRow("inside one cell") << QRectF(10, 10, 130, 130) << false << "0,0" << true;
    QTest::newRow("edge on a multiple") << QRectF(0, 10, 150, 10) << false << "0,0 150,0" << true;
    QTest::newRow("negative") << QRectF(-150, 10, 140, 10) << false << "-300,0 -150,0" << false;
    QTest::newRow("check flag off") << QRectF(10, 10, 10, 10) << true << "0,0" << false;
    const QString wide = QStringLiteral("%1,%1").arg(double(INT_MIN));
    QTest::newRow("ten million wide") << QRectF(1000, 0, 1e7, 10) << false << wide << true;
    QTest::newRow("beyond the grid") << QRectF(1e300, 0, 10, 10) << false << wide << true;
}

// A shape too large for cells of its own is found through the wide cell,
// which every lookup returns.
void tst_CSVGHighlight::tiles()
{
    QFETCH(QRectF, rect);
    QFETCH(bool, inDefs);
    QFETCH(QString, cells);
    QFETCH(bool, found);
    TestDrawing drawing;
    CSVGElement* parent = inDefs ? appendShape<CSVGElement>(drawing.root, "defs", "") : drawing.root;
    auto* shape = appendShape(parent, "rect",
        QStringLiteral("x=%1|y=%2|width=%3|height=%4")
            .arg(rect.x())
            .arg(rect.y())
            .arg(rect.width())
            .arg(rect.height()));
    drawing.root->updateMatrix(nullptr, false);
    CSVGDocument& document = drawing.document;
    document.addToTiles(shape);
    QCOMPARE(cellCorners(document.getTileCells(shape)), cells);
    const std::vector<TileCell*> lookup = document.getTilesForRect(CSVGRect(20, 5, 0, 0));
    const bool listed = std::any_of(lookup.begin(), lookup.end(),
        [shape](const TileCell* cell) { return std::count(cell->elements.begin(), cell->elements.end(), shape) == 1; });
    QCOMPARE(listed, found);
}

// No cell lists an element that left the tree or died, whatever container
// held it.
void tst_CSVGHighlight::tilesForgetElements()
{
    TestDrawing drawing;
    CSVGDocument& document = drawing.document;
    CSVGElement* a = appendShape(drawing.root, "a", "");
    CSVGElement* inA = appendShape(a, "rect", "x=0|y=0|width=10|height=10");
    CSVGElement* detached = appendShape(drawing.root, "rect", "x=0|y=0|width=10|height=10");
    CSVGElement* deleted = appendShape(drawing.root, "circle", "cx=5|cy=5|r=5");
    drawing.root->updateMatrix(nullptr, false);
    document.renumberDrawingOrder();
    document.addToTiles(drawing.root);
    TileCell* cell = document.getTilesForRect(CSVGRect(1, 1, 1, 1)).front();
    QCOMPARE(cell->elements, (std::vector<CSVGElement*> { inA, detached, deleted }));
    cell->changed = 0;
    document.removeFromTiles(a);
    QCOMPARE(cell->changed, 1);
    drawing.root->detachChild(detached);
    delete detached;
    drawing.root->deleteChild(deleted);
    QVERIFY(cell->elements.empty());
    document.addToTiles(drawing.root);
    document.clearContents();
    QVERIFY(document.getTilesForRect(CSVGRect(1, 1, 1, 1)).front()->elements.empty());
}

ZOCUT_TEST_MAIN(tst_CSVGHighlight)

#include "tst_CSVGHighlight.moc"
