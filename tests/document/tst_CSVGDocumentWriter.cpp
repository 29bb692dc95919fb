#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QJsonObject>
#include <QRandomGenerator>
#include <QXmlStreamReader>

namespace {

QString text(const std::wstring& text)
{
    return QString::fromStdWString(text);
}

// The root's namespace declarations, sorted.
QString declarations(CSVGElement* root)
{
    QStringList names;
    for (const std::wstring& name : root->getAttributeNames()) {
        if (name.rfind(L"xmlns", 0) == 0 && !root->getAttribute(name).empty())
            names << text(name) + "=" + text(root->getAttribute(name));
    }
    return names.join(' ');
}

// Whether an XML reader takes the whole text.
bool isWellFormed(const QString& svg)
{
    QXmlStreamReader reader(svg);
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

CSVGElement* addStyle(CSVGElement* parent, const QString& sheet)
{
    CSVGElement* style = appendNew(parent, L"style");
    appendNew(style, L"[CDATA[")->setText(sheet.toStdWString(), false);
    style->parseContent();
    return style;
}

} // namespace

class tst_CSVGDocumentWriter : public QObject
{
    Q_OBJECT
private slots:
    void namespaces_data();
    void namespaces();
    void wholeDrawing();
    void markupStaysXml_data();
    void markupStaysXml();
    void learntNamesInNameOrder();
    void sheetsFollowRenamedRules();
    void positionIsAStrictWeakOrdering();
    void page_data();
    void page();
    void clipboard();
    void save();
};

void tst_CSVGDocumentWriter::namespaces_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("declared");
    const auto with = [](const QString& declaration) {
        return "xmlns=http://www.w3.org/2000/svg " + declaration + "xmlns:xlink=http://www.w3.org/1999/xlink";
    };
    QTest::newRow("no prefixes") << "fill=red"
                                 << "path" << with("");
    QTest::newRow("xml is never declared") << "xml:space=preserve"
                                           << "text" << with("");
    QTest::newRow("known prefix") << "inkscape:label=a"
                                  << "path" << with("xmlns:inkscape=http://www.inkscape.org/namespaces/inkscape ");
    QTest::newRow("prefixed tag") << ""
                                  << "sodipodi:namedview"
                                  << with("xmlns:sodipodi=http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd ");
    QTest::newRow("unknown prefix") << "foo:bar=1"
                                    << "path" << with("xmlns:foo=http://www.zocut.local/ns/other/foo ");
}

void tst_CSVGDocumentWriter::namespaces()
{
    QFETCH(QString, attributes);
    QFETCH(QString, tag);
    QFETCH(QString, declared);
    TestDrawing drawing;
    appendShape<CSVGElement>(drawing.root, tag, attributes);
    drawing.document.updateRootNamespaces();
    QCOMPARE(declarations(drawing.root), declared);
    QCOMPARE(drawing.root->getAttribute(L"version"), std::wstring(L"1.1"));
}

// Attribute names that the program learns from files come out in name
// order, whatever order this run met them in before: a saved file opened in
// another run saves to the same text.
void tst_CSVGDocumentWriter::learntNamesInNameOrder()
{
    CSVGDocument earlier;
    earlier.parseSvgText(L"<svg><g zz-order-b=\"1\"/><g zz-order-a=\"1\"/></svg>", false, false);
    CSVGDocument document;
    document.parseSvgText(L"<svg><g id=\"g\" zz-order-a=\"1\" zz-order-b=\"2\"/></svg>", false, false);
    QVERIFY(text(document.toSvgText()).contains(R"(<g id="g" zz-order-a="1" zz-order-b="2"/>)"));
}

