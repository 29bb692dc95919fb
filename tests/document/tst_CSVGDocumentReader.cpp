#include "CActionComposite.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"
#include "CSVGXmlScanner.h"
#include "SvgCodes.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QTextCodec>
#include <QXmlStreamReader>

#include <memory>

namespace {

// A compact picture of a subtree: tag{attributes that differ from a new
// element of the tag}'own text'(children), text-content nodes as 'text',
// comments, CDATA sections and declarations as their text.
QString outline(CSVGElement* element)
{
    const int type = element->getType();
    // A text's own getText gathers its runs.
    const bool ownText = type != SvgType::Text && type != SvgType::Tspan;
    const QString text = ownText ? QString::fromStdWString(element->getText()) : QString();
    if (type == SvgType::Comment || type == SvgType::CData || type == SvgType::Doctype)
        return text;
    if (type == SvgType::TextContent)
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    QString result = QString::fromStdWString(element->getTagName());
    std::unique_ptr<CSVGElement> fresh(element->getDocument()->createElement(element->getTagName()));
    QStringList attributes;
    for (const std::wstring& name : element->getAttributeNames()) {
        const std::wstring value = element->getAttribute(name);
        if (name != L"id" && value != fresh->getAttribute(name))
            attributes << QString::fromStdWString(name + L'=' + value);
    }
    if (!attributes.isEmpty())
        result += QLatin1Char('{') + attributes.join(QLatin1Char(',')) + QLatin1Char('}');
    if (!text.isEmpty())
        result += QLatin1Char('\'') + text + QLatin1Char('\'');
    QStringList children;
    for (int i = 0; i < element->getChildCount(); ++i)
        children << outline(element->getChild(i));
    if (!children.isEmpty())
        result += QLatin1Char('(') + children.join(QLatin1Char(' ')) + QLatin1Char(')');
    return result;
}

QString documentOutline(CSVGDocument& document)
{
    QStringList children;
    for (int i = 0; i < document.getChildCount(); ++i)
        children << outline(document.getChild(i));
    return children.join(QLatin1Char(' '));
}

// An svg element holding elements down to the given depth (the svg's is 1),
// the deepest a rect at x = 6.
std::wstring nestedText(size_t depth)
{
    return (QStringLiteral("<svg>") + QStringLiteral("<g transform=\"translate(1)\">").repeated(int(depth) - 2)
        + QStringLiteral("<rect x=\"6\" width=\"1\" height=\"1\"/>"))
        .toStdWString();
}

int treeDepth(const CSVGElement* element)
{
    int depth = 0;
    for (int i = 0; i < element->getChildCount(); ++i)
        depth = std::max(depth, treeDepth(element->getChild(i)));
    return depth + 1;
}

// The elements of a tree in document order, less the nodes that a general
// XML reader does not report as elements.
std::vector<CSVGElement*> xmlElements(CSVGDocument& document)
{
    std::vector<CSVGElement*> all;
    document.collectDescendants(all, false);
    std::vector<CSVGElement*> elements;
    for (CSVGElement* element : all) {
        const int type = element->getType();
        if (type != SvgType::Comment && type != SvgType::CData && type != SvgType::Doctype
            && type != SvgType::TextContent)
            elements.push_back(element);
    }
    return elements;
}

// XML reads line breaks and tabs in values as blanks.
QString normalized(QString value)
{
    return value.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\t'), QLatin1Char(' '));
}

// What differs between the tree and Qt's XML reader on the same file.
QStringList compareWithXmlReader(const QString& path)
{
    CSVGDocument document;
    if (!document.openFile(path.toStdWString()))
        return { QStringLiteral("cannot open") };
    const std::vector<CSVGElement*> elements = xmlElements(document);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QStringList differences;
    size_t index = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString tag = xml.qualifiedName().toString();
        // A file without an svg element gets one from the reader.
        if (index == 0 && xml.name() != QLatin1String("svg"))
            ++index;
        if (index >= elements.size()) {
            differences << QStringLiteral("missing %1").arg(tag);
            break;
        }
        CSVGElement* element = elements[index++];
        const QString ours = QString::fromStdWString(element->getTagName());
        const bool svg = xml.namespaceUri() == QLatin1String("http://www.w3.org/2000/svg");
        if (ours != tag && !(svg && ours == xml.name()))
            differences << QStringLiteral("%1 read as %2").arg(tag, ours);
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            const QString name = attribute.qualifiedName().toString();
            const QString ours = QString::fromStdWString(element->getAttribute(name.toStdWString()));
            if (normalized(ours) != normalized(attribute.value().toString()))
                differences << QStringLiteral("%1 %2=\"%3\" read as \"%4\"").arg(tag, name, attribute.value(), ours);
        }
    }
    if (xml.hasError())
        differences << QStringLiteral("XML reader: ") + xml.errorString();
    if (index != elements.size())
        differences << QStringLiteral("%1 elements more").arg(elements.size() - index);
    return differences;
}

} // namespace

