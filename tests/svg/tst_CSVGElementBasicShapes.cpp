#include "CSVGElementG.h"
#include "CSVGElementRect.h"
#include "CSVGElementSVG.h"
#include "TestElements.h"
#include "TestEnvironment.h"

// Bounds with transforms are also compared with an outside renderer, in
// tst_CSVGElementBoundsReference.
namespace {

CSVGElementShape* makeShape(CSVGDocument& document, const QString& tag, const QString& attributes)
{
    CSVGElementShape* shape = appendShape(&document, tag, attributes);
    document.updateMatrix(nullptr, false);
    return shape;
}

// Counts how often boxes are measured, in one counter for all.
template <typename Element> class Counting : public Element
{
public:
    Counting(CSVGDocument* document, int& count)
        : Element(document)
        , m_count(count)
    {
    }
    void computeBounds() override
    {
        ++m_count;
        Element::computeBounds();
    }

private:
    int& m_count;
};

QString ref(const CSVGElement* element)
{
    return "xlink:href=#" + QString::fromStdWString(element->getId());
}

} // namespace

class tst_CSVGElementBasicShapes : public QObject
{
    Q_OBJECT
private slots:
    void factory_data();
    void factory();
    void attributesAndBounds_data();
    void attributesAndBounds();
    void hitTolerance_data();
    void hitTolerance();
    void polygonRingKeepsItsCorners();
    void nestedGroupsMeasureOnce();
    void useBounds_data();
    void useBounds();
    void useCycles();
    void clipPathFollowsItsChildren();
    void root();
};

void tst_CSVGElementBasicShapes::factory_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("flags");
    // Tag, class, then shape, group, styleable, in the intersection check.
    const char* const rows[] = { "[CDATA[ DataSection ---c", "comment_node Comment ---c", "DOCTYPE Doctype ---c",
        "a A sgyc", "circle Circle s-yc", "clipPath ClipPath --y-", "defs Defs ----", "ellipse Ellipse s-yc",
        "g G sgyc", "image Image s-yc", "line Line s-yc", "linearGradient LinearGradient ----", "path Path s-yc",
        "pattern Pattern --y-", "polygon Polygon s-yc", "polyline Polyline s-yc", "radialGradient RadialGradient ----",
        "rect Rect s-yc", "script Script ---c", "stop Stop --yc", "style Style ---c", "svg SVG s-yc",
        "switch Switch sgyc", "symbol Symbol sgy-", "text Text s-yc", "tspan Tspan s-y-", "use Use s-yc",
        "textcontent TextContent s-y-", "marker  ---c" };
    for (const char* row : rows) {
        const QStringList parts = QString(row).split(' ');
        QTest::newRow(row) << parts[0] << "CSVGElement" + parts[1] << parts[2];
    }
}

// Copies come from the same factory and keep the class, also where the
// class's tag is not in the element-name table.
void tst_CSVGElementBasicShapes::factory()
{
    QFETCH(QString, tag);
    QFETCH(QString, className);
    QFETCH(QString, flags);
    CSVGDocument document;
    CSVGElement* element = appendNew(&document, tag.toStdWString().c_str());
    const QString actual = QString(element->isShape() ? "s" : "-") + (element->isGroup() ? "g" : "-")
        + (element->isStyleable() ? "y" : "-") + (element->getCheckFlag() ? "c" : "-");
    QCOMPARE(element->metaObject()->className(), className);
    QCOMPARE(actual, flags);
    QCOMPARE(element->getType() == 0, className == "CSVGElement");
    std::unique_ptr<CSVGElement> copy(element->clone(false));
    QCOMPARE(copy->metaObject()->className(), className);
    QCOMPARE(copy->getTagName(), element->getTagName());
    // The children of containers that stay out of the check stay out too.
    QCOMPARE(appendNew(element, L"rect")->getCheckFlag(), flags.endsWith('c'));
}

