#include "CSVGElementLinearGradient.h"
#include "CSVGElementPattern.h"
#include "CSVGElementRadialGradient.h"
#include "CSVGElementStop.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <memory>

namespace {

template <typename Element> Element* appendPaint(CSVGElement* parent, const wchar_t* tag, const wchar_t* id)
{
    auto* element = dynamic_cast<Element*>(appendNew(parent, tag));
    element->setAttribute(L"id", id, false);
    return element;
}

CSVGElementStop* appendStop(CSVGElement* gradient, const QString& offset, const QString& style)
{
    auto* stop = static_cast<CSVGElementStop*>(appendNew(gradient, L"stop"));
    setAttributes(stop, QStringLiteral("offset=") + offset + QStringLiteral("|style=") + style);
    return stop;
}

// "AABBGGRR@offset" for every entry.
QStringList table(const CSVGElementGradient* gradient)
{
    QStringList entries;
    for (const CSVGElementGradient::Stop& stop : gradient->getStopTable())
        entries << QStringLiteral("%1@%2").arg(stop.color, 8, 16, QLatin1Char('0')).arg(stop.offset).toUpper();
    return entries;
}

} // namespace

class tst_CSVGElementGradient : public QObject
{
    Q_OBJECT
private slots:
    void attributesAndCopies();
    void writtenOnlyWhenReferenced_data();
    void writtenOnlyWhenReferenced();
    void stopTable_data();
    void stopTable();
    void stopsThroughHref();
};

// The numbers read from the attributes survive both kinds of copy.
void tst_CSVGElementGradient::attributesAndCopies()
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    auto* linear = appendPaint<CSVGElementLinearGradient>(root, L"linearGradient", L"l");
    linear->setAttribute(L"x1", L"10%", false);
    linear->setAttribute(L"xlink:href", L"#other", false);
    QCOMPARE(linear->getAttribute(L"x1"), std::wstring(L"10%"));
    CSVGElementStop* stop = appendStop(linear, QStringLiteral("50%"), QStringLiteral("stop-color:red"));
    stop->setAttribute(L"stop-opacity", L"0.5", false);
    QCOMPARE(stop->getAttribute(L"offset"), std::wstring(L"50%"));

    for (const bool keepId : { false, true }) {
        std::unique_ptr<CSVGElement> copy(keepId ? linear->cloneKeepId(true) : linear->clone(true));
        auto* gradient = dynamic_cast<CSVGElementLinearGradient*>(copy.get());
        QVERIFY(gradient);
        QCOMPARE(gradient->getX1(), 0.1);
        QCOMPARE(gradient->getHref(), std::wstring(L"#other"));
        auto* stopCopy = dynamic_cast<CSVGElementStop*>(gradient->getChild(0));
        QVERIFY(stopCopy);
        QCOMPARE(stopCopy->getOffsetNumber(), 0.5);
        QCOMPARE(stopCopy->getStopColor(), std::wstring(L"red"));
        QCOMPARE(stopCopy->getStopOpacity(), std::wstring(L"0.5"));
    }
}

// The paint server "ps", and a rect with an attribute that may name it.
void tst_CSVGElementGradient::writtenOnlyWhenReferenced_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<bool>("referenced");
    for (const char* tag : { "linearGradient", "radialGradient", "pattern" }) {
        const auto row = [tag](const char* name, const char* reference, bool referenced) {
            QTest::addRow("%s, %s", tag, name) << QString(tag) << QString(reference) << referenced;
        };
        row("unreferenced", "", false);
        row("fill", "fill=url(#ps)", true);
        row("stroke in style", "style=fill:red;stroke:url(#ps)", true);
        row("class rule", "class=k", true);
        row("href", "xlink:href=#ps", true);
        row("longer id only", "fill=url(#ps2)", false);
        row("id without url", "fill=ps", false);
    }
}

void tst_CSVGElementGradient::writtenOnlyWhenReferenced()
{
    QFETCH(QString, tag);
    QFETCH(QString, reference);
    QFETCH(bool, referenced);
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElement* style = appendNew(root, L"style");
    style->setText(reference.startsWith(QLatin1String("class")) ? L".k{fill:url(#ps)}" : L".k{fill:red}", false);
    style->parseContent();
    const std::wstring tagName = tag.toStdWString();
    CSVGElement* server = appendNew(appendNew(root, L"defs"), tagName.c_str());
    server->setAttribute(L"id", L"ps", false);
    appendNew(server, tag == QLatin1String("pattern") ? L"rect" : L"stop");
    setAttributes(appendNew(root, L"rect"), reference);
    document.updateReferencedIds();

    std::wstring out = L"<";
    std::wstring expected = out;
    if (referenced)
        server->writeSvg(expected, 1, CSVGRect());
    auto* gradient = dynamic_cast<CSVGElementGradient*>(server);
    auto* pattern = dynamic_cast<CSVGElementPattern*>(server);
    QCOMPARE(gradient ? gradient->writeIfReferenced(out, 1) : pattern->writeIfReferenced(out, 1), referenced);
    QCOMPARE(out, expected);
}