class tst_CSVGDocumentReader : public QObject
{
    Q_OBJECT
private slots:
    void outsideSuite();
    void scan_data();
    void scan();
    void limits();
    void leftOutIsNamed_data();
    void leftOutIsNamed();
    void tooDeep();
    void bytes_data();
    void bytes();
    void encodings_data();
    void encodings();
    void entities_data();
    void entities();
    void pageSize_data();
    void pageSize();
    void placement_data();
    void placement();
    void customPositions();
    void openFile();
    void mergeIntoDrawing();
    void hiddenPieceIsKept();
    void paste();
    void pasteIntoText();
    void groupRootChildren();
};

// An element in the SVG namespace may lose its prefix. Qt's XML reader
// refuses the prefixed attribute that one file's entity holds.
void tst_CSVGDocumentReader::outsideSuite()
{
    ZOCUT_REQUIRE_RESVG(ZOCUT_RESVG_DIR);
    QDirIterator files(
        QStringLiteral(ZOCUT_RESVG_DIR), { QStringLiteral("*.svg") }, QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    QStringList failures;
    while (files.hasNext()) {
        const QString path = files.next();
        if (path.endsWith(QLatin1String("elements-via-ENTITY-reference-3.svg")))
            continue;
        ++count;
        const QStringList differences = compareWithXmlReader(path);
        if (!differences.isEmpty())
            failures << QFileInfo(path).fileName() + QStringLiteral(": ") + differences.join(QStringLiteral("; "));
    }
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    QVERIFY(count > 200);
}

// Each row: SVG text and the outline of the document's children after
// parseSvgText.
void tst_CSVGDocumentReader::scan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unknown tag") << "<svg><my:tag a='1'/></svg>"
                                 << "svg(my:tag{a=1})";
    QTest::newRow("declaration") << "<?xml version=\"1.0\"?><svg/>"
                                 << "<?xml version=\"1.0\"?> svg";
    QTest::newRow("no svg element") << "<!--c--><rect x=\"1\"/>"
                                    << "svg{viewBox=0 0 15000 1520}(<!--c--> rect{x=1})";
    QTest::newRow("references in values and text")
        << "<svg><g a=\"&lt;&#65;&#x42;&amp;&foo;&#0;\"/><title>1 &gt; 2</title></svg>"
        << "svg(g{a=<AB&&foo;&#0;} title'1 > 2')";
    QTest::newRow("comments and sections as written")
        << "<svg><!-- &lt; --><style><![CDATA[ .a{} &lt; ]]></style></svg>"
        << "svg(<!-- &lt; --> style(<![CDATA[ .a{} &lt; ]]>))";
    QTest::newRow("text after the last tag") << "<svg/>tail"
                                             << "svg";
    QTest::newRow("doctype with internal subset") << "<!DOCTYPE svg [ <!ENTITY e \"x\"> ]><svg/>"
                                                  << "<!DOCTYPE svg [ <!ENTITY e \"x\"> ]> svg";
    QTest::newRow("other declaration") << "<svg><!ELEMENT g ANY></svg>"
                                       << "svg(<!ELEMENT g ANY>)";
    QTest::newRow("CDATA without blank") << "<svg><style><![CDATA[.a{fill:red}]]></style></svg>"
                                         << "svg(style(<![CDATA[.a{fill:red}]]>))";
    QTest::newRow("less-than in text") << "<svg><title>1 < 2 <3 <</title></svg>"
                                       << "svg(title'1 < 2 <3 <')";
    QTest::newRow("blanks around equals") << "<svg><rect x = \"5\" y\n=\t'6'/></svg>"
                                          << "svg(rect{x=5,y=6})";
    QTest::newRow("value without quotes") << "<svg><rect x=5 y=6/></svg>"
                                          << "svg(rect{x=5,y=6})";
    QTest::newRow("name without value") << "<svg><rect x \"1\" y=\"2\"/></svg>"
                                        << "svg(rect{y=2})";
    QTest::newRow("cut in a tag") << "<svg><rect x=\"1\""
                                  << "svg(rect{x=1})";
    QTest::newRow("unterminated comment") << "<svg><g/><!-- <rect/>"
                                          << "svg(g)";
    QTest::newRow("unterminated CDATA") << "<svg><g/><![CDATA[ <rect/>"
                                        << "svg(g)";
    QTest::newRow("unterminated quote") << "<svg><g a=\"1\"/><rect x=\"1/><circle/></svg>"
                                        << "svg(g{a=1} rect)";
    QTest::newRow("stray end tags") << "</g><svg><rect/></svg></svg></g><g/>"
                                    << "svg(rect) g";
    QTest::newRow("NUL character") << QStringLiteral("<svg><rect/>") + QChar(0) + QStringLiteral("<g/></svg>")
                                   << "svg(rect)";
    QTest::newRow("runs beside tspans") << "<svg><text>A <tspan>B</tspan> C</text></svg>"
                                        << "svg(text('A ' tspan('B') ' C'))";
    QTest::newRow("blanks between runs deeper in a text")
        << "<svg><text> <a>Red</a> <textPath>On <tspan>the</tspan> path </textPath> </text></svg>"
        << "svg(text(a'Red' ' ' textPath'On '(tspan('the') <![CDATA[ path ]]>)))";
    QTest::newRow("preserved blanks until the text ends")
        << "<svg><text xml:space=\"preserve\"> a<tspan> b</tspan> c</text><text> d</text>"
           "<text xml:space=\"preserve\"> e</text></svg>"
        << "svg(text{xml:space=preserve}(' a' tspan(' b') ' c') text('d') text{xml:space=preserve}(' e'))";
    QTest::newRow("references to itself and to nothing")
        << "<svg><use id=\"u1\" xlink:href=\"#u1\"/><use xlink:href=\"#none\"/></svg>"
        << "svg(use{xlink:href=#u1} use{xlink:href=#none})";
    QTest::newRow("runs of a plain element") << "<svg><desc>a<g/>b]]>c</desc></svg>"
                                             << "svg(desc'a'(g <![CDATA[b]]]]> <![CDATA[>c]]>))";
    QTest::newRow("svg-prefixed elements")
        << "<svg:svg xmlns:svg=\"http://www.w3.org/2000/svg\"><svg:rect width=\"5\"/><x:rect/></svg:svg>"
        << "svg{xmlns:svg=http://www.w3.org/2000/svg}(rect{width=5} x:rect)";
    QTest::newRow("prefix under another default namespace")
        << "<svg><s:g xmlns=\"urn:other\" xmlns:s=\"http://www.w3.org/2000/svg\"/></svg>"
        << "svg(s:g{xmlns=urn:other,xmlns:s=http://www.w3.org/2000/svg})";
    QTest::newRow("a prefix ends with its element")
        << "<svg><g xmlns:s=\"http://www.w3.org/2000/svg\"></g><s:rect/></svg>"
        << "svg(g{xmlns:s=http://www.w3.org/2000/svg} s:rect)";
    QTest::newRow("blanks between trefs")
        << "<svg><text><tref xlink:href=\"#a\"/> <tref xlink:href=\"#b\"/></text></svg>"
        << "svg(text(tref{xlink:href=#a} ' ' tref{xlink:href=#b}))";
    QTest::newRow("preserved blanks in a tspan")
        << "<svg><text><tspan xml:space=\"preserve\">  a</tspan><tspan> b</tspan></text></svg>"
        << "svg(text(tspan{xml:space=preserve}('  a') tspan(' b')))";
    QTest::newRow("namespace declarations that XML forbids")
        << "<svg><g xmlns:a=\"\" xmlns:xmlns=\"urn:x\" xmlns:xml=\"urn:x\" "
           "xmlns:b=\"http://www.w3.org/XML/1998/namespace\" xmlns:c=\"urn:c\"/></svg>"
        << "svg(g{xmlns:c=urn:c})";
    QTest::newRow("one attribute under two prefixes")
        << "<svg><g xmlns:a=\"urn:a\" xmlns:b=\"urn:a\" a:x=\"1\" b:x=\"2\" c:x=\"3\"/></svg>"
        << "svg(g{b:x=2,c:x=3,xmlns:a=urn:a,xmlns:b=urn:a})";
    QTest::newRow("a local name that starts as no name") << "<svg><x:-y z:-w=\"1\"/></svg>"
                                                         << "svg(x:_y)";
    QTest::newRow("names that are no names") << "<svg><a\"b c=\"1\" 2d=\"3\"/><-x/></svg>"
                                             << "svg(a_b{c=1} <![CDATA[<-x/>]]>)";
    QTest::newRow("characters beyond 16 bits")
        << QString::fromStdWString(L"<svg><g a=\"\U0001F600\u00ff\"/><title>\u4e2d\U0001F600</title></svg>")
        << QString::fromStdWString(L"svg(g{a=\U0001F600\u00ff} title'\u4e2d\U0001F600')");
}