void tst_CSVGElementBasicShapes::attributesAndBounds_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QRectF>("canvas");
    QTest::addColumn<QString>("written");
    const auto row = [](const char* tag, const char* attributes, QRectF box, QRectF canvas, const char* written) {
        QTest::newRow(tag) << QString(tag) << QString(attributes) << box << canvas << QString(written);
    };
    // The box keeps a negative size; the outline is where the shape is.
    row("rect", "x=10|width=-30|height=5.5|transform=scale(2)", QRectF(10, 0, -30, 5.5), QRectF(-40, 0, 60, 11),
        "<rect x=\"10\" width=\"-30\" height=\"5.5\" transform=\"scale(2)\"/>");
    row("circle", "cx=50|cy=40|r=-10|fill=red", QRectF(60, 50, -20, -20), QRectF(40, 30, 20, 20),
        "<circle fill=\"red\" cx=\"50\" cy=\"40\" r=\"-10\"/>");
    row("ellipse", "cx=5|rx=-20|ry=10", QRectF(25, -10, -40, 20), QRectF(-15, -10, 40, 20),
        "<ellipse rx=\"-20\" ry=\"10\" cx=\"5\"/>");
    row("line", "x1=30|y1=10|x2=0|y2=20", QRectF(0, 10, 30, 10), QRectF(0, 10, 30, 10),
        "<line x1=\"30\" x2=\"0\" y1=\"10\" y2=\"20\"/>");
}

// Attributes in, SVG text out as they came; copies read their fields from
// the copied attributes.
void tst_CSVGElementBasicShapes::attributesAndBounds()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QRectF, box);
    QFETCH(QRectF, canvas);
    QFETCH(QString, written);
    CSVGDocument document;
    CSVGElementShape* shape = makeShape(document, tag, attributes);
    QCOMPARE(shape->getBoundingRect().toQRectF(), box);
    QCOMPARE(shape->getTransformedBoundingRect().toQRectF(), canvas);
    shape->removeAttribute(L"id");
    std::wstring out;
    shape->writeSvg(out, 0, CSVGRect());
    QCOMPARE(QString::fromStdWString(out), written + '\n');
    auto* copy = static_cast<CSVGElementShape*>(shape->clone(true));
    document.appendChild(copy, true, false);
    QCOMPARE(copy->getBoundingRect().toQRectF(), box);
}

void tst_CSVGElementBasicShapes::hitTolerance_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("hit");
    const auto row = [](const char* name, const char* tag, const char* attributes, QPointF at, bool hit) {
        QTest::newRow(name) << QString(tag) << QString(attributes) << at << hit;
    };
    const char* const rect = "x=10|y=10|width=20|height=20|stroke-width=2";
    const char* const circle = "cx=50|cy=50|r=10|stroke-width=3";
    const char* const line = "x2=100|stroke-width=3";
    row("rect, inside the stroke", "rect", rect, { 8.5, 15 }, true);
    row("rect, beyond the stroke", "rect", rect, { 7.5, 15 }, false);
    row("rect, negative size", "rect", "x=30|y=30|width=-20|height=-20", { 20, 20 }, true);
    row("rect, transformed", "rect", "width=10|height=10|transform=translate(100,0)", { 5, 5 }, false);
    row("circle, stroke", "circle", circle, { 62.9, 50 }, true);
    row("circle, beyond", "circle", circle, { 63.1, 50 }, false);
    row("circle r=0, beside", "circle", "cx=50|cy=50|r=0", { 50.01, 50 }, false);
    row("ellipse, x", "ellipse", "rx=20|ry=10|stroke-width=1", { 20.9, 0 }, true);
    row("line, within", "line", line, { 50, 4 }, true);
    row("line, beside", "line", line, { 50, 6 }, false);
    row("line, beyond its end", "line", line, { 104, 0 }, false);
    row("polygon, no stroke", "polygon", "points=0 0 40 0 0 40|stroke-width=10", { -3, 5 }, false);
}

void tst_CSVGElementBasicShapes::hitTolerance()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QPointF, at);
    QFETCH(bool, hit);
    CSVGDocument document;
    CSVGElementShape* shape = makeShape(document, tag, attributes);
    std::wstring groupId = L"kept";
    std::wstring id;
    QCOMPARE(shape->hitTest(at.x(), int(at.y()), groupId, id), hit);
    QCOMPARE(id, hit ? shape->getId() : std::wstring());
    QCOMPARE(groupId, std::wstring(L"kept"));
}

