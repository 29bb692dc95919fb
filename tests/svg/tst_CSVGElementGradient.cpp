#include "CSVGElementLinearGradient.h"
#include "CSVGElementPattern.h"
#include "CSVGElementStop.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <memory>

namespace {

// A stop from "offset@style".
CSVGElementStop* appendStop(CSVGElement* gradient, const QString& stop)
{
    auto* element = static_cast<CSVGElementStop*>(appendNew(gradient, L"stop"));
    setAttributes(element, "offset=" + stop.section('@', 0, 0) + "|style=" + stop.section('@', 1));
    return element;
}

// "AABBGGRR@offset" for every entry, then the transform and the units.
QString table(const CSVGElementGradient* gradient)
{
    QStringList entries;
    for (const CSVGElementGradient::Stop& stop : gradient->getStopTable())
        entries << QStringLiteral("%1@%2").arg(stop.color, 8, 16, QLatin1Char('0')).arg(stop.offset).toUpper();
    return entries.join(' ') + '|' + QString::fromStdWString(gradient->getTableTransform()) + '|'
        + QString::fromStdWString(gradient->getTableUnits());
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
};

// The numbers read from the attributes survive both kinds of copy.
void tst_CSVGElementGradient::attributesAndCopies()
{
    CSVGDocument document;
    CSVGElement* linear = appendShape<CSVGElement>(&document, "linearGradient", "x1=10%|xlink:href=#other");
    appendStop(linear, "50%@stop-color:red|stop-opacity=0.5");
    for (const bool keepId : { false, true }) {
        std::unique_ptr<CSVGElement> copy(keepId ? linear->cloneKeepId(true) : linear->clone(true));
        auto* gradient = dynamic_cast<CSVGElementLinearGradient*>(copy.get());
        QVERIFY(gradient);
        QCOMPARE(gradient->getX1(), 0.1);
        QCOMPARE(gradient->getHref(), std::wstring(L"#other"));
        auto* stop = dynamic_cast<CSVGElementStop*>(gradient->getChild(0));
        QVERIFY(stop);
        QCOMPARE(stop->getOffsetNumber(), 0.5);
        QCOMPARE(stop->getStopColor() + L' ' + stop->getStopOpacity(), std::wstring(L"red 0.5"));
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
    CSVGElement* server = appendShape<CSVGElement>(appendNew(root, L"defs"), tag, "id=ps");
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

// The gradient's attributes and stops ("offset@style", separated by ","),
// set after it was built once as a plain borrower of "lender". The table: an
// opaque white entry at 0 on either side of the stops before the sort.
void tst_CSVGElementGradient::stopTable_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QString>("stops");
    QTest::addColumn<QString>("expected");
    const auto row
        = [](const char* name, const char* tag, const char* attributes, const char* stops, const char* expected) {
              QTest::newRow(name) << QString(tag) << QString(attributes) << QString(stops) << QString(expected);
          };
    const char* const linear = "linearGradient";
    row("no stops", linear, "", "", "FFFFFFFF@0 FFFFFFFF@0||");
    row("sorted", linear, "", "0.8@stop-color:#0000FF;stop-opacity:0.5,10%@stop-color:red",
        "FFFFFFFF@0 FFFFFFFF@0 FF0000FF@0.1 7FFF0000@0.8||");
    row("opacity above one held at opaque", linear, "", "0.5@stop-color:#FF0000;stop-opacity:2",
        "FFFFFFFF@0 FFFFFFFF@0 FF0000FF@0.5||");
    row("negative opacity held at clear", linear, "", "0.5@stop-color:#FF0000;stop-opacity:-1",
        "FFFFFFFF@0 FFFFFFFF@0 000000FF@0.5||");
    row("borrowed, own units", "radialGradient", "xlink:href=#lender|gradientUnits=objectBoundingBox", "",
        "FFFFFFFF@0 FF0000FF@0 FFFFFFFF@0 FFFF0000@1|rotate(90)|objectBoundingBox");
    row("own stops not replaced", linear, "xlink:href=#lender", "0.5@stop-color:#00FF00",
        "FFFFFFFF@0 FFFFFFFF@0 FF00FF00@0.5|rotate(90)|userSpaceOnUse");
    row("reference to nothing", "radialGradient", "xlink:href=#missing", "", "FFFFFFFF@0 FFFFFFFF@0||");
}

void tst_CSVGElementGradient::stopTable()
{
    QFETCH(QString, tag);
    QFETCH(QString, attributes);
    QFETCH(QString, stops);
    QFETCH(QString, expected);
    CSVGDocument document;
    CSVGElement* root = appendNew(&document, L"svg");
    CSVGElement* lender = appendShape<CSVGElement>(
        root, "linearGradient", "id=lender|gradientTransform=rotate(90)|gradientUnits=userSpaceOnUse");
    appendStop(lender, "0@stop-color:#FF0000");
    appendStop(lender, "1@stop-color:#0000FF");
    auto* gradient = appendShape<CSVGElementGradient>(root, tag, "xlink:href=#lender");
    gradient->buildGradient();
    setAttributes(gradient, "xlink:href=|" + attributes);
    for (const QString& stop : stops.split(',', Qt::SkipEmptyParts))
        appendStop(gradient, stop);
    gradient->buildGradient();
    QCOMPARE(table(gradient), expected);
}

ZOCUT_TEST_MAIN(tst_CSVGElementGradient)
#include "tst_CSVGElementGradient.moc"