void tst_CSVGDocumentReader::scan()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    CSVGDocument document;
    QVERIFY(document.parseSvgText(text.toStdWString(), false, false));
    QCOMPARE(documentOutline(document), expected);
    QVERIFY(!document.isLoading());
    document.addToTiles(document.getOwnerSvg());
}

// Whatever the size of the input, the tree stays shallow, the walk stays
// linear and the program-wide attribute-name table keeps room.
void tst_CSVGDocumentReader::limits()
{
    CSVGDocument document;
    QVERIFY(document.parseSvgText(nestedText(CSVGXmlScanner::kMaxDepth), false, false));
    QCOMPARE(treeDepth(document.getOwnerSvg()), int(CSVGXmlScanner::kMaxDepth));
    QVERIFY(SvgInputCheck::reason(document.readCheck()).isEmpty());

    document.parseSvgText(
        (QStringLiteral("<svg>") + QStringLiteral("x<g/>").repeated(100000) + QStringLiteral("y</svg>")).toStdWString(),
        false, false);
    QCOMPARE(document.getOwnerSvg()->getChildCount(), 200000);
    QCOMPARE(document.getOwnerSvg()->getText(), std::wstring(L"x"));

    const int before = g_config.getAttributeId(L"zz-probe-before");
    QString invented = QStringLiteral("<svg><g");
    for (int i = 0; i < CSVGXmlScanner::kNewAttributeNames + 500; ++i)
        invented += QStringLiteral(" zz-%1-%2=\"1\"").arg(before).arg(i);
    invented += QStringLiteral(" ") + QString(300, QLatin1Char('n')) + QStringLiteral("=\"1\" x=\"2\"/></svg>");
    QTest::ignoreMessage(QtWarningMsg, "Reading SVG: new attribute names beyond the limit of one file are left out");
    document.parseSvgText(invented.toStdWString(), false, false);
    QCOMPARE(g_config.getAttributeId(L"zz-probe-after") - before, CSVGXmlScanner::kNewAttributeNames + 1);
    QCOMPARE(document.getOwnerSvg()->getChild(0)->getAttribute(L"x"), std::wstring(L"2"));

    document.parseSvgText(L"<svg><rect id=\"rect_99999999999999999999\"/></svg>", false, false);
    QCOMPARE(document.getIdCounter(), std::int64_t(INT_MAX) + 1);

    QTest::ignoreMessage(QtWarningMsg, "Reading SVG: the text ends at the element limit");
    CSVGXmlScanner scanner(&document, 3);
    QVERIFY(!scanner.scan(L"<g/><!--c--><text>a</text><g/>", document.getOwnerSvg()));
    QVERIFY(scanner.reachedElementLimit());
    // The rect of before, then three elements: the text's run is the fourth.
    QCOMPARE(document.getOwnerSvg()->getChildCount(), 4);
    QCOMPARE(document.getOwnerSvg()->getChild(3)->getChildCount(), 0);
    // As many elements as the limit lose nothing; nor does the XML
    // declaration that the writer puts before them.
    QVERIFY(scanner.scan(L"<g/><g/><g/>", document.getOwnerSvg()) && !scanner.reachedElementLimit());
    CSVGDocument saved;
    QVERIFY(scanner.scan(L"<?xml version=\"1.0\"?>\n<svg><g/><g/></svg>", &saved));
}