// Offsets and styles of the stops, and the table they give: an opaque white
// entry at 0 on either side of the stops before the sort.
void tst_CSVGElementGradient::stopTable_data()
{
    QTest::addColumn<QStringList>("offsets");
    QTest::addColumn<QStringList>("styles");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no stops") << QStringList() << QStringList() << QStringList { "FFFFFFFF@0", "FFFFFFFF@0" };
    QTest::newRow("sorted") << QStringList { "0.8", "10%" }
                            << QStringList { "stop-color:#0000FF;stop-opacity:0.5", "stop-color:red" }
                            << QStringList { "FFFFFFFF@0", "FFFFFFFF@0", "FF0000FF@0.1", "7FFF0000@0.8" };
    QTest::newRow("opacity above one held at opaque")
        << QStringList { "0.5" } << QStringList { "stop-color:#FF0000;stop-opacity:2" }
        << QStringList { "FFFFFFFF@0", "FFFFFFFF@0", "FF0000FF@0.5" };
    QTest::newRow("negative opacity held at clear")
        << QStringList { "0.5" } << QStringList { "stop-color:#FF0000;stop-opacity:-1" }
        << QStringList { "FFFFFFFF@0", "FFFFFFFF@0", "000000FF@0.5" };
}

void tst_CSVGElementGradient::stopTable()
{
    QFETCH(QStringList, offsets);
    QFETCH(QStringList, styles);
    QFETCH(QStringList, expected);
    CSVGDocument document;
    auto* gradient = appendPaint<CSVGElementLinearGradient>(appendNew(&document, L"svg"), L"linearGradient", L"g");
    for (int i = 0; i < offsets.size(); ++i)
        appendStop(gradient, offsets[i], styles[i]);
    gradient->buildGradient();
    QCOMPARE(table(gradient), expected);
}

void tst_CSVGElementGradient::stopsThroughHref()
{
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    auto* lender = appendPaint<CSVGElementLinearGradient>(root, L"linearGradient", L"lender");
    lender->setAttribute(L"gradientTransform", L"rotate(90)", false);
    lender->setAttribute(L"gradientUnits", L"userSpaceOnUse", false);
    appendStop(lender, QStringLiteral("0"), QStringLiteral("stop-color:#FF0000"));
    appendStop(lender, QStringLiteral("1"), QStringLiteral("stop-color:#0000FF"));

    auto* borrower = appendPaint<CSVGElementRadialGradient>(root, L"radialGradient", L"borrower");
    borrower->setAttribute(L"xlink:href", L"#lender", false);
    borrower->setAttribute(L"gradientUnits", L"objectBoundingBox", false);
    borrower->buildGradient();
    QCOMPARE(table(borrower), (QStringList { "FFFFFFFF@0", "FF0000FF@0", "FFFFFFFF@0", "FFFF0000@1" }));
    QCOMPARE(borrower->getTableTransform(), std::wstring(L"rotate(90)"));
    QCOMPARE(borrower->getTableUnits(), std::wstring(L"objectBoundingBox"));

    // Own stops are not replaced; a reference to nothing lends nothing.
    auto* own = appendPaint<CSVGElementLinearGradient>(root, L"linearGradient", L"own");
    own->setAttribute(L"xlink:href", L"#lender", false);
    appendStop(own, QStringLiteral("0.5"), QStringLiteral("stop-color:#00FF00"));
    own->buildGradient();
    QCOMPARE(table(own), (QStringList { "FFFFFFFF@0", "FFFFFFFF@0", "FF00FF00@0.5" }));
    borrower->setAttribute(L"xlink:href", L"#missing", false);
    borrower->buildGradient();
    QCOMPARE(table(borrower), (QStringList { "FFFFFFFF@0", "FFFFFFFF@0" }));
    QVERIFY(borrower->getTableTransform().empty());
}

ZOCUT_TEST_MAIN(tst_CSVGElementGradient)
#include "tst_CSVGElementGradient.moc"
