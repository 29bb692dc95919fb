#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <memory>

namespace {

void row(const char* name, const char* input, const char* expected)
{
    QTest::newRow(name) << QString(input) << QString(expected);
}

// A style element under the parent that has read the sheet from a CDATA child.
CSVGElementStyle* addSheet(CSVGElement* parent, const QString& sheet)
{
    auto* style = static_cast<CSVGElementStyle*>(appendNew(parent, L"style"));
    appendNew(style, L"[CDATA[")->setText(L"<![CDATA[" + sheet.toStdWString() + L"]]>", false);
    style->parseContent();
    return style;
}

QString properties(const CSVGStyleRule* rule)
{
    QStringList pairs;
    for (const auto& [name, value] : rule->getProperties())
        pairs << QString::fromStdWString(name + L'=' + value);
    return pairs.join(QLatin1Char('|'));
}

// "name{fill=...|...}" for every rule, in order.
QString rules(const CSVGElementStyle* style)
{
    QStringList out;
    for (const CSVGStyleRule* rule : style->getRules())
        out << QString::fromStdWString(rule->getName()) + QLatin1Char('{') + properties(rule) + QLatin1Char('}');
    return out.join(QLatin1Char(' '));
}

std::wstring fillOf(const CSVGDocument& document, const wchar_t* name)
{
    const CSVGStyleRule* rule = document.findStyleRule(name);
    return rule ? rule->getProperties().at(L"fill") : L"(none)";
}

} // namespace

class tst_CSVGElementStyle : public QObject
{
    Q_OBJECT
private slots:
    void referencesAndRenames();
    void sheets_data();
    void sheets();
    void malformedSheetsFinishQuickly_data();
    void malformedSheetsFinishQuickly();
    void eachSheetKeepsItsRules();
};

// Only the start of an id is matched, so g10 becomes g90. A renamed rule is
// found under its new name only.
void tst_CSVGElementStyle::referencesAndRenames()
{
    CSVGDocument document;
    CSVGElementStyle* style
        = addSheet(appendNew(&document, L"svg"), QStringLiteral(".c{fill:url(#g1);stroke:url(#g10)}"));
    CSVGStyleRule* rule = style->findRule(L"c");
    QVERIFY(rule && !style->findRule(L".c") && !style->findRule(L"C"));
    rule->replaceUrlReference(L"g1", L"g9");
    QCOMPARE(properties(rule), QStringLiteral("fill=url(#g9)|stroke=url(#g90)"));
    QCOMPARE(rule->getFillUrlIds(), std::vector<std::wstring> { L"g9" });

    std::map<std::wstring, std::wstring> renames;
    rule->renameUnique(renames);
    QVERIFY(QString::fromStdWString(rule->getName()).contains(QRegularExpression(QStringLiteral("^st\\d{11,}$"))));
    QVERIFY(!style->findRule(L"c"));
    QCOMPARE(document.findStyleRule(renames.at(L"c")), rule);
    rule->setText(L"fill:red;stroke:url(#g1)");
    QVERIFY(rule->getFillUrlIds().empty());
}

void tst_CSVGElementStyle::sheets_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");
    row("blanks trimmed", ".a{  fill :  red ; stroke:blue ;}", "a{fill=red|stroke=blue}");
    row("line breaks separate", ".a{\n fill:red\r\n stroke:blue\n}", "a{fill=red|stroke=blue}");
    row("repeated name keeps the last", ".a{fill:red;fill:green}", "a{fill=green}");
    row("piece without colon", ".a{fill:red;junk;stroke:blue;x}", "a{fill=red|stroke=blue}");
    row("empty name dropped", ".a{:red;fill:}", "a{fill=}");
    row("element selector skipped", "rect{fill:green} .b{fill:red}", "b{fill=red}");
    row("number in a skipped block", "rect{stroke-width:0.5} .b{fill:red}", "b{fill=red}");
    row("list without blanks", ".a,.b{fill:red}", "a{fill=red} b{fill=red}");
    row("list with blanks: first only", ".a, .b{fill:red}", "a{fill=red}");
    row("defined twice", ".a{fill:red}.a{stroke:red}", "a{stroke=red}");
    row("element with class", "rect.c{fill:red}", "c{fill=red}");
    row("empty block", ".a{}", "a{noused=}");
    row("no brace", ".a fill:red", "");
    row("unclosed rule after a whole one", ".a{fill:red}.b{", "a{fill=red}");
}