// What the reader leaves out of a drawing it opens is named: attribute names
// beyond the budget of new ones (a declaration taking its share), and
// content after the root. Comments there are kept.
void tst_CSVGDocumentReader::leftOutIsNamed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    const QString fresh = QString::number(g_config.getAttributeId(L"zz-probe-named"));
    QString names;
    for (int i = 1; i < CSVGXmlScanner::kNewAttributeNames; ++i)
        names += QStringLiteral(" zz-%1-%2=\"1\"").arg(fresh).arg(i);
    const QString prefix = "q" + fresh;
    QTest::newRow("a name beyond the budget")
        << "<svg xmlns:" + prefix + "=\"urn:q\"><g" + names + " " + prefix + ":last=\"1\"/></svg>"
        << "The drawing brings more than 1000 attribute names new to the program; these are left out: " + prefix
            + ":last.";
    const QString after = QStringLiteral("Content after the drawing's root element is left out.");
    QTest::newRow("a second root") << "<svg><rect/></svg><svg><circle/></svg>" << after;
    QTest::newRow("a root closed by an entity")
        << "<!DOCTYPE svg [<!ENTITY end \"</svg>\">]><svg><rect/>&end;<circle/></svg>" << after;
    QTest::newRow("text after the root") << "<svg><rect/></svg>tail" << after;
    QTest::newRow("a comment after the root") << "<svg><rect/></svg><!-- c -->" << QString();
}

void tst_CSVGDocumentReader::leftOutIsNamed()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    CSVGDocument document;
    if (text.contains(":last"))
        QTest::ignoreMessage(
            QtWarningMsg, "Reading SVG: new attribute names beyond the limit of one file are left out");
    QVERIFY(document.loadSvgData(text.toUtf8()));
    QCOMPARE(SvgInputCheck::reason(document.readCheck()), reason);
    QCOMPARE(document.getOwnerSvg()->getChild(0)->getTagName(), std::wstring(text.contains("<g") ? L"g" : L"rect"));
}

