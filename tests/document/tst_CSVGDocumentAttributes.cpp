#include "CommandDocument.h"
#include "TestEnvironment.h"

#include <QRegularExpression>

#include <set>

namespace {

const char* const kPieces = "<rect id=\"r\" x=\"10\" y=\"10\" width=\"50\" height=\"30\" fill=\"#00FF00\"/>"
                            "<circle id=\"o\" cx=\"120\" cy=\"60\" r=\"20\" stroke=\"blue\"/>"
                            "<text id=\"t\" x=\"10\" y=\"120\" font-weight=\"bold\">Cut</text>";
const char* const kGradient = "<linearGradient id=\"shade\"><stop id=\"from\" offset=\"0\" stop-color=\"red\"/>"
                              "<stop id=\"to\" offset=\"1\" stop-color=\"blue\"/></linearGradient>";

std::vector<std::wstring> wide(const QString& list)
{
    std::vector<std::wstring> items;
    for (const QString& item : list.split('|'))
        items.push_back(item.toStdWString());
    return items;
}

QString attribute(const CommandDocument& fixture, const QString& id, const QString& name)
{
    return QString::fromStdWString(fixture.byId(id)->getAttribute(name.toStdWString()));
}

} // namespace

class tst_CSVGDocumentAttributes : public QObject
{
    Q_OBJECT
private slots:
    void oneUndoStep_data();
    void oneUndoStep();
    void textContentUndo();
    void writtenValue_data();
    void writtenValue();
    void pageSizeWithoutSelection();
    void unequalListsChangeNothing();
    void defaultFill_data();
    void defaultFill();
    void twoFillsGiveUniqueIds();
    void unusablePaintServerChangesNothing_data();
    void unusablePaintServerChangesNothing();
};

void tst_CSVGDocumentAttributes::oneUndoStep_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("values");
    QTest::newRow("three attributes on two pieces") << "r o"
                                                    << "fill|stroke|stroke-width"
                                                    << "#FF0000|black|3";
    QTest::newRow("gradient fill") << "r o"
                                   << "" << kGradient;
}

void tst_CSVGDocumentAttributes::oneUndoStep()
{
    QFETCH(QString, selection);
    QFETCH(QString, names);
    QFETCH(QString, values);
    CommandDocument fixture(kPieces);
    fixture.select(selection.split(' '));
    checkOneUndoStep(fixture, [&] {
        if (names.isEmpty())
            fixture.document.setFillUrl(values.toStdWString());
        else
            fixture.document.setSelectionAttributes(wide(names), wide(values), false);
    });
}

// The characters come back, though the text's inner node is made anew.
void tst_CSVGDocumentAttributes::textContentUndo()
{
    CommandDocument fixture(kPieces);
    fixture.select({ "t" });
    fixture.document.setSelectionAttributes({ L"textcontent" }, { L"Wrap" }, false);
    QCOMPARE(fixture.byId("t")->getText(), std::wstring(L"Wrap"));
    fixture.document.undo();
    QCOMPARE(fixture.byId("t")->getText(), std::wstring(L"Cut"));
    fixture.document.redo();
    QCOMPARE(fixture.byId("t")->getText(), std::wstring(L"Wrap"));
}

void tst_CSVGDocumentAttributes::writtenValue_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("bold on a bold text is switched off") << "t"
                                                         << "font-weight"
                                                         << "bold"
                                                         << "";
    QTest::newRow("bold on a rectangle") << "r"
                                         << "font-weight"
                                         << "bold"
                                         << "bold";
    QTest::newRow("text content of a rectangle is an attribute") << "r"
                                                                 << "textcontent"
                                                                 << "Wrap"
                                                                 << "Wrap";
}

void tst_CSVGDocumentAttributes::writtenValue()
{
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, written);
    CommandDocument fixture(kPieces);
    fixture.select({ id });
    fixture.document.setSelectionAttributes({ name.toStdWString() }, { value.toStdWString() }, false);
    QCOMPARE(attribute(fixture, id, name), written);
}