void tst_CSVGElementStyle::sheets()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    CSVGDocument document;
    QCOMPARE(rules(addSheet(appendNew(&document, L"svg"), sheet)), expected);
}

// Each would loop for ever, or take quadratic time, in a careless parser.
void tst_CSVGElementStyle::malformedSheetsFinishQuickly_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::newRow("declaration without colon") << QStringLiteral(".a{fill:red;stroke}");
    QTest::newRow("many dots") << QString(200000, QLatin1Char('.'));
    QTest::newRow("many rules without closing") << QStringLiteral(".a{").repeated(50000);
    QTest::newRow("long selector list") << QStringLiteral(".x") + QStringLiteral(",.y").repeated(50000) + "{a:b}";
    QString many;
    for (int i = 0; i < 20000; ++i)
        many += QStringLiteral(".c%1{fill:red;stroke}").arg(i);
    QTest::newRow("many rules") << many;
    QString noise;
    QRandomGenerator random(7);
    const QString alphabet = QStringLiteral(".{}:;, \t\r\nab");
    for (int i = 0; i < 200000; ++i)
        noise += alphabet[random.bounded(alphabet.size())];
    QTest::newRow("random noise") << noise;
}

void tst_CSVGElementStyle::malformedSheetsFinishQuickly()
{
    QFETCH(QString, sheet);
    CSVGDocument document;
    QElapsedTimer timer;
    timer.start();
    addSheet(appendNew(&document, L"svg"), sheet);
    // Generous even under sanitizers; a quadratic parse takes minutes.
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

// The later sheet's definition wins, as in CSS, but stays its own: deleting
// the earlier sheet must not take it away. Sheets out of the tree, and copies
// that have died, do not count.
void tst_CSVGElementStyle::eachSheetKeepsItsRules()
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElementStyle* first = addSheet(root, QStringLiteral(".c{fill:red}.d{fill:green}"));
    CSVGElement* group = appendNew(root, L"g");
    CSVGElementStyle* second = addSheet(group, QStringLiteral(".c{fill:blue}"));
    QCOMPARE(rules(first), QStringLiteral("c{fill=red} d{fill=green}"));
    QCOMPARE(fillOf(document, L"c"), std::wstring(L"blue"));

    QVERIFY(root->deleteChild(first));
    QCOMPARE(fillOf(document, L"c"), std::wstring(L"blue"));
    QCOMPARE(fillOf(document, L"d"), std::wstring(L"(none)"));

    QVERIFY(root->removeChild(group, true));
    QVERIFY(document.getStyleElements().empty());
    QVERIFY(root->appendChild(group, true, true));
    QCOMPARE(document.getStyleElements(), std::vector<CSVGElementStyle*> { second });

    std::unique_ptr<CSVGElement> kept(second->cloneKeepId(false));
    QCOMPARE(rules(static_cast<CSVGElementStyle*>(kept.get())), QStringLiteral("c{fill=blue}"));
    std::unique_ptr<CSVGElement> plain(second->clone(false));
    QVERIFY(static_cast<CSVGElementStyle*>(plain.get())->getRules().empty());
    kept.reset();
    plain.reset();
    QCOMPARE(document.getStyleElements(), std::vector<CSVGElementStyle*> { second });
}

ZOCUT_TEST_MAIN(tst_CSVGElementStyle)
#include "tst_CSVGElementStyle.moc"