// Comments, CDATA and the doctype as read; paint servers only when used by
// what is written; an unknown prefix declared by the file keeps its name; id
// tracking back on.
void tst_CSVGDocumentWriter::wholeDrawing()
{
    CSVGDocument rootless;
    rootless.clearContents();
    QCOMPARE(text(rootless.toSvgText()), text(CSVGDocument::xmlDeclaration()));
    QVERIFY(rootless.isIdTracking());

    TestDrawing drawing;
    setAttributes(drawing.root, "xmlns:foo=urn:kept");
    drawing.document.setCustomPositions(QJsonArray { QJsonObject { { "id", 10000 } } });
    appendNew(drawing.root, L"comment_node")->setText(L"<!-- a & b <c> -->", false);
    addStyle(drawing.root, "<![CDATA[ .k{fill:red} a > b {} ]]>");
    CSVGElement* definitions = appendNew(drawing.root, L"defs");
    appendShape<CSVGElement>(definitions, "linearGradient", "id=stroked");
    appendShape<CSVGElement>(definitions, "linearGradient", "id=unused|xlink:href=#lent");
    appendShape<CSVGElement>(definitions, "linearGradient", "id=lent");
    // A server that is left out lends nothing to what its content paints.
    appendShape<CSVGElement>(
        appendShape<CSVGElement>(definitions, "pattern", "id=unshown"), "rect", "fill=url(#inner)");
    appendShape<CSVGElement>(definitions, "linearGradient", "id=inner");
    drawing.addPath(squareData(0, 0, 5) + "|stroke=url( '#stroked' )|foo:x=1");
    const QString svg = text(drawing.document.toSvgText());

    QVERIFY(svg.startsWith(R"(<?xml version="1.0" encoding="utf-8" standalone="no"?><svg )"));
    QVERIFY(svg.contains("<!-- a & b <c> -->"));
    QVERIFY(svg.contains("><![CDATA[ .k{fill:red} a > b {} ]]> </style>"));
    QVERIFY(svg.contains(R"(id="stroked")"));
    QVERIFY(!svg.contains(R"(id="unused")") && !svg.contains(R"(id="lent")"));
    QVERIFY(!svg.contains(R"(id="unshown")") && !svg.contains(R"(id="inner")"));
    QVERIFY(svg.contains(R"(xmlns:foo="urn:kept")"));
    QVERIFY(svg.contains("custom_positions=\"cWJqcw"));
    QVERIFY2(isWellFormed(svg), qPrintable(svg));
    QVERIFY(drawing.document.isIdTracking());
}