// The ring starts at its leftmost point and ends where it starts; a ring
// written without its closing point loses no corner to that.
void tst_CSVGElementBasicShapes::polygonRingKeepsItsCorners()
{
    for (const char* points : { "10 0 20 10 0 10", "10 0 20 10 0 10 10 0" }) {
        CSVGDocument document;
        CSVGElementShape* polygon = makeShape(document, "polygon", QStringLiteral("points=") + points);
        polygon->commitGeometry();
        QCOMPARE(polygon->getAttribute(L"points"), std::wstring(L"0 10 10 0 20 10 0 10"));
        QCOMPARE(polygon->getBoundingRect().toQRectF(), QRectF(0, 0, 20, 10));
    }
}

// Twenty groups deep, each box is measured once, and again only after
// something below it changed, moved or came.
void tst_CSVGElementBasicShapes::nestedGroupsMeasureOnce()
{
    CSVGDocument document;
    int measured = 0;
    CSVGElement* parent = &document;
    std::vector<CSVGElementShape*> groups;
    for (int i = 0; i < 20; ++i) {
        parent = appendElement(parent, new Counting<CSVGElementG>(&document, measured));
        setAttributes(parent, "transform=translate(1,0)");
        groups.push_back(static_cast<CSVGElementShape*>(parent));
    }
    CSVGElementShape* leaf = appendElement(parent, new Counting<CSVGElementRect>(&document, measured));
    setAttributes(leaf, "width=10|height=5");
    document.updateMatrix(nullptr, false);
    CSVGElementShape* top = groups.front();
    QCOMPARE(top->getBoundingRect().toQRectF(), QRectF(19, 0, 10, 5));
    QCOMPARE(top->getTransformedBoundingRect().toQRectF(), QRectF(20, 0, 10, 5));
    QCOMPARE(measured, 21);

    leaf->setAttribute(L"width", L"20", true);
    QCOMPARE(top->getBoundingRect().toQRectF(), QRectF(19, 0, 20, 5));
    QCOMPARE(measured, 42);
    groups[10]->setAttribute(L"transform", L"translate(101,0)", false);
    top->updateMatrix(nullptr, false);
    QCOMPARE(top->getBoundingRect().toQRectF(), QRectF(119, 0, 20, 5));
    appendShape(groups[5], "rect", "x=-50|width=1|height=1");
    top->updateMatrix(nullptr, false);
    QCOMPARE(top->getBoundingRect().toQRectF(), QRectF(-45, 0, 184, 5));
}

void tst_CSVGElementBasicShapes::useBounds_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QRectF>("canvas");
    const auto row = [](const char* name, const char* use, const char* shown, QRectF canvas) {
        QTest::newRow(name) << QString(use) << QString(shown) << canvas;
    };
    row("offset", "x=100|y=50", "rect", QRectF(110, 70, 30, 40));
    row("own transform", "x=100|transform=scale(2)", "rect", QRectF(220, 40, 60, 80));
    row("shown transformed", "y=5", "rect|transform=translate(1000,0)", QRectF(1010, 25, 30, 40));
    row("group", "x=1", "g", QRectF(11, 20, 30, 40));
    row("missing", "x=7|y=8|xlink:href=#nothing", "rect", QRectF(7, 8, 0, 0));
    row("not a shape", "x=7|y=8", "defs", QRectF(7, 8, 0, 0));
    row("itself", "x=7|y=8|xlink:href=#me", "rect", QRectF(7, 8, 0, 0));
}

