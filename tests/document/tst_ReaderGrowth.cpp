#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGTextOutlines.h"
#include "CSVGTreeDisposal.h"
#include "TestEnvironment.h"

#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <malloc.h>
#include <memory>
#include <tuple>
#include <utility>

namespace {

// A file of size n of one kind of input.
using Generator = std::function<QByteArray(int n)>;

QByteArray repeated(const QByteArray& piece, int n)
{
    QByteArray out;
    out.reserve(piece.size() * n);
    for (int i = 0; i < n; ++i)
        out += piece;
    return out;
}

QByteArray svgFile(const QByteArray& content, const QByteArray& rootAttributes = QByteArray())
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\"" + rootAttributes + ">" + content + "</svg>";
}

// One timing of reading the bytes the given number of times in a row, per
// read. The timings of n and of 8n bytes each take as many bytes, so that
// both are as long and a busy machine stretches both alike.
qint64 nanosecondsPerRead(const QByteArray& bytes, int reads)
{
    // Each read takes text as new: outlines kept from a read before would
    // make a small file cheaper than a large one that overflows their store.
    qint64 elapsed = 0;
    for (int i = 0; i < reads; ++i) {
        CSVGTextOutlines::clear();
        CSVGDocument document;
        QElapsedTimer timer;
        timer.start();
        document.loadSvgData(bytes);
        elapsed += timer.nsecsElapsed();
    }
    return elapsed / reads;
}

const int kRounds = 5;

// The least of a few timings: the machine's other work only ever adds.
qint64 nanosecondsToRead(const QByteArray& bytes, int reads)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < kRounds; ++round)
        best = std::min(best, nanosecondsPerRead(bytes, reads));
    return best;
}

// The least timings of n bytes (eight reads a round) and of 8n bytes (one),
// their rounds taken in turn and the order alternating, so that whatever
// else the machine does for a while weighs on both, not on one alone.
std::pair<qint64, qint64> nanosecondsToReadInTurn(const QByteArray& small, const QByteArray& large)
{
    qint64 bestSmall = std::numeric_limits<qint64>::max();
    qint64 bestLarge = bestSmall;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0)
            bestSmall = std::min(bestSmall, nanosecondsPerRead(small, 8));
        bestLarge = std::min(bestLarge, nanosecondsPerRead(large, 1));
        if (round % 2 == 1)
            bestSmall = std::min(bestSmall, nanosecondsPerRead(small, 8));
    }
    return { bestSmall, bestLarge };
}

// Words of one length, no two alike.
QByteArray distinctRuns(int n)
{
    QByteArray runs;
    for (int i = 0; i < n; ++i)
        runs += "<tspan>w" + QByteArray::number(i).rightJustified(6, '0') + "</tspan>";
    return svgFile("<text font-family=\"DejaVu Sans\">" + runs + "</text>");
}

// The heap in use, by default with the text outline store emptied: it is
// bounded, and no part of what a drawing holds.
qint64 heapInUse(bool withStore = false)
{
    if (!withStore)
        CSVGTextOutlines::clear();
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}

} // namespace

Q_DECLARE_METATYPE(Generator)

// Reading time grows linearly with the file whatever the file holds: a file
// eight times as large reads in about eight times as long. A reader that
// rescans what it has read grows with the square (sixty-four times); the
// bound between lies far from both, so that neither the machine's speed nor
// its load decides.
class tst_ReaderGrowth : public QObject
{
    Q_OBJECT

private slots:
    void linear_data();
    void linear();
    void textCostsWhatItsOutlineDoes_data();
    void textCostsWhatItsOutlineDoes();
    void aLongLineIsHeldOnce();
};

void tst_ReaderGrowth::linear_data()
{
    QTest::addColumn<Generator>("generate");
    QTest::addColumn<int>("n");
    // The largest n whose 8n stays within the reader's limits (0: none).
    QTest::addColumn<int>("largest");

    QTest::newRow("markup-entity references") << Generator([](int n) {
        // 8n references stay within the limits of entity expansion.
        return "<!DOCTYPE svg [<!ENTITY e \"<g/>\">]>"
            + svgFile("<g>" + repeated("&e; " + QByteArray(1000, 'x') + ' ', n) + "</g>");
    }) << 1000 << 1000;
    QTest::newRow("&#60; through an entity") << Generator([](int n) {
        return "<!DOCTYPE svg [<!ENTITY l \"&#60;\">]>"
            + svgFile("<title>" + repeated(QByteArray(40, 'a') + "&l;", n) + "</title>");
    }) << 12000 << 24000;
    QTest::newRow("long names") << Generator([](int n) {
        return svgFile("<rect " + QByteArray(n, 'a') + "=\"1\" width=\"1\" height=\"1\"/>");
    }) << 200000 << 0;
    QTest::newRow("many text runs") << Generator([](int n) {
        return svgFile("<text>" + repeated("a<tspan>b</tspan> ", n) + "</text>");
    }) << 200 << 0;
    QTest::newRow("many tspans of distinct words") << Generator(distinctRuns) << 500 << 0;
    QTest::newRow("deep groups") << Generator([](int n) {
        // Groups n deep, many times over, so that the time is measurable.
        return svgFile(repeated(repeated("<g>", n) + "<rect width=\"1\" height=\"1\"/>" + repeated("</g>", n), 400));
    }) << 30 << 30;
    QTest::newRow("long path") << Generator([](int n) {
        return svgFile("<path d=\"M0 0" + repeated(" l1 1", n) + "\"/>");
    }) << 20000 << 0;
    QTest::newRow("attributes under a prefix")
        << Generator([](int n) { return svgFile("<g xmlns:a=\"urn:a\"" + repeated(" a:x=\"1\"", n) + "/>"); }) << 5000
        << 0;
    QTest::newRow("namespace declarations then prefixed elements") << Generator([](int n) {
        QByteArray declarations;
        QByteArray elements;
        for (int i = 0; i < n; ++i) {
            declarations += " xmlns:p" + QByteArray::number(i) + "=\"urn:p\"";
            elements += "<p" + QByteArray::number(i) + ":g/>";
        }
        return svgFile(elements, declarations);
    }) << 3500 << 0;
    QTest::newRow("many attributes on one element") << Generator([](int n) {
        // Names the table knows already: one file may bring few new ones.
        QByteArray attributes;
        for (int i = 0; i < n; ++i) {
            const QByteArray name = "known-" + QByteArray::number(i);
            g_config.getAttributeId(QString::fromLatin1(name).toStdWString());
            attributes += " " + name + "=\"1\"";
        }
        return svgFile("<g" + attributes + "/>");
    }) << 3000 << 0;
}