// Each row: a file and texts that its copy holds. What stands around the
// root is kept; markup that XML does not allow where it stands is kept as a
// comment; the entities are declared again, without anything external.
void tst_CSVGDocumentWriter::markupStaysXml_data()
{
    QTest::addColumn<QString>("svg");
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("around the root")
        << "<?xml version=\"1.0\"?><!-- before --><?xml-stylesheet href=\"s.css\"?><svg/><!-- after -->"
        << QStringList { "?>\n<!-- before -->\n<?xml-stylesheet href=\"s.css\"?>\n<svg ", "/>\n<!-- after -->\n" };
    QTest::newRow("a declaration inside the drawing")
        << "<svg><?xml version=\"1.0\"?><?my-pi a?></svg>" << QStringList { "<!--?xml version=\"1.0\"?--><?my-pi a?>" };
    QTest::newRow("hyphens in a comment") << "<svg><!-- a -- b ---></svg>" << QStringList { "<!-- a - - b - -->" };
    QTest::newRow("declarations inside the drawing")
        << "<svg><!ELEMENT g ANY><!DOCTYPE svg></svg>" << QStringList { "<!--!ELEMENT g ANY--><!--!DOCTYPE svg-->" };
    QTest::newRow("prefixes without a known namespace")
        << "<svg><g foo:x=\"1\" bar:x=\"2\"/></svg>" << QStringList { "bar:x=\"2\" foo:x=\"1\"" };
    QTest::newRow("prefixes the root declares otherwise")
        << "<svg xmlns:svg=\"urn:x\" xmlns:inkscape=\"urn:y\" xmlns:i=\"http://www.inkscape.org/namespaces/inkscape\">"
           "<svg:rect/><g inkscape:label=\"a\" i:label=\"b\"/></svg>"
        << QStringList { "<rect ", "i:label=\"b\"" };
    QTest::newRow("an undeclared svg prefix")
        << "<svg:svg><svg:rect width=\"5\"/></svg:svg>" << QStringList { "<rect width=\"5\"" };
    QTest::newRow("a carriage return after a child")
        << "<svg><desc>a<g/>b&#13;c</desc></svg>" << QStringList { "<![CDATA[b\nc]]>" };
    QTest::newRow("entities declared again")
        << "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"svg11.dtd\" [<!ENTITY a \"&#38;&#37;&#34;<b/>\">"
           "<!ENTITY e SYSTEM \"file:///etc/hostname\">]><svg><g a=\"&a;\"/></svg>"
        << QStringList { "?>\n<!DOCTYPE svg [\n<!ENTITY a \"&#38;&#37;&#34;<b/>\">\n]>\n<svg ",
               "a=\"&amp;%&quot;&lt;b/&gt;\"" };
    QTest::newRow("two document type declarations")
        << "<!DOCTYPE svg [<!ENTITY a \"1\">]><!DOCTYPE svg [<!ENTITY a \"2\">]><svg><g a=\"&a;\"/></svg>"
        << QStringList { "]>\n<svg ", "a=\"1\"" };
    QTest::newRow("a prefix undeclared inside")
        << "<svg><g xmlns:p=\"\" xmlns:q=\"urn:q\"/></svg>" << QStringList { "xmlns:q=\"urn:q\"" };
    QTest::newRow("a comment inside a title") << "<svg><title>a<!--c-->b</title></svg>"
                                              << QStringList { ">a<!--c--><![CDATA[b]]></title>" };
    // The svg namespace shows where a prefix stands: an svg element loses it.
    QTest::newRow("a prefix bound again inside")
        << "<svg xmlns:a=\"http://www.w3.org/2000/svg\"><g xmlns:a=\"urn:two\"><a:x/></g><a:y/></svg>"
        << QStringList { "<a:x", "<y" };
    QTest::newRow("a prefix bound by an empty element")
        << "<svg><g xmlns:a=\"http://www.w3.org/2000/svg\"/><a:y/></svg>" << QStringList { "<a:y" };
}

// Every copy is XML and reads back to the same text.
void tst_CSVGDocumentWriter::markupStaysXml()
{
    QFETCH(QString, svg);
    QFETCH(QStringList, kept);
    CSVGDocument document;
    QVERIFY(document.loadSvgData(svg.toUtf8()));
    const QString written = text(document.toSvgText());
    for (const QString& part : kept)
        QVERIFY2(written.contains(part), qPrintable(written));
    QVERIFY2(isWellFormed(written), qPrintable(written));
    CSVGDocument again;
    again.parseSvgText(written, false, false);
    QCOMPARE(text(again.toSvgText()), written);
}

// A merge renames rules and their references in memory; the written sheet
// follows, keeping what the program does not read.
void tst_CSVGDocumentWriter::sheetsFollowRenamedRules()
{
    TestDrawing drawing;
    auto* style = static_cast<CSVGElementStyle*>(
        addStyle(drawing.root, "<![CDATA[/* keep */ rect{stroke:red} .a,.b{fill:url(#g1)} .c{fill:blue}]]>"));
    std::map<std::wstring, std::wstring> renames;
    for (CSVGStyleRule* rule : style->getRules()) {
        if (rule->getName() != L"c")
            rule->renameUnique(renames);
        rule->replaceUrlReference(L"g1", L"g9");
    }
    const QString svg = text(drawing.document.toSvgText());
    const QString expected = QString("<![CDATA[/* keep */ rect{stroke:red} .%1,.%2{fill:url(#g9)} .c{fill:blue}]]>")
                                 .arg(text(renames[L"a"]), text(renames[L"b"]));
    QVERIFY2(svg.contains(expected), qPrintable(svg));
    QCOMPARE(text(drawing.document.toSvgText()), svg);
}

