#include "CSVGElementG.h"
#include "CSVGElementRect.h"
#include "CSVGElementSVG.h"
#include "TestElements.h"
#include "TestEnvironment.h"

namespace {

// Counts how often its box is measured, in one counter for all.
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

class tst_CSVGElementContainers : public QObject
{
    Q_OBJECT
private slots:
    void factory_data();
    void factory();
    void nestedGroupsMeasureOnce();
    void useBounds_data();
    void useBounds();
    void useCycles();
    void clipPath();
    void root_data();
    void root();
};

void tst_CSVGElementContainers::factory_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("flags");
    // shape, group, styleable, in the intersection check
    const struct
    {
        const char* tag;
        const char* className;
        const char* flags;
    } rows[] = { { "[CDATA[", "DataSection", "---c" }, { "comment_node", "Comment", "---c" },
        { "DOCTYPE", "Doctype", "---c" }, { "a", "A", "sgyc" }, { "circle", "Circle", "s-yc" },
        { "clipPath", "ClipPath", "--y-" }, { "defs", "Defs", "----" }, { "ellipse", "Ellipse", "s-yc" },
        { "g", "G", "sgyc" }, { "image", "Image", "s-yc" }, { "line", "Line", "s-yc" },
        { "linearGradient", "LinearGradient", "----" }, { "path", "Path", "s-yc" }, { "pattern", "Pattern", "--y-" },
        { "polygon", "Polygon", "s-yc" }, { "polyline", "Polyline", "s-yc" },
        { "radialGradient", "RadialGradient", "----" }, { "rect", "Rect", "s-yc" }, { "script", "Script", "---c" },
        { "stop", "Stop", "--yc" }, { "style", "Style", "---c" }, { "svg", "SVG", "s-yc" },
        { "switch", "Switch", "sgyc" }, { "symbol", "Symbol", "sgy-" }, { "text", "Text", "s-yc" },
        { "tspan", "Tspan", "s-y-" }, { "use", "Use", "s-yc" }, { "textcontent", "TextContent", "s-y-" } };
    for (const auto& row : rows)
        QTest::newRow(row.tag) << row.tag << QString("CSVGElement") + row.className << row.flags;
    QTest::newRow("unknown") << "marker"
                             << "CSVGElement"
                             << "---c";
}

// Copies are made by the same factory and keep the class, also where the
// class's tag is not in the element-name table.
void tst_CSVGElementContainers::factory()
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
    QCOMPARE(document.getElementById(element->getId()), element);
    QCOMPARE(element->getType() == 0, className == "CSVGElement");
    CSVGElement* copy = element->clone(false);
    QCOMPARE(copy->metaObject()->className(), className);
    QCOMPARE(copy->getTagName(), element->getTagName());
    delete copy;
    // The children of containers that stay out of the check stay out too.
    QCOMPARE(appendNew(element, L"rect")->getCheckFlag(), flags.endsWith('c'));
}

// Twenty groups deep, each level's box is measured once, and again only
// after something below it changed.
void tst_CSVGElementContainers::nestedGroupsMeasureOnce()
{
    CSVGDocument document;
    int measured = 0;
    CSVGElement* parent = &document;
    std::vector<CSVGElementShape*> groups;
    for (int i = 0; i < 20; ++i) {
        groups.push_back(appendElement(parent, new Counting<CSVGElementG>(&document, measured)));
        setAttributes(groups.back(), "transform=translate(1,0)");
        parent = groups.back();
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

void tst_CSVGElementContainers::useBounds_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QRectF>("canvas");
    QTest::newRow("offset") << "x=100|y=50"
                            << "rect" << QRectF(110, 70, 30, 40) << QRectF(110, 70, 30, 40);
    QTest::newRow("own transform") << "x=100|transform=scale(2)"
                                   << "rect" << QRectF(110, 20, 30, 40) << QRectF(220, 40, 60, 80);
    QTest::newRow("shown transformed") << "y=5"
                                       << "rect|transform=translate(1000,0)" << QRectF(1010, 25, 30, 40)
                                       << QRectF(1010, 25, 30, 40);
    QTest::newRow("group") << "x=1"
                           << "g" << QRectF(11, 20, 30, 40) << QRectF(11, 20, 30, 40);
    QTest::newRow("missing") << "x=7|y=8"
                             << "none" << QRectF(7, 8, 0, 0) << QRectF(7, 8, 0, 0);
    QTest::newRow("not a shape") << "x=7|y=8"
                                 << "defs" << QRectF(7, 8, 0, 0) << QRectF(7, 8, 0, 0);
    QTest::newRow("itself") << "x=7|y=8"
                            << "self" << QRectF(7, 8, 0, 0) << QRectF(7, 8, 0, 0);
}

// The use measures the shown element where it shows it; the shown element
// keeps its own place, matrix and style, however many uses show it.
void tst_CSVGElementContainers::useBounds()
{
    QFETCH(QString, use);
    QFETCH(QString, target);
    QFETCH(QRectF, box);
    QFETCH(QRectF, canvas);
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "transform=translate(500,500)|stroke-width=7");
    const QStringList parts = target.split('|');
    CSVGElement* shown
        = appendNew(group, parts[0] == "g" || parts[0] == "defs" ? parts[0].toStdWString().c_str() : L"rect");
    setAttributes(shown, parts.value(1));
    CSVGElement* rect = shown->getTagName() == L"rect" ? shown : appendNew(shown, L"rect");
    setAttributes(rect, "x=10|y=20|width=30|height=40");
    CSVGElementShape* first = appendShape(&document, "use", use + "|" + ref(shown));
    CSVGElementShape* second = appendShape(&document, "use", "x=-100|" + ref(shown));
    if (target == "none")
        setAttributes(first, "xlink:href=#nothing");
    if (target == "self")
        setAttributes(first, ref(first));
    document.updateMatrix(nullptr, false);
    auto* shownShape = dynamic_cast<CSVGElementShape*>(shown);
    const QRectF shownBefore = shownShape ? shownShape->getTransformedBoundingRect().toQRectF() : QRectF();

    QCOMPARE(first->getBoundingRect().toQRectF(), box);
    QCOMPARE(first->getTransformedBoundingRect().toQRectF(), canvas);
    second->getBoundingRect();
    if (shownShape) {
        QCOMPARE(shownShape->getTransformedBoundingRect().toQRectF(), shownBefore);
        QCOMPARE(shownShape->getStyleValue(L"stroke-width"), std::wstring(L"7"));
    }
    // The hit test of a frame: inside the box.
    std::wstring groupId;
    std::wstring id;
    const QPointF inside = canvas.center();
    QCOMPARE(first->hitTest(inside.x(), int(inside.y()), groupId, id), true);
    QCOMPARE(id, first->getId());
}

