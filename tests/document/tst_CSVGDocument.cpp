#include "CActionBase.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPainterPath>
#include <QSignalSpy>

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(QPainterPath)

class tst_CSVGDocument : public QObject
{
    Q_OBJECT
private slots:
    void factory_data();
    void factory();
    void idCounter_data();
    void idCounter();
    void goneElementsLeaveTheDocument();
    void pathElement_data();
    void pathElement();
    void largeTree();
    void lifecycle();
    void displayFlags();
    void contentBounds();
};

void tst_CSVGDocument::factory_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("type");
    QTest::newRow("path") << "path" << 72;
    QTest::newRow("root") << "svg" << 82;
    QTest::newRow("listed without class") << "title" << 0;
    QTest::newRow("unknown") << "sodipodi:namedview" << 0;
}

void tst_CSVGDocument::factory()
{
    QFETCH(QString, tag);
    QFETCH(int, type);
    CSVGDocument document;
    document.clearContents();
    QCOMPARE(document.createElement(std::wstring()), nullptr);
    std::unique_ptr<CSVGElement> element(document.createElement(tag.toStdWString()));
    QCOMPARE(int(element->getType()), type);
    QCOMPARE(element->getTagName(), tag.toStdWString());
    QCOMPARE(element->getParent(), nullptr);
    QCOMPARE(document.getElementById(element->getId()), element.get());
    QCOMPARE(document.getOwnerSvg(), nullptr);
    CSVGElement* child = element.release();
    QVERIFY(document.appendChild(child, true, false));
    QCOMPARE(document.getOwnerSvg(), type == 82 ? child : nullptr);
}

// Each row gives an element of no document these ids in a fresh document.
void tst_CSVGDocument::idCounter_data()
{
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<qint64>("counter");
    QTest::newRow("number") << QStringList { "rect_12" } << qint64(13);
    QTest::newRow("lower afterwards") << QStringList { "rect_12", "g_3" } << qint64(13);
    QTest::newRow("not a number") << QStringList { "rect_abc" } << qint64(1);
    QTest::newRow("first underscore") << QStringList { "a_7_100" } << qint64(8);
    QTest::newRow("largest int") << QStringList { "a_2147483647" } << qint64(2147483648);
}

void tst_CSVGDocument::idCounter()
{
    QFETCH(QStringList, ids);
    QFETCH(qint64, counter);
    CSVGElement stranger(nullptr, L"stranger", 0);
    CSVGDocument document;
    document.setIdCounter(0);
    for (const QString& id : ids) {
        stranger.setAttribute(L"id", id.toStdWString(), false);
        document.registerElementId(&stranger, id.toStdWString());
    }
    QCOMPARE(qint64(document.getIdCounter()), counter);
    QCOMPARE(document.getElementById(ids.last().toStdWString()), &stranger);
    QCOMPARE(document.getElementById(L"idnoused"), nullptr);

    // Only under the element's own id, and only while tracking.
    document.registerElementId(&stranger, L"other_50");
    QCOMPARE(document.getElementById(L"other_50"), nullptr);
    document.setIdTracking(false);
    stranger.setAttribute(L"id", L"late_99", false);
    document.registerElementId(&stranger, L"late_99");
    QCOMPARE(document.getElementById(L"late_99"), nullptr);

    // Handed-out ids are never handed out again.
    const qint64 next = document.getIdCounter();
    QCOMPARE(document.makeUniqueId(L"rect"), idOf(L"rect", next));
    QCOMPARE(document.makeUniqueId(L"rect"), idOf(L"rect", next + 1));
}