// Left edges closer than 0.001 order by top edge; whatever the edges, the
// order is transitive, so sorting by it is defined.
void tst_CSVGDocumentWriter::positionIsAStrictWeakOrdering()
{
    TestDrawing drawing;
    CSVGElement* upper = drawing.addPath(squareData(10.0004, 0, 5));
    CSVGElement* lower = drawing.addPath(squareData(10, 10, 5));
    CSVGElement* right = drawing.addPath(squareData(10.002, -10, 5));
    QVERIFY(CSVGDocument::lessByPosition(upper, lower) && !CSVGDocument::lessByPosition(lower, upper));
    QVERIFY(CSVGDocument::lessByPosition(lower, right));

    QRandomGenerator random(103);
    std::vector<CSVGElement*> pieces;
    for (int i = 0; i < 30; ++i)
        pieces.push_back(drawing.addPath(squareData(random.bounded(4) * 0.0006, random.bounded(3), 1)));
    pieces.push_back(appendNew(drawing.root, L"defs"));
    for (CSVGElement* a : pieces) {
        QVERIFY(!CSVGDocument::lessByPosition(a, a));
        for (CSVGElement* b : pieces) {
            for (CSVGElement* c : pieces) {
                const bool ab = CSVGDocument::lessByPosition(a, b);
                const bool bc = CSVGDocument::lessByPosition(b, c);
                QVERIFY(!(ab && bc) || CSVGDocument::lessByPosition(a, c));
                // Incomparability is transitive too.
                const bool abEqual = !ab && !CSVGDocument::lessByPosition(b, a);
                const bool bcEqual = !bc && !CSVGDocument::lessByPosition(c, b);
                QVERIFY(!(abEqual && bcEqual)
                    || (!CSVGDocument::lessByPosition(a, c) && !CSVGDocument::lessByPosition(c, a)));
            }
        }
    }
}

void tst_CSVGDocumentWriter::page_data()
{
    QTest::addColumn<QRectF>("page");
    QTest::addColumn<bool>("overlap");
    QTest::addColumn<bool>("plotEnd");
    QTest::addColumn<QString>("written");
    const QString pieces = "lower upper";
    QTest::newRow("pieces on the page by position") << QRectF(0, 0, 100, 100) << false << false << pieces;
    QTest::newRow("plot-end marks") << QRectF(0, 0, 100, 100) << false << true
                                    << pieces + " M65.00 49.50 L65.00 0.00 M65.00 50.50 L65.00 100.00";
    QTest::newRow("overlapping pieces") << QRectF(0, 0, 100, 100) << true << false << "";
    QTest::newRow("no page") << QRectF() << false << false << "";
}