// Elements deeper than the reader goes are not hung higher up, where they
// would be drawn elsewhere: the text is refused with the reason, by every
// load, and leaves nothing of itself.
void tst_CSVGDocumentReader::tooDeep()
{
    const std::wstring deep = nestedText(CSVGXmlScanner::kMaxDepth + 1);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("deep.svg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString::fromStdWString(deep).toUtf8());
    file.close();
    const QString reason = QStringLiteral("The drawing's elements are nested more than 256 levels deep.");
    const char* logged = "Reading SVG: an element nested deeper than the limit ends the text";

    CSVGDocument document;
    QTest::ignoreMessage(QtWarningMsg, logged);
    QVERIFY(!document.openFile(path.toStdWString()));
    QCOMPARE(SvgInputCheck::reason(document.readCheck()), reason);
    QCOMPARE(document.getOwnerSvg()->getChildCount(), 0);

    document.parseSvgText(L"<svg><rect id=\"mine\" width=\"5\" height=\"5\"/></svg>", false, false);
    QTest::ignoreMessage(QtWarningMsg, logged);
    QVERIFY(!document.loadSvgData(QString::fromStdWString(deep).toUtf8()));
    QTest::ignoreMessage(QtWarningMsg, logged);
    QVERIFY(!document.pasteSvgText(deep));
    QCOMPARE(documentOutline(document), QStringLiteral("svg(rect{height=5,width=5})"));
    QCOMPARE(SvgInputCheck::reason(document.readCheck()), reason);
    QVERIFY(document.loadSvgData("<svg><rect width=\"5\" height=\"5\"/></svg>"));
    QVERIFY(SvgInputCheck::reason(document.readCheck()).isEmpty());

    // Bytes refused before any scan end the load too: an empty root, not
    // a document that stays "loading".
    CSVGDocument fresh;
    QVERIFY(!fresh.loadSvgData(QByteArray()));
    QVERIFY(fresh.getOwnerSvg() && !fresh.isLoading());
    QVERIFY(!fresh.loadSvgData(QByteArray("x\0<svg/>", 8)));
    QCOMPARE(fresh.readCheck().verdict, SvgInputCheck::Verdict::Binary);
}

// Each row: file bytes and the title's text after loadSvgData.
void tst_CSVGDocumentReader::bytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    const QString title = QStringLiteral("\u4e2d\u6587");
    const QString gbk
        = QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?><svg><title>%1</title></svg>").arg(title);
    QTest::newRow("declared GBK") << QTextCodec::codecForName("GBK")->fromUnicode(gbk) << title;
    QTest::newRow("UTF-16 with byte-order mark")
        << QTextCodec::codecForName("UTF-16LE")
               ->fromUnicode(QChar(0xFEFF) + gbk.mid(gbk.indexOf(QLatin1String("<svg"))))
        << title;
    QTest::newRow("invalid UTF-8") << QByteArray("<svg><title>a\xff\xfe</title></svg>")
                                   << QStringLiteral("a\ufffd\ufffd");
    QTest::newRow("NUL byte") << QByteArray("<svg><title>ab</title>\0<g/></svg>", 34) << QStringLiteral("ab");
    QTest::newRow("NUL byte inside the text")
        << QByteArray("<svg><title>ab\0c</title></svg>", 29) << QStringLiteral("ab");
    QTest::newRow("UTF-16 declared, UTF-8 written")
        << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><svg><title>%1</title></svg>").arg(title).toUtf8()
        << title;
    QTest::newRow("character beyond 16 bits") << QByteArray("<svg><title>\xf0\x9f\x98\x80"
                                                            "abcdefgh&#x1F600;</title></svg>")
                                              << QString::fromStdWString(L"\U0001F600abcdefgh\U0001F600");
}

void tst_CSVGDocumentReader::bytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    CSVGDocument document;
    QVERIFY(document.loadSvgData(bytes));
    CSVGElement* root = document.getOwnerSvg();
    QCOMPARE(root->getChildCount(), 1);
    QCOMPARE(QString::fromStdWString(root->getChild(0)->getText()), title);
    QCOMPARE(root->getChild(0)->getText(), title.toStdWString());
}

// Each row: the bytes of one drawing, whose numbers are separated by line
// ends alone, in an encoding and with line ends of its own, and the title
// it holds. Every file gives the same pieces.
void tst_CSVGDocumentReader::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    // 上 (U+4E0A) and 不 (U+4E0D) hold the bytes of a line feed and of a
    // carriage return in UTF-16.
    const QString wide = QStringLiteral("Gr\u00fc\u00dfe \u4e0a\u4e0d");
    const auto drawing = [](const QString& title, const char* encoding, const char* lineEnd) {
        return QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"%1\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 100 100\">\n<title>%2</title>\n"
            "<polygon points=\"10,10\n90,10\n50,90\"/>\n<path d=\"M10 95\n90 95\" stroke=\"black\"/>\n"
            "</svg>\n")
            .arg(QLatin1String(encoding), title)
            .replace(QLatin1Char('\n'), QLatin1String(lineEnd));
    };
    const auto encoded
        = [](const char* codec, const QString& text) { return QTextCodec::codecForName(codec)->fromUnicode(text); };
    const QChar mark(0xFEFF);
    QTest::newRow("UTF-8, LF") << drawing(wide, "utf-8", "\n").toUtf8() << wide;
    QTest::newRow("UTF-8 with mark, CR LF") << encoded("UTF-8", mark + drawing(wide, "utf-8", "\r\n")) << wide;
    QTest::newRow("UTF-8, CR") << drawing(wide, "utf-8", "\r").toUtf8() << wide;
    QTest::newRow("UTF-16 LE with mark, CR LF") << encoded("UTF-16LE", mark + drawing(wide, "UTF-16", "\r\n")) << wide;
    QTest::newRow("UTF-16 BE with mark, LF") << encoded("UTF-16BE", mark + drawing(wide, "UTF-16", "\n")) << wide;
    QTest::newRow("UTF-16 BE with mark, CR") << encoded("UTF-16BE", mark + drawing(wide, "UTF-16", "\r")) << wide;
    QTest::newRow("UTF-16 LE without mark, CR LF") << encoded("UTF-16LE", drawing(wide, "UTF-16", "\r\n")) << wide;
    QTest::newRow("Latin-1 declared, CR")
        << encoded("ISO-8859-1", drawing("Gr\u00fc\u00dfe", "ISO-8859-1", "\r")) << QStringLiteral("Gr\u00fc\u00dfe");
}

void tst_CSVGDocumentReader::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("drawing.svg"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    CSVGDocument document;
    QVERIFY(document.openFile(path.toStdWString()));
    QCOMPARE(document.readCheck().verdict, SvgInputCheck::Verdict::Drawing);
    CSVGElement* root = document.getOwnerSvg();
    QCOMPARE(root->getChildCount(), 3);
    QCOMPARE(QString::fromStdWString(root->getChild(0)->getText()), title);
    QCOMPARE(document.getContentBoundingRect(), QRectF(10, 10, 80, 85));
}