// A use inside what it shows, and uses that show each other, are measured
// without end nowhere; a long chain of uses is cut off.
void tst_CSVGElementContainers::useCycles()
{
    CSVGDocument document;
    CSVGElementShape* group = appendShape(&document, "g", "");
    appendShape(group, "rect", "width=10|height=10");
    CSVGElementShape* loop = appendShape(group, "use", "x=100");
    setAttributes(loop, ref(group));
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
    const QRectF end = previous->getBoundingRect().toQRectF();
    QVERIFY2(end.x() >= 1 && end.x() <= 1000, qPrintable(QString::number(end.x())));
}

// The outline of a clip path follows its children, each under its own
// transform, also a child added after it was first used.
void tst_CSVGElementContainers::clipPath()
{
    CSVGDocument document;
    CSVGElementShape* clip = appendShape(&document, "clipPath", "");
    appendShape(clip, "rect", "width=10|height=10|transform=translate(100,0)");
    QCOMPARE(clip->getPainterPath().boundingRect(), QRectF(100, 0, 10, 10));
    appendShape(clip, "circle", "cx=0|cy=0|r=5");
    QCOMPARE(clip->getPainterPath().boundingRect(), QRectF(-5, -5, 115, 15));
    std::wstring groupId;
    std::wstring id;
    QVERIFY(!clip->hitTest(0, 0, groupId, id));
}

void tst_CSVGElementContainers::root_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QRectF>("viewBox");
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("new") << "" << QRectF(0, 0, 15000, 1520) << QSizeF(15000, 1520);
    QTest::newRow("set") << "viewBox=-10 5 200.5 100|width=210mm|height=99" << QRectF(-10, 5, 200.5, 100)
                         << QSizeF(210, 99);
    // Only blanks separate the numbers.
    QTest::newRow("commas") << "viewBox=1,2,3,4" << QRectF(0, 0, 15000, 1520) << QSizeF(15000, 1520);
    QTest::newRow("three") << "viewBox=1 2 3" << QRectF(0, 0, 15000, 1520) << QSizeF(15000, 1520);
}

void tst_CSVGElementContainers::root()
{
    QFETCH(QString, attributes);
    QFETCH(QRectF, viewBox);
    QFETCH(QSizeF, size);
    CSVGDocument document;
    QVERIFY(!document.getOwnerSvg());
    document.newDocument();
    auto* root = dynamic_cast<CSVGElementSVG*>(document.getOwnerSvg());
    QVERIFY(root);
    QCOMPARE(root->getAttribute(L"viewBox"), std::wstring(L"0 0 15000 1520"));
    QCOMPARE(root->getAttribute(L"width"), std::wstring(L"15000mm"));
    setAttributes(root, attributes);
    QCOMPARE(root->getViewBox().toQRectF(), viewBox);
    QCOMPARE(QSizeF(root->getWidth(), root->getHeight()), size);
    QCOMPARE(root->getSecondMatrix().toString(), CSVGMatrix().toString());
    // The start tag follows every change.
    root->setAttribute(L"height", L"77", true);
    QVERIFY(root->buildStartTag().find(L"height=\"77\"") != std::wstring::npos);
    std::wstring groupId;
    std::wstring id;
    appendShape(root, "rect", "width=10|height=10");
    QVERIFY(!root->hitTest(5, 5, groupId, id));
    QVERIFY(!root->intersectsRect(CSVGRect(-1, -1, 100, 100)));
}

ZOCUT_TEST_MAIN(tst_CSVGElementContainers)
#include "tst_CSVGElementContainers.moc"