void tst_ReaderGrowth::linear()
{
    QFETCH(Generator, generate);
    QFETCH(int, n);
    QFETCH(int, largest);
    // A size that reads in a few milliseconds is the machine's noise: the
    // smaller size grows until it takes long enough to measure, and where
    // the reader's limits stop it short, its eight reads in a row still do.
    const int cap = largest > 0 ? largest : 16 * n;
    qint64 small = nanosecondsToRead(generate(n), 8);
    while (small < 20000000 && 2 * n <= cap) {
        n *= 2;
        small = nanosecondsToRead(generate(n), 8);
    }
    qint64 large = 0;
    std::tie(small, large) = nanosecondsToReadInTurn(generate(n), generate(8 * n));
    const double ratio = double(large) / double(std::max<qint64>(small, 1));
    qDebug("%s: %.1f ms, 8n %.1f ms, ratio %.1f", QTest::currentDataTag(), small / 1e6, large / 1e6, ratio);
    QVERIFY2(ratio < 24.0,
        qPrintable(
            QStringLiteral("n %1: %2 ms, 8n: %3 ms, ratio %4").arg(n).arg(small / 1e6).arg(large / 1e6).arg(ratio)));
}

void tst_ReaderGrowth::textCostsWhatItsOutlineDoes_data()
{
    QTest::addColumn<QByteArray>("run");
    // How many times the drawing holds a run's outline.
    QTest::addColumn<int>("outlines");

    // Its own and its text's.
    QTest::newRow("distinct words") << QByteArray() << 2;
    // Each run starts from the same point, after a line break that draws
    // nothing: the runs share one outline, and their text holds it again.
    QTest::newRow("one word, a line break after each") << QByteArray("<tspan>w1</tspan>\n") << 1;
}

// A run of lettering holds its outline at most twice: less than a path of
// that outline, which keeps its segments beside it.
// The address sanitizer keeps the heap to itself, so this is measured in the
// plain build.
void tst_ReaderGrowth::textCostsWhatItsOutlineDoes()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer's heap cannot be measured");
#endif
    QFETCH(QByteArray, run);
    QFETCH(int, outlines);
    const int n = 20000;
    const QByteArray text = run.isEmpty()
        ? distinctRuns(n)
        : svgFile("<text x=\"10\" y=\"20\" font-family=\"DejaVu Sans\">" + repeated(run, n) + "</text>");
    const qint64 start = heapInUse();
    CSVGDocument lettering;
    lettering.loadSvgData(text);
    const qint64 perRun = (heapInUse() - start) / n;
    CSVGElement* runs = lettering.getOwnerSvg()->getChild(0);
    QVERIFY(runs->getChildCount() >= n);
    qint64 outlineBytes = 0;
    for (int i = 0; i < runs->getChildCount(); ++i)
        outlineBytes += CSVGElementShape::asShape(runs->getChild(i))->getPainterPath().elementCount();
    outlineBytes = outlineBytes * qint64(sizeof(QPainterPath::Element)) / n;
    // And the elements that hold it: the tspan, its characters and what
    // follows it.
    QVERIFY2(perRun <= outlines * outlineBytes + 3000,
        qPrintable(QStringLiteral("run %1 B, its outline %2 B").arg(perRun).arg(outlineBytes)));
}

// A line longer than the outline store's bound is held by its drawing
// alone, once, and goes with it.
void tst_ReaderGrowth::aLongLineIsHeldOnce()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer's heap cannot be measured");
#endif
    const qint64 start = heapInUse();
    auto lettering = std::make_unique<CSVGDocument>();
    lettering->loadSvgData(svgFile("<text x=\"10\" y=\"20\" font-family=\"DejaVu Sans\">"
        + QByteArray("abcdefghij ").repeated(20000) + "</text>"));
    const qint64 outlineBytes
        = CSVGElementShape::asShape(lettering->getOwnerSvg()->getChild(0))->getPainterPath().elementCount()
        * qint64(sizeof(QPainterPath::Element));
    const qint64 held = heapInUse(true) - start;
    QVERIFY2(
        held < outlineBytes * 3 / 2, qPrintable(QStringLiteral("held %1 B, outline %2 B").arg(held).arg(outlineBytes)));
    lettering.reset();
    CSVGTreeDisposal::flush();
    QVERIFY2(heapInUse(true) - start < outlineBytes / 4, qPrintable(QString::number(heapInUse(true) - start)));
}

ZOCUT_TEST_MAIN(tst_ReaderGrowth)
#include "tst_ReaderGrowth.moc"