// Each row: the internal subset of a document type, the drawing after it,
// and the outline of the root read from them; none when the text is refused
// for its entities.
void tst_CSVGDocumentReader::entities_data()
{
    QTest::addColumn<QString>("subset");
    QTest::addColumn<QString>("drawing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("in a value") << "<!ENTITY col \"#ff0000\">"
                                << "<svg><rect fill=\"&col;\"/></svg>"
                                << "svg(rect{fill=#ff0000})";
    QTest::newRow("in a namespace declaration")
        << "<!ENTITY ns_svg \"http://www.w3.org/2000/svg\">"
        << "<svg xmlns=\"&ns_svg;\" xmlns:s=\"&ns_svg;\"><s:rect/></svg>"
        << "svg{xmlns=http://www.w3.org/2000/svg,xmlns:s=http://www.w3.org/2000/svg}(rect)";
    QTest::newRow("elements in content") << "<!ENTITY sq \"<rect width='5'/><circle r='&r;'/>\"><!ENTITY r \"2\">"
                                         << "<svg><g>&sq;</g></svg>"
                                         << "svg(g(rect{width=5} circle{r=2}))";
    QTest::newRow("characters and elements in a text")
        << "<!ENTITY who \"W&#246;rld\"><!ENTITY b \"<tspan>&who;</tspan>\">"
        << "<svg><text>Hello &who;, &b;!</text></svg>"
        << QString::fromUtf8("svg(text('Hello Wörld, ' tspan('Wörld') '!'))");
    QTest::newRow("a bracket in a value; the first declaration binds")
        << "<!ENTITY e \"]>\"><!ENTITY e \"2\"><!ENTITY lt \"x\">"
        << "<svg><g a=\"&e;&lt;\"/></svg>"
        << "svg(g{a=]><})";
    QTest::newRow("external entities are never read")
        << "<!ENTITY ext SYSTEM \"file:///etc/hostname\"><!ENTITY % pe SYSTEM \"file:///etc/hostname\"> %pe;"
        << "<svg><title>&ext;</title></svg>"
        << "svg(title'&ext;')";
    QTest::newRow("an inclusion is an element like any other")
        << ""
        << "<svg><xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"/etc/hostname\" parse=\"text\"/></svg>"
        << "svg(xi:include{href=/etc/hostname,parse=text,xmlns:xi=http://www.w3.org/2001/XInclude})";
    QTest::newRow("markup between characters keeps them") << "<!ENTITY e \"x<!--c-->y\">"
                                                          << "<svg><title>abc&e;</title></svg>"
                                                          << "svg(title'abcx'(<!--c--> <![CDATA[y]]>))";
    QTest::newRow("a character of markup") << "<!ENTITY l \"&#60;\">"
                                           << "<svg><title>a&l;b</title></svg>"
                                           << "svg(title'a<b')";
    const QString longName(300, QLatin1Char('n'));
    QTest::newRow("a long name") << "<!ENTITY " + longName + " \"red\">"
                                 << "<svg><rect fill=\"&" + longName + ";\"/></svg>"
                                 << "svg(rect{fill=red})";
    QTest::newRow("markup through a chain of three") << "<!ENTITY c \"&b;\"><!ENTITY b \"&a;\"><!ENTITY a \"<rect/>\">"
                                                     << "<svg><g>&c;</g></svg>"
                                                     << "svg(g(rect))";
    QString chain;
    for (int i = 1; i < 33; ++i)
        chain += QStringLiteral("<!ENTITY d%1 \"&d%2;\">").arg(i).arg(i + 1);
    QTest::newRow("32 deep") << chain + "<!ENTITY d33 \"x\">"
                             << "<svg><title>&d2;</title></svg>"
                             << "svg(title'x')";
    QTest::newRow("33 deep") << chain + "<!ENTITY d33 \"x\">"
                             << "<svg><title>&d1;</title></svg>" << QString();
    QTest::newRow("an entity that uses itself") << "<!ENTITY a \"x&b;\"><!ENTITY b \"&a;\">"
                                                << "<svg><title>&a;</title></svg>" << QString();
    QString laughs = QStringLiteral("<!ENTITY l0 \"lol\">");
    QString groups = QStringLiteral("<!ENTITY g0 \"<g/>\">");
    for (int i = 1; i < 10; ++i) {
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">").arg(i).arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10));
        groups += QStringLiteral("<!ENTITY g%1 \"%2\">").arg(i).arg(QStringLiteral("&g%1;").arg(i - 1).repeated(10));
    }
    QTest::newRow("a billion laughs") << laughs << "<svg><rect fill=\"&l9;\"/></svg>" << QString();
    QTest::newRow("a billion elements") << groups << "<svg>&g9;</svg>" << QString();
    QTest::newRow("a name beyond ASCII") << QString::fromUtf8("<!ENTITY pièce \"<rect/>\">")
                                         << QString::fromUtf8("<svg>&pièce;</svg>") << "svg(rect)";
    QTest::newRow("markup without the semicolon") << "<!ENTITY r \"<rect/>\">"
                                                  << "<svg><g>&r</g></svg>"
                                                  << "svg(g'&r')";
}