// The page is written from a working copy: what lies on it, ordered by
// position, nothing of the document's ids or tree touched.
void tst_CSVGDocumentWriter::page()
{
    QFETCH(QRectF, page);
    QFETCH(bool, overlap);
    QFETCH(bool, plotEnd);
    QFETCH(QString, written);
    QSettings().setValue("hpgl/PlotEnd", 5);
    TestDrawing drawing;
    drawing.document.setPageRect(page);
    CSVGDocument::setWarningHook([](const QString&, const QString&) {});
    addStyle(drawing.root, "<![CDATA[.k{fill:red}]]>");
    drawing.addPath(squareData(50, 10, 10) + "|id=upper");
    drawing.addPath(squareData(10, 50, 10) + "|id=lower");
    drawing.addPath(squareData(150, 10, 10) + "|id=outside");
    if (overlap)
        drawing.addPath(squareData(55, 15, 10) + "|id=over");
    const QString before = text(drawing.document.toSvgText());

    const QString svg = text(drawing.document.pageToSvgText(-1, 0, -1, -1, plotEnd));
    QStringList found;
    QRegularExpressionMatchIterator match
        = QRegularExpression(R"x(id="(lower|upper|outside)"| d="([^"]*)")x").globalMatch(svg);
    while (match.hasNext()) {
        const QRegularExpressionMatch next = match.next();
        if (!next.captured(1).isEmpty())
            found << next.captured(1);
        else if (!next.captured(2).startsWith("M50") && !next.captured(2).startsWith("M10"))
            found << next.captured(2);
    }
    QCOMPARE(found.join(' '), written);
    QVERIFY(written.isEmpty() || !svg.contains("<style"));
    QCOMPARE(text(drawing.document.toSvgText()), before);
    QCOMPARE(drawing.document.getElementById(L"upper"), drawing.root->getChild(1));
    QVERIFY(drawing.document.isIdTracking());
    CSVGDocument::setWarningHook(nullptr);
    QSettings().remove("hpgl/PlotEnd");
}

// Each piece after its paint server and its class rule; a class of two names
// names no rule; tear lines stay behind.
void tst_CSVGDocumentWriter::clipboard()
{
    TestDrawing drawing;
    addStyle(drawing.root, "<![CDATA[.k{fill:url(#shade)} .m{fill:blue}]]>");
    appendShape<CSVGElement>(appendNew(drawing.root, L"defs"), "linearGradient", "id=shade");
    appendShape<CSVGElement>(appendNew(drawing.root, L"defs"), "radialGradient", "id=glow");
    CSVGElement* first = drawing.addPath("id=first|class=k|fill=url(#glow)|d=M0 0 L1 1");
    CSVGElement* second = drawing.addPath("id=second|class=k m|d=M0 0 L1 1");
    CSVGElement* tear = drawing.addPath("id=tear|tear_line=true|d=M0 0 L1 1");
    drawing.document.renumberDrawingOrder();
    for (CSVGElement* element : { tear, second, first })
        drawing.document.selectElement(element, Qt::green);
    const QString clip = text(drawing.document.selectionToSvgText());
    QStringList order;
    const QRegularExpression part(R"x(<style[^>]*>\n([^\n]*)|id="(\w+)")x");
    QRegularExpressionMatchIterator match = part.globalMatch(clip);
    while (match.hasNext()) {
        const QRegularExpressionMatch next = match.next();
        order << (next.captured(1).isEmpty() ? next.captured(2) : next.captured(1));
    }
    QCOMPARE(order.join(' '), QString("glow .k{fill:url(#shade)} shade first second"));
}

// A target that cannot be written keeps its bytes; a good one gets the
// declaration, a line break and the body.
void tst_CSVGDocumentWriter::save()
{
    TestDrawing drawing;
    drawing.addPath(squareData(0, 0, 5));
    QFile system("/proc/version");
    QVERIFY(system.open(QIODevice::ReadOnly));
    const QByteArray before = system.readAll();
    system.close();
    QVERIFY(!drawing.document.saveFile("/proc/version"));
    QVERIFY(system.open(QIODevice::ReadOnly));
    QCOMPARE(system.readAll(), before);
    QTemporaryDir folder;
    const QString path = folder.filePath("plain");
    QVERIFY(writeTextFile(path, "old"));
    QVERIFY(!drawing.document.saveFile(path + "/inside.svg"));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("old"));
    saved.close();
    QVERIFY(drawing.document.saveFile(path));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    std::wstring body;
    drawing.document.writeSvgBody(body);
    QCOMPARE(QString::fromUtf8(saved.readAll()), text(CSVGDocument::xmlDeclaration()) + "\n" + text(body));
    saved.close();

    // A text of some megabytes goes to the file in pieces, all of them.
    QString many = "<svg>";
    for (int i = 0; i < 25000; ++i)
        many += QStringLiteral("<path d=\"M%1 0 L%1 5 L%2 5 L%2 10 L%1 10 L%1 20 L%2 20 Z\"/>").arg(i).arg(i + 1);
    CSVGDocument large;
    QVERIFY(large.parseSvgText(many + "</svg>", false, false));
    QVERIFY(large.saveFile(path));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    large.writeSvgBody(body);
    QVERIFY(body.size() > 2000000);
    QCOMPARE(QString::fromUtf8(saved.readAll()), text(CSVGDocument::xmlDeclaration()) + "\n" + text(body));
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentWriter)
#include "tst_CSVGDocumentWriter.moc"