// Neither the id map, the selection, the current element nor the style list
// may keep pointing at a removed or deleted element.
void tst_CSVGDocument::goneElementsLeaveTheDocument()
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElement* group = appendNew(root, L"g");
    CSVGElement* leaf = appendNew(group, L"path");
    appendNew(group, L"style");
    CSVGElement* top = appendNew(root, L"rect");
    QSignalSpy removed(&document, &CSVGDocument::elementRemoved);
    QSignalSpy selection(&document, &CSVGDocument::selectionChanged);

    document.selectElement(top, Qt::green);
    document.selectElement(top, Qt::green);
    document.selectElement(leaf, Qt::green);
    QCOMPARE(document.getSelection(), (QVector<CSVGElement*> { top, group }));
    QCOMPARE(document.getCurrentElement(), leaf);
    QCOMPARE(selection.count(), 2);
    QCOMPARE(document.getStyleElements().size(), size_t(1));
    HighlightNode node;
    node.element = leaf;
    document.getHighlightList().addRecord(new CSVGHighlight(leaf, Qt::green));
    document.getHighlightList().setMarkedNodes({ node });
    document.setCurrentNode(node);

    group->setAttribute(L"id", L"renamed", false);
    QCOMPARE(removed.count(), 0);
    // The group and the path inside it.
    QVERIFY(root->removeChild(group, false));
    QCOMPARE(removed.count(), 2);
    const std::wstring leafId = leaf->getId();
    delete group;
    QCOMPARE(document.getSelection(), QVector<CSVGElement*> { top });
    QCOMPARE(document.getCurrentElement(), nullptr);
    QVERIFY(document.getStyleElements().empty());
    QCOMPARE(document.getElementById(leafId), nullptr);
    QCOMPARE(removed.count(), 2);
    const QVector<CSVGHighlight*> records = document.getHighlightList().getRecords();
    QVERIFY(
        std::all_of(records.begin(), records.end(), [top](const CSVGHighlight* r) { return r->getElement() == top; }));
    QVERIFY(document.getHighlightList().getMarkedNodes().isEmpty());
    QCOMPARE(document.getCurrentNode().element, nullptr);

    top->setLocked(true);
    document.unselectElement(top);
    document.selectElement(top, Qt::green);
    QVERIFY(document.getSelection().isEmpty());
}

void tst_CSVGDocument::pathElement_data()
{
    QTest::addColumn<QPainterPath>("path");
    QTest::addColumn<QString>("data");
    QPainterPath square;
    square.addRect(0, 0, 10, 5.5);
    QTest::newRow("closed") << square << "M0.00 0.00 L10.00 0.00 L10.00 5.50 L0.00 5.50 L0.00 0.00 Z";
    QPainterPath curve(QPointF(1, 2));
    curve.cubicTo(3, 4, 5.126, 6, 7, -8.333);
    curve.moveTo(0, 0);
    curve.lineTo(1, 1);
    QTest::newRow("open") << curve << "M1.00 2.00 C3.00 4.00 5.13 6.00 7.00 -8.33 M0.00 0.00 L1.00 1.00";
    QTest::newRow("empty") << QPainterPath() << "Z";
}

// Numbers come out with "." under every locale.
void tst_CSVGDocument::pathElement()
{
    QFETCH(QPainterPath, path);
    QFETCH(QString, data);
    CSVGDocument document;
    std::unique_ptr<CSVGElementPath> element(document.createPathElement(path));
    QCOMPARE(element->getType(), std::uint16_t(72));
    QVERIFY(!element->isGeometryDirty());
    const QPointF offset = element->getPainterPath().boundingRect().bottomLeft() - path.boundingRect().bottomLeft();
    QVERIFY2(offset.manhattanLength() < 0.01, qPrintable(QStringLiteral("%1 %2").arg(offset.x()).arg(offset.y())));
    QCOMPARE(QString::fromStdWString(element->getAttribute(L"d")), data);
    QCOMPARE(element->getAttribute(L"stroke") + element->getAttribute(L"stroke-width")
            + element->getAttribute(L"stroke-opacity"),
        std::wstring(L"#00000011"));
}

// Build, copy and destroy a tree of more than 10,000 elements. The
// sanitizers report any leak or stale pointer; the ids tell where the copies
// went.
void tst_CSVGDocument::largeTree()
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElement* sample = nullptr;
    for (int g = 0; g < 100; ++g) {
        CSVGElement* group = appendNew(root, L"g");
        for (int i = 0; i < 100; ++i)
            sample = appendNew(group, L"rect");
    }
    const std::wstring sampleId = sample->getId();

    std::unique_ptr<CSVGElement> copy(root->clone(true));
    std::vector<CSVGElement*> copies;
    copy->collectDescendants(copies, true);
    QCOMPARE(copies.size(), size_t(10101));
    QVERIFY(std::all_of(copies.begin(), copies.end(), [](CSVGElement* e) { return e->getId().empty(); }));
    QCOMPARE(document.getElementById(sampleId), sample);
    copy.reset();

    copy.reset(root->cloneKeepId(true));
    QCOMPARE(document.getElementById(sampleId), copy->getChild(99)->getChild(99));
    copy.reset();
    QCOMPARE(document.getElementById(sampleId), nullptr);

    const std::wstring groupId = root->getChild(0)->getId();
    document.deleteChildren();
    QCOMPARE(document.getElementById(groupId), nullptr);
}