// A use measures the shown element where it shows it; the shown element
// keeps its place and its style, however many uses show it.
void tst_CSVGElementBasicShapes::useBounds()
{
    QFETCH(QString, use);
    QFETCH(QString, shown);
    QFETCH(QRectF, canvas);
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "transform=translate(500,500)|stroke-width=7");
    const QStringList parts = shown.split('|');
    CSVGElement* element = appendNew(group, parts[0].toStdWString().c_str());
    setAttributes(element, parts.value(1));
    setAttributes(parts[0] == "rect" ? element : appendNew(element, L"rect"), "x=10|y=20|width=30|height=40");
    CSVGElementShape* first = appendShape(&document, "use", ref(element) + "|id=me|" + use);
    appendShape(&document, "use", "x=-100|" + ref(element))->getBoundingRect();
    document.updateMatrix(nullptr, false);
    auto* shownShape = CSVGElementShape::asShape(element);
    const QRectF before = shownShape ? shownShape->getTransformedBoundingRect().toQRectF() : QRectF();

    QCOMPARE(first->getTransformedBoundingRect().toQRectF(), canvas);
    if (shownShape) {
        QCOMPARE(shownShape->getTransformedBoundingRect().toQRectF(), before);
        QCOMPARE(shownShape->getStyleValue(L"stroke-width"), std::wstring(L"7"));
    }
    std::wstring groupId;
    std::wstring id;
    QVERIFY(first->hitTest(canvas.center().x(), int(canvas.center().y()), groupId, id));
    QCOMPARE(id, first->getId());
}

// A use inside what it shows, and uses that show each other, are measured
// without end nowhere; a long chain of uses is cut off.
void tst_CSVGElementBasicShapes::useCycles()
{
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    appendShape(group, "rect", "width=10|height=10");
    CSVGElementShape* loop = appendShape(group, "use", "x=100|" + ref(group));
    QVERIFY(group->getBoundingRect().toQRectF().contains(QRectF(0, 0, 10, 10)));
    QCOMPARE(loop->getBoundingRect().x, 100.0);

    CSVGElementShape* first = appendShape(&document, "g", "");
    CSVGElementShape* second = appendShape(&document, "g", "");
    CSVGElementShape* one = appendShape(first, "use", ref(second));
    appendShape(second, "use", ref(first));
    QCOMPARE(one->getBoundingRect().toQRectF(), QRectF());

    CSVGElementShape* previous = appendShape(&document, "rect", "width=1|height=1");
    for (int i = 0; i < 1000; ++i)
        previous = appendShape(&document, "use", "x=1|" + ref(previous));
    const double end = previous->getBoundingRect().x;
    QVERIFY2(end >= 1 && end <= 1000, qPrintable(QString::number(end)));
}

// Each child under its own transform, also one added after the first use.
void tst_CSVGElementBasicShapes::clipPathFollowsItsChildren()
{
    CSVGDocument document;
    CSVGElementShape* clip = appendShape(&document, "clipPath", "");
    appendShape(clip, "rect", "width=10|height=10|transform=translate(100,0)");
    QCOMPARE(clip->getPainterPath().boundingRect(), QRectF(100, 0, 10, 10));
    appendShape(clip, "circle", "r=5");
    QCOMPARE(clip->getPainterPath().boundingRect(), QRectF(-5, -5, 115, 15));
}

// The page size in "mm" (the unit is not read); a viewBox only of four
// numbers separated by blanks. Never hit, never in a rubber band.
void tst_CSVGElementBasicShapes::root()
{
    CSVGDocument document;
    document.newDocument();
    auto* root = dynamic_cast<CSVGElementSVG*>(document.getOwnerSvg());
    QCOMPARE(root->buildStartTag(),
        std::wstring(L"<svg width=\"15000mm\" height=\"1520mm\" id=\"") + root->getId()
            + L"\" viewBox=\"0 0 15000 1520\"");
    setAttributes(root, "viewBox=-10 5 200.5 100|width=210mm|x=1");
    QCOMPARE(root->getWidth(), 210.0);
    root->setAttribute(L"viewBox", L"1,2,3,4", true);
    QCOMPARE(root->getViewBox().toQRectF(), QRectF(-10, 5, 200.5, 100));
    std::wstring groupId;
    std::wstring id;
    appendShape(root, "rect", "width=10|height=10");
    QVERIFY(!root->hitTest(5, 5, groupId, id) && !root->intersectsRect(CSVGRect(-1, -1, 100, 100)));
}

ZOCUT_TEST_MAIN(tst_CSVGElementBasicShapes)
#include "tst_CSVGElementBasicShapes.moc"
