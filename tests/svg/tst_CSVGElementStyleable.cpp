#include "CGlobalConfig.h"
#include "CSVGStyleRule.h"
#include "TestElements.h"
#include "TestEnvironment.h"

namespace {

void row(const char* name, const char* group, const char* child, const char* property, const char* expected)
{
    QTest::newRow(name) << QString(group) << QString(child) << QString(property) << QString(expected);
}

CSVGElementStyleable* appendShape(CSVGElement* parent, const wchar_t* tag)
{
    return dynamic_cast<CSVGElementStyleable*>(appendNew(parent, tag));
}

QString value(CSVGElementStyleable* element, const QString& name)
{
    return QString::fromStdWString(element->getStyleValue(name.toStdWString()));
}

QString specified(CSVGElementStyleable* element, const wchar_t* name)
{
    const auto& map = element->getSpecifiedStyle();
    const auto found = map.find(g_config.findAttributeId(name));
    return found == map.end() ? QString() : QString::fromStdWString(found->second);
}

// A root svg with a style sheet, holding a group with one child.
struct Drawing
{
    explicit Drawing(const QString& sheet = QString())
    {
        CSVGElement* style = appendNew(root, L"style");
        style->setText(sheet.toStdWString(), false);
        style->parseContent();
    }
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElementStyleable* group = appendShape(root, L"g");
    CSVGElementStyleable* child = appendShape(group, L"path");
};

} // namespace

class tst_CSVGElementStyleable : public QObject
{
    Q_OBJECT
private slots:
    void precedence_data();
    void precedence();
    void changeRewritesStyleDeclaration();
    void notifiedChangesReachDescendants();
    void equalStylesChangeAlone();
    void changedRuleReachesEveryPiece();
    void flattenStyles();
};

// The property is the child's, or the group's with "g:" in front.
void tst_CSVGElementStyleable::precedence_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("child");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");
    row("default fill", "", "", "fill", "#000000");
    row("default fill-opacity", "", "", "fill-opacity", "1");
    row("no default stroke", "", "", "stroke", "");
    row("fill none on a leaf", "", "fill=none|fill-opacity=0.7", "fill-opacity", "0");
    row("fill none on a group", "fill=none|fill-opacity=0.7", "", "g:fill-opacity", "0.7");
    row("opacity caps fill-opacity", "", "fill-opacity=1|opacity=0.5", "fill-opacity", "0.5");
    row("lower fill-opacity stays", "", "fill-opacity=0.2|opacity=0.5", "fill-opacity", "0.2");
    row("opacity caps stroke", "", "stroke=red|opacity=0.3", "stroke-opacity", "0.3");
    row("thin stroke fainter", "", "stroke=red|stroke-width=0.5", "stroke-opacity", "0.500000");
    row("unit stroke", "", "stroke=red|stroke-width=1", "stroke-opacity", "1");
    row("hairline stroke", "", "stroke=red|stroke-width=0.001", "stroke-opacity", "1");
    row("stroke none", "", "stroke=none", "stroke-opacity", "");
    row("own fill over inherited", "fill=red", "fill=blue", "fill", "blue");
    row("inherited fill", "fill=red", "", "fill", "red");
    row("display none wins", "display=none", "display=inline", "display", "none");
    row("own display none", "display=inline", "display=none", "display", "none");
    row("hidden wins", "visibility=hidden", "visibility=visible", "visibility", "hidden");
    row("style over attribute", "", "fill=blue|style=fill:red", "fill", "red");
    row("class over style", "", "fill=blue|style=fill:red|class=g", "fill", "green");
    row("group class inherited", "class=g", "", "fill", "green");
    row("later class wins", "", "class=a b;c", "fill", "blue");
    row("earlier class fills gaps", "", "class=a b;c", "stroke", "red");
    row("unknown class", "", "class=zz", "fill", "#000000");
    row("blank before colon", "", "style=fill :red", "fill", "#000000");
    row("piece without colon", "", "style=junk;fill:red", "fill", "red");
    row("stray semicolons", "", "style= ;;fill:red;;", "fill", "red");
    row("stop colour in style", "", "style=stop-color:#00FF00", "stop-color", "#00FF00");
}

void tst_CSVGElementStyleable::precedence()
{
    QFETCH(QString, group);
    QFETCH(QString, child);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    Drawing drawing(QStringLiteral(".g{fill:green}.a{fill:red;stroke:red}.b{fill:green}.c{fill:blue}"));
    setAttributes(drawing.group, group);
    setAttributes(drawing.child, child);
    if (property.startsWith(QLatin1String("g:")))
        QCOMPARE(value(drawing.group, property.mid(2)), expected);
    else
        QCOMPARE(value(drawing.child, property), expected);
}