void tst_CSVGDocumentAttributes::pageSizeWithoutSelection()
{
    CommandDocument fixture(kPieces);
    fixture.document.getOwnerSvg()->setAttribute(L"height", L"200", false);
    fixture.document.setSelectionAttributes({ L"width" }, { L"300" }, false);
    QCOMPARE(QString::fromStdWString(fixture.document.getOwnerSvg()->getAttribute(L"viewBox")), QString("0 0 300 200"));
    QCOMPARE(fixture.steps(), 0);
}

void tst_CSVGDocumentAttributes::unequalListsChangeNothing()
{
    CommandDocument fixture(kPieces);
    fixture.select({ "r" });
    const QString before = fixture.text();
    fixture.document.setSelectionAttributes({ L"fill", L"stroke" }, { L"red" }, true);
    QCOMPARE(fixture.text(), before);
    QCOMPARE(fixture.steps(), 0);
}

void tst_CSVGDocumentAttributes::defaultFill_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<bool>("textFill");
    QTest::newRow("one text") << "t" << true;
    QTest::newRow("a text and a rectangle") << "t r" << false;
}

void tst_CSVGDocumentAttributes::defaultFill()
{
    QFETCH(QString, selection);
    QFETCH(bool, textFill);
    CommandDocument fixture(kPieces);
    CSVGDocument& document = fixture.document;
    fixture.select(selection.split(' '));
    const std::wstring shapeFill = document.getDefaultFill();
    const std::wstring textFillBefore = document.getDefaultTextFill();
    document.setSelectionAttributes({ L"fill" }, { L"#123456" }, true);
    QCOMPARE(document.getDefaultTextFill(), textFill ? std::wstring(L"#123456") : textFillBefore);
    QCOMPARE(document.getDefaultFill(), textFill ? shapeFill : std::wstring(L"#123456"));
}

// The same paint server twice: every id in the text once, each target
// filled with a server that is there.
void tst_CSVGDocumentAttributes::twoFillsGiveUniqueIds()
{
    CommandDocument fixture(kPieces);
    fixture.select({ "r" });
    fixture.document.setFillUrl(QString(kGradient).toStdWString());
    fixture.select({ "o" });
    fixture.document.setFillUrl(QString(kGradient).toStdWString());
    const QString text = fixture.text();
    std::multiset<QString> ids;
    QRegularExpressionMatchIterator matches = QRegularExpression(" id=\"([^\"]*)\"").globalMatch(text);
    while (matches.hasNext())
        ids.insert(matches.next().captured(1));
    for (const QString& id : ids)
        QVERIFY2(ids.count(id) == 1, qPrintable(id));
    QVERIFY(!text.contains("url(#)"));
    for (const char* piece : { "r", "o" }) {
        const QString fill = attribute(fixture, piece, "fill");
        QVERIFY(fixture.byId(fill.mid(5, fill.size() - 6)));
        QCOMPARE(attribute(fixture, piece, "fill-opacity"), QString("1"));
    }
}

void tst_CSVGDocumentAttributes::unusablePaintServerChangesNothing_data()
{
    QTest::addColumn<QString>("svgText");
    QTest::newRow("empty") << "";
    QTest::newRow("broken") << "</stop>< <";
    QTest::newRow("two servers") << QString(kGradient) + kGradient;
    QTest::newRow("not a paint server") << "<rect width=\"5\" height=\"5\"/>";
}

void tst_CSVGDocumentAttributes::unusablePaintServerChangesNothing()
{
    QFETCH(QString, svgText);
    CommandDocument fixture(kPieces);
    fixture.select({ "r" });
    const QString before = fixture.text();
    fixture.document.setFillUrl(svgText.toStdWString());
    QCOMPARE(fixture.text(), before);
    QCOMPARE(fixture.steps(), 0);
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentAttributes)
#include "tst_CSVGDocumentAttributes.moc"