// Nothing outside the text is read; an entity bomb is refused.
void tst_CSVGDocumentReader::entities()
{
    QFETCH(QString, subset);
    QFETCH(QString, drawing);
    QFETCH(QString, expected);
    CSVGDocument document;
    if (expected.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Reading SVG: entities that .* beyond the limit"));
    const bool read = document.loadSvgData(("<!DOCTYPE svg [" + subset + "]>" + drawing).toUtf8());
    QCOMPARE(read, !expected.isEmpty());
    if (read)
        QCOMPARE(outline(document.getOwnerSvg()), expected);
    else
        QCOMPARE(SvgInputCheck::reason(document.readCheck()).left(12), QString("Its entities"));
}

void tst_CSVGDocumentReader::pageSize_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QSize>("size");
    QTest::newRow("size") << "width=\"300\" height=\"200in\"" << QSize(300, 19200);
    QTest::newRow("percent takes the viewBox")
        << "width=\"100%\" height=\"50%\" viewBox=\"0,0 640;480\"" << QSize(640, 480);
    QTest::newRow("viewBox with two blanks") << "width=\"80%\" viewBox=\"0 0  640 480\"" << QSize(15000, 1520);
    QTest::newRow("beyond int") << "width=\"1e20\" height=\"-5\"" << QSize(INT_MAX, 1520);
    QTest::newRow("400 digits") << QStringLiteral("width=\"1%1\"").arg(QString(400, QLatin1Char('0')))
                                << QSize(15000, 1520);
}

void tst_CSVGDocumentReader::pageSize()
{
    QFETCH(QString, root);
    QFETCH(QSize, size);
    CSVGDocument document;
    document.parseSvgText(QStringLiteral("<svg %1/>").arg(root).toStdWString(), false, false);
    QCOMPARE(document.getPageSize(), size);
}

// Each row: SVG text, the move-to-origin flag and the content bounds after
// the load, loaded twice: the second time from what the first left.
void tst_CSVGDocumentReader::placement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("moveToOrigin");
    QTest::addColumn<QPointF>("topLeft");
    const QString rect = QStringLiteral("<rect x=\"50\" y=\"60\" width=\"10\" height=\"10\"/>");
    QTest::newRow("origin once") << QStringLiteral("<svg originx=\"10\" originy=\"20\">%1</svg>").arg(rect) << false
                                 << QPointF(40.1, 40.1);
    QTest::newRow("to the origin") << QStringLiteral("<svg>%1</svg>").arg(rect) << true << QPointF(1, 1);
    QTest::newRow("not finite") << "<svg><path d=\"M-1e308 0 L1e308 10\"/></svg>" << true << QPointF(-1e308, 0);
}

void tst_CSVGDocumentReader::placement()
{
    QFETCH(QString, text);
    QFETCH(bool, moveToOrigin);
    QFETCH(QPointF, topLeft);
    CSVGDocument document;
    document.parseSvgText(text.toStdWString(), false, moveToOrigin);
    QCOMPARE(document.getContentBoundingRect().topLeft(), topLeft);
    std::wstring again;
    document.getOwnerSvg()->writeSvg(again, 0, CSVGRect());
    document.parseSvgText(again, false, false);
    QCOMPARE(document.getContentBoundingRect().topLeft(), topLeft);
}

void tst_CSVGDocumentReader::customPositions()
{
    const QJsonArray positions { QJsonObject { { "id", "9" }, { "color", "#ff0000" }, { "name", "hood" } } };
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QByteArray binary = QJsonDocument(positions).toBinaryData();
    QT_WARNING_POP
    CSVGDocument document;
    const auto load = [&document](const QByteArray& data) {
        document.parseSvgText(
            L"<svg custom_positions=\"" + QString::fromLatin1(data.toBase64()).toStdWString() + L"\"/>", false, false);
        return document.getCustomPositions();
    };
    QCOMPARE(load(binary), positions);
    QByteArray corrupt = binary;
    corrupt[12] = char(0x7f);
    QCOMPARE(load(corrupt), QJsonArray());
    QCOMPARE(load("not json"), QJsonArray());
}

void tst_CSVGDocumentReader::openFile()
{
    CSVGDocument document;
    document.setShowGrid(false);
    QVERIFY(!document.openFile(L"C:\\designs\\missing.svg"));
    QCOMPARE(document.getFilePath(), QStringLiteral("C:\\designs"));
    QVERIFY(document.isShowGrid());
    QCOMPARE(document.getOwnerSvg()->getAttribute(L"viewBox"), std::wstring(L"0 0 15000 1520"));
    QVERIFY(!document.openFile(std::wstring()));
    ZOCUT_REQUIRE_RESVG(ZOCUT_RESVG_DIR);
    const QString path = QStringLiteral(ZOCUT_RESVG_DIR "/shapes/rect/simple-case.svg");
    QVERIFY(document.openFile(path.toStdWString()));
    QCOMPARE(document.getFilePath(), QFileInfo(path).absolutePath());
    QCOMPARE(document.getContentBoundingRect(), QRectF(1, 1, 198, 198));
}