// The new value replaces the declaration; the declarations come back in
// attribute-id order, stroke (16) before stroke-width (23).
void tst_CSVGElementStyleable::changeRewritesStyleDeclaration()
{
    Drawing drawing;
    CSVGElementStyleable* child = drawing.child;
    setAttributes(child, QStringLiteral("style=stroke-width:1;stroke:#FF0000"));
    child->setAttribute(L"stroke-width", L"2", true);
    QCOMPARE(child->CSVGElement::getAttribute(L"style"), std::wstring(L"stroke:#FF0000;stroke-width:2;"));
    QVERIFY(child->CSVGElement::getAttribute(L"stroke-width").empty());
    QCOMPARE(value(child, QStringLiteral("stroke-width")), QStringLiteral("2"));
    // A property the declarations do not name is an attribute of its own.
    child->setAttribute(L"fill", L"blue", true);
    QCOMPARE(child->CSVGElement::getAttribute(L"fill"), std::wstring(L"blue"));
    // Declarations named "style" or "class" replace nothing.
    setAttributes(child, QStringLiteral("style=style:a;class:b;stroke-width:1"));
    child->getEffectiveStyle();
    child->setAttribute(L"stroke-width", L"3", true);
    QCOMPARE(child->CSVGElement::getAttribute(L"style"), std::wstring(L"stroke-width:3;"));
}

void tst_CSVGElementStyleable::notifiedChangesReachDescendants()
{
    Drawing drawing;
    CSVGElementStyleable* leaf = appendShape(drawing.child, L"path");
    setAttributes(drawing.group, QStringLiteral("fill=red"));
    QCOMPARE(value(leaf, QStringLiteral("fill")), QStringLiteral("red"));

    drawing.group->setAttribute(L"fill", L"blue", true);
    QVERIFY(leaf->isStyleDirty());
    QCOMPARE(value(leaf, QStringLiteral("fill")), QStringLiteral("blue"));
    QVERIFY(!drawing.child->isStyleDirty());

    // Without notify (as while loading) the computed style is kept.
    drawing.group->setAttribute(L"fill", L"green", false);
    QCOMPARE(value(leaf, QStringLiteral("fill")), QStringLiteral("blue"));
}

// Pieces of one class may share their style maps; a change to one of them
// (its own value, a "style" rewrite, a flattened class) leaves the others as
// they were.
void tst_CSVGElementStyleable::equalStylesChangeAlone()
{
    Drawing drawing(QStringLiteral(".k{fill:green}"));
    CSVGElementStyleable* twin = appendShape(drawing.group, L"path");
    for (CSVGElementStyleable* piece : { drawing.child, twin })
        setAttributes(piece, QStringLiteral("class=k|style=stroke:red"));
    QCOMPARE(value(drawing.child, QStringLiteral("fill")) + value(twin, QStringLiteral("fill")),
        QStringLiteral("greengreen"));
    drawing.child->setAttribute(L"fill-opacity", L"0.5", true);
    drawing.child->setAttribute(L"stroke", L"black", true);
    twin->flattenStyles();
    const QStringList seen { value(drawing.child, QStringLiteral("fill-opacity")),
        value(twin, QStringLiteral("fill-opacity")), value(drawing.child, QStringLiteral("stroke")),
        value(twin, QStringLiteral("stroke")), specified(drawing.child, L"class"), specified(twin, L"class") };
    QCOMPARE(seen.join(QLatin1Char(' ')), QStringLiteral("0.5 1 black red k "));
}

// Pieces of one class that start alike take the rule's result made for the
// first; once the rule says something else, a piece styled later and the
// pieces styled again follow it.
void tst_CSVGElementStyleable::changedRuleReachesEveryPiece()
{
    Drawing drawing(QStringLiteral(".k{fill:green}"));
    CSVGElementStyleable* twin = appendShape(drawing.group, L"path");
    CSVGElementStyleable* late = appendShape(drawing.group, L"path");
    for (CSVGElementStyleable* piece : { drawing.child, twin, late })
        setAttributes(piece, QStringLiteral("class=k"));
    const auto fill = [](CSVGElementStyleable* piece) {
        piece->setStyleDirty(true);
        return value(piece, QStringLiteral("fill"));
    };
    QCOMPARE(fill(drawing.child), QStringLiteral("green"));
    QCOMPARE(fill(twin), QStringLiteral("green"));
    drawing.document.findStyleRule(L"k")->setText(L"fill:blue");
    QCOMPARE(fill(late), QStringLiteral("blue"));
    QCOMPARE(fill(drawing.child), QStringLiteral("blue"));
}

// "style" wins over the element's values; the class rule, named by the whole
// "class" text, only fills gaps. The attributes stay as they are.
void tst_CSVGElementStyleable::flattenStyles()
{
    Drawing drawing(QStringLiteral(".k{fill:green;stroke:black}.a{stroke:red}"));
    setAttributes(drawing.group, QStringLiteral("fill=blue|style=fill:red|class=k"));
    setAttributes(drawing.child, QStringLiteral("class=a b"));
    drawing.group->flattenStyles();

    QCOMPARE(specified(drawing.group, L"fill"), QStringLiteral("red"));
    QCOMPARE(specified(drawing.group, L"stroke"), QStringLiteral("black"));
    QCOMPARE(specified(drawing.group, L"class"), QString());
    QCOMPARE(drawing.group->CSVGElement::getAttribute(L"class"), std::wstring(L"k"));
    QCOMPARE(specified(drawing.child, L"stroke"), QString());
    QCOMPARE(value(drawing.child, QStringLiteral("stroke")), QStringLiteral("black"));
}

ZOCUT_TEST_MAIN(tst_CSVGElementStyleable)
#include "tst_CSVGElementStyleable.moc"