// A new document holds an empty root of the page; clearing keeps the id
// counter, and a cleared document hands out no id of before twice.
void tst_CSVGDocument::lifecycle()
{
    CSVGDocument document;
    CSVGElement* root = document.getOwnerSvg();
    QVERIFY(root);
    QCOMPARE(root->getAttribute(L"viewBox"), std::wstring(L"0 0 15000 1520"));
    QCOMPARE(document.getPageSize(), QSize(15000, 1520));
    QCOMPARE(document.getViewMatrix().toString(), CSVGMatrix(1, 0, 0, 1, 100, 100).toString());
    QCOMPARE(document.getPickTolerance(), 5.0);
    QCOMPARE(document.getCaretIndex(), -1);
    QCOMPARE(document.getViewSize(), QSize(800, 300));
    QVERIFY(document.isLoading() && document.isShowGrid() && document.isShowRuler() && document.isBackgroundChanged()
        && document.isOverlayChanged() && !document.isContentChanged() && !document.isModified());
    QCOMPARE(document.getDefaultFontSize() + document.getDefaultFill() + document.getDefaultFillOpacity(),
        std::wstring(L"24pt#FFFFFF1.0"));
    QVERIFY(document.getNestingJobId().isEmpty());

    const std::wstring id = appendNew(root, L"rect")->getId();
    document.getHistory().push(new CActionBase(&document, CActionBase::TypeAdd));
    const std::int64_t counter = document.getIdCounter();
    document.clearContents();
    QCOMPARE(document.getHistory().size(), size_t(0));
    QCOMPARE(document.getOwnerSvg(), nullptr);
    QCOMPARE(document.getElementById(id), nullptr);
    QCOMPARE(document.getIdCounter(), counter);
    QCOMPARE(document.getPageHeight(), 0.0);
    QVERIFY(document.isContentChanged());
    document.newDocument();
    QCOMPARE(document.getOwnerSvg()->getChildCount(), 0);
}

void tst_CSVGDocument::displayFlags()
{
    CSVGDocument document;
    document.setOverlayChanged(false);
    document.setCursorVisible(true);
    QVERIFY(!document.isOverlayChanged());
    document.setCursorVisible(false);
    QVERIFY(document.isOverlayChanged());
    document.setBackgroundChanged(false);
    document.setCanvasColor(Qt::red);
    QVERIFY(document.isBackgroundChanged());
    document.setCanvasColorEnabled(false);
    QCOMPARE(document.getCanvasColor(), QColor(Qt::white));
}

// A first shape thinner than 1e-5 both ways gives way to the next one
// instead of stretching the union to itself.
void tst_CSVGDocument::contentBounds()
{
    CSVGDocument document;
    CSVGElement* root = document.getOwnerSvg();
    QCOMPARE(document.getContentBoundingRect(), QRectF());
    appendShape(root, "circle", "cx=0|cy=0|r=0");
    appendShape(root, "rect", "x=10|y=20|width=5|height=5");
    CSVGElement* group = appendShape(root, "g", "transform=translate(100,0)");
    appendShape(group, "rect", "x=0|y=0|width=10|height=10");
    root->updateMatrix(nullptr, false);
    QCOMPARE(document.getContentBoundingRect(), QRectF(10, 0, 100, 25));
    QCOMPARE(document.buildElementPath(group).boundingRect(), QRectF(0, 0, 10, 10));
    std::vector<CSVGElement*> subtree;
    CSVGDocument::collectSubtree(group, subtree);
    QCOMPARE(subtree.size(), size_t(2));
    document.renumberDrawingOrder();
    QVERIFY(CSVGDocument::lessByDrawingOrder(root->getChild(0), group));
    QVERIFY(!CSVGDocument::lessByDrawingOrder(group, root->getChild(0)));
    QVERIFY(!CSVGDocument::lessByDrawingOrder(nullptr, group));
}

ZOCUT_TEST_MAIN(tst_CSVGDocument)
#include "tst_CSVGDocument.moc"