// Bytes loaded into a drawing go 10 units below it, left edges aligned; ids
// continue the drawing's numbering and every reference follows its element.
void tst_CSVGDocumentReader::mergeIntoDrawing()
{
    CSVGDocument document;
    document.loadSvgData("<svg><rect id=\"rect_40\" x=\"100\" y=\"100\" width=\"50\" height=\"20\"/></svg>");
    const std::int64_t counter = document.getIdCounter();
    document.loadSvgData(
        "<svg><style><![CDATA[ .c{fill:url(#grad_1)} ]]></style><linearGradient id=\"grad_1\"/>"
        "<rect id=\"rect_40\" class=\"c\" x=\"300\" y=\"500\" width=\"10\" height=\"10\" stroke=\"url(#grad_1)\"/>"
        "<use xlink:href=\"#rect_40\"/><use xlink:href=\"#rect_4\"/></svg>");
    CSVGElement* root = document.getOwnerSvg();
    QCOMPARE(root->getChildCount(), 6);
    CSVGElement* gradient = root->getChild(2);
    auto* rect = CSVGElementShape::asShape(root->getChild(3));
    QCOMPARE(rect->getTransformedBoundingRect().toQRectF(), QRectF(100, 130, 10, 10));
    QCOMPARE(document.getElementById(L"rect_40")->getAttribute(L"x"), std::wstring(L"100"));
    QVERIFY(g_config.parseInt(rect->getId().substr(5)) >= counter);
    QCOMPARE(rect->getAttribute(L"stroke"), L"url(#" + gradient->getId() + L")");
    QCOMPARE(root->getChild(4)->getAttribute(L"xlink:href"), L"#" + rect->getId());
    QCOMPARE(root->getChild(5)->getAttribute(L"xlink:href"), std::wstring(L"#rect_4"));
    CSVGStyleRule* rule = document.findStyleRule(rect->getAttribute(L"class"));
    QVERIFY(rule);
    QCOMPARE(rule->getFillUrlIds(), std::vector<std::wstring> { gradient->getId() });
}

// A drawing whose only piece is hidden is not empty: what is merged or
// pasted into it comes beside that piece, not in its place.
void tst_CSVGDocumentReader::hiddenPieceIsKept()
{
    const std::wstring hidden = L"<svg><rect width=\"5\" height=\"5\" display=\"none\"/></svg>";
    CSVGDocument merged;
    merged.parseSvgText(hidden, false, false);
    QVERIFY(merged.loadSvgData("<svg><circle r=\"5\"/></svg>"));
    CSVGDocument pasted;
    pasted.parseSvgText(hidden, false, false);
    QVERIFY(pasted.pasteSvgText(L"<circle r=\"5\"/>"));
    for (CSVGDocument* document : { &merged, &pasted })
        QCOMPARE(childTags(document->getOwnerSvg()), QStringLiteral("rect circle"));
}

void tst_CSVGDocumentReader::paste()
{
    CSVGDocument document;
    document.parseSvgText(L"<svg><rect x=\"0\" y=\"0\" width=\"5\" height=\"5\"/></svg>", false, false);
    const std::int64_t counter = document.getIdCounter();
    CActionComposite* step = document.pasteSvgText(L"<circle id=\"c_1\" r=\"5\"/><circle r=\"10\"/>");
    QVERIFY(step);
    QCOMPARE(step->getActions().size(), size_t(2));
    const QVector<CSVGElement*> pasted = document.getSelection();
    QCOMPARE(pasted.size(), 2);
    QCOMPARE(pasted[0]->getParent(), document.getOwnerSvg());
    QCOMPARE(pasted[0]->getId(), L"circle_" + std::to_wstring(counter));
    QCOMPARE(pasted[1]->getId(), L"circle_" + std::to_wstring(counter + 1));
    document.pasteSvgTextAt(L"<svg><rect x=\"0\" y=\"0\" width=\"10\" height=\"4\"/></svg>", QPointF(100, 50));
    QCOMPARE(CSVGElementShape::asShape(document.getFirstSelected())->getTransformedBoundingRect().toQRectF(),
        QRectF(95, 48, 10, 4));
}

void tst_CSVGDocumentReader::pasteIntoText()
{
    CSVGDocument document;
    document.parseSvgText(L"<svg><text>abcd</text></svg>", false, false);
    CSVGElement* text = document.getOwnerSvg()->getChild(0);
    document.selectElement(text, Qt::green);
    document.setCaretIndex(2);
    QVERIFY(document.pasteSvgText(L"<svg>"));
    QCOMPARE(text->getText(), std::wstring(L"ab<svg>cd"));
    QCOMPARE(document.getCaretIndex(), 7);
    QVERIFY(document.getHighlightList().findRecord(text)->getCaret());
}

void tst_CSVGDocumentReader::groupRootChildren()
{
    CSVGDocument document;
    document.parseSvgText(L"<svg class=\"k\"><rect/><!--c--><circle/></svg>", false, false);
    document.groupRootChildren();
    QCOMPARE(documentOutline(document), QStringLiteral("svg{class=k}(g{class=k}(rect <!--c--> circle))"));
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentReader)

#include "tst_CSVGDocumentReader.moc"
