#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGUtils.h"
#include "Prompt.h"
#include "TestElements.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <limits>

namespace {

using Outcome = CSVGDocument::PlotOutcome;

// What a section text holds: the element names and the polylines' points.
struct Section
{
    QStringList tags;
    QVector<QPolygonF> polylines;
    QString error;
};

Section readSection(const std::wstring& text)
{
    Section section;
    QXmlStreamReader xml(QString::fromStdWString(text));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        section.tags << xml.name().toString();
        if (xml.name() != QLatin1String("polyline"))
            continue;
        const QStringList numbers = xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
        QPolygonF polyline;
        for (int i = 0; i + 1 < numbers.size(); i += 2)
            polyline << QPointF(numbers[i].toDouble(), numbers[i + 1].toDouble());
        section.polylines << polyline;
    }
    section.error = xml.hasError() ? xml.errorString() : QString();
    return section;
}

// "x y x y ..." per polyline.
QStringList pointTexts(const QVector<QPolygonF>& polylines)
{
    QStringList texts;
    for (const QPolygonF& polyline : polylines) {
        QStringList numbers;
        for (const QPointF& p : polyline)
            numbers << QString::number(p.x()) << QString::number(p.y());
        texts << numbers.join(' ');
    }
    return texts;
}

template <typename Polylines> QVector<QLineF> segmentsOf(const Polylines& polylines, double shift = 0)
{
    QVector<QLineF> segments;
    for (const QPolygonF& polyline : polylines) {
        for (int i = 0; i + 1 < polyline.size(); ++i)
            segments << QLineF(polyline[i], polyline[i + 1]).translated(shift, 0);
    }
    return segments;
}

double totalLength(const QVector<QLineF>& segments)
{
    double sum = 0;
    for (const QLineF& segment : segments)
        sum += segment.length();
    return sum;
}

double distance(const QPointF& p, const QLineF& segment)
{
    const QPointF d = segment.p2() - segment.p1();
    const double squared = QPointF::dotProduct(d, d);
    const double t = squared > 0 ? qBound(0.0, QPointF::dotProduct(p - segment.p1(), d) / squared, 1.0) : 0.0;
    return QLineF(p, segment.p1() + t * d).length();
}

// Every segment's ends and middle lie within 1e-3 of one of the others.
bool covered(const QVector<QLineF>& segments, const QVector<QLineF>& by)
{
    for (const QLineF& segment : segments) {
        for (const QPointF& p : { segment.p1(), segment.center(), segment.p2() }) {
            if (std::none_of(by.begin(), by.end(), [&p](const QLineF& s) { return distance(p, s) < 1e-3; }))
                return false;
        }
    }
    return true;
}

// Clipper's open-path intersection, on coordinates to 1e-4.
QVector<QPolygonF> clipperPieces(const QPolygonF& polyline, const QRectF& rect)
{
    const auto toClipper = [](const QPolygonF& polygon) {
        ClipperLib::Path path;
        for (const QPointF& p : polygon)
            path << ClipperLib::IntPoint(qRound64(p.x() * 1e4), qRound64(p.y() * 1e4));
        return path;
    };
    ClipperLib::Clipper clipper;
    clipper.AddPath(toClipper(polyline), ClipperLib::ptSubject, false);
    clipper.AddPath(toClipper(QPolygonF(rect)), ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctIntersection, tree);
    ClipperLib::Paths paths;
    ClipperLib::OpenPathsFromPolyTree(tree, paths);
    QVector<QPolygonF> pieces;
    for (const ClipperLib::Path& path : paths) {
        pieces << QPolygonF();
        for (const ClipperLib::IntPoint& p : path)
            pieces.last() << QPointF(p.X / 1e4, p.Y / 1e4);
    }
    return pieces;
}

// Warnings reach the prompt seam as in the editor, and are answered there.
struct PromptRecorder
{
    PromptRecorder()
    {
        CSVGDocument::setWarningHook(
            [](const QString& title, const QString& text) { Prompt::warning(nullptr, title, text); });
        Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
            shown << title + ": " + text;
            return QVariant(int(QMessageBox::Ok));
        });
    }
    ~PromptRecorder()
    {
        Prompt::setHandler(nullptr);
        CSVGDocument::setWarningHook(nullptr);
    }
    QStringList shown;
};

} // namespace

Q_DECLARE_METATYPE(CSVGDocument::PlotOutcome)

class tst_CSVGDocumentPlot : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void strip();
    void frames_data();
    void frames();
    void writerSectionRange();
    void clipAgainstClipper();
    void grouping();
    void hiddenPiecesAreNotCut_data();
    void hiddenPiecesAreNotCut();
};

void tst_CSVGDocumentPlot::initTestCase()
{
    QSettings().setValue("hpgl/PlotEnd", 20);
}

// Cut job as the plot dialog runs it: each section written to a file of its
// own. A strip of 2.5 frames of curved pieces, two of them across the frame
// boundaries.
void tst_CSVGDocumentPlot::strip()
{
    TestDrawing drawing;
    QString source = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"15000mm\" height=\"1520mm\" "
                     "viewBox=\"0 0 15000 1520\">";
    for (int i = 0; i < 21; ++i) {
        const double x = 10 + 120 * i;
        QPainterPath piece;
        if (i % 2) {
            piece.addEllipse(x, 20, 100, 60);
        } else {
            piece.moveTo(x, 50);
            piece.cubicTo(x + 30, -10, x + 70, 110, x + 100, 50);
            piece.lineTo(x + 50, 90);
            piece.closeSubpath();
        }
        CSVGElementPath* path = drawing.document.createPathElement(piece);
        drawing.root->appendChild(path, true, false);
        source += QString("<path d=\"%1\"/>").arg(QString::fromStdWString(path->getAttribute(L"d")));
    }
    drawing.root->updateMatrix(nullptr, false);
    QVector<QPolygonF> flattened;
    for (int i = 0; i < drawing.root->getChildCount(); ++i) {
        auto* shape = CSVGElementShape::asShape(drawing.root->getChild(i));
        flattened += CSVGUtils::pathToPolygons(shape->getTransformedPath(), QTransform()).toVector();
    }
    const std::wstring before = drawing.document.toSvgText();
    drawing.document.selectElement(drawing.root->getChild(3), Qt::green);
    const QVector<CSVGElement*> selection = drawing.document.getSelection();
    const size_t history = drawing.document.getHistory().size();

    const double width = 1000;
    Outcome outcome = Outcome::NoSections;
    const std::vector<std::wstring> texts = drawing.document.buildPlotSections(width, false, &outcome);
    QCOMPARE(int(texts.size()), 3);
    QCOMPARE(outcome, Outcome::Sections);
    QVERIFY(drawing.document.toSvgText() == before);
    QCOMPARE(drawing.document.getSelection(), selection);
    QCOMPARE(drawing.document.getHistory().size(), history);
    QVERIFY(drawing.document.isIdTracking());

    QTemporaryDir folder;
    QFile file(folder.filePath("source.svg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((source + "</svg>").toUtf8());
    file.close();
    const QStringList size { "-w", "3000" };
    // Five units are one pixel at this size.
    const QImage expected = rsvgOutlines(file.fileName(), size, 5.0);
    QVERIFY(darkCount(expected) > 1000);
    QImage drawn(expected.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::white);
    QPainter composite(&drawn);
    composite.setCompositionMode(QPainter::CompositionMode_Darken);

    QVector<QLineF> laidOut;
    for (size_t k = 0; k < texts.size(); ++k) {
        const Section section = readSection(texts[k]);
        QVERIFY2(section.error.isEmpty(), qPrintable(section.error));
        QCOMPARE(QSet<QString>(section.tags.begin(), section.tags.end()), QSet<QString>({ "svg", "polyline" }));
        for (const QPolygonF& polyline : section.polylines)
            QVERIFY(QRectF(0, -1e6, width, 2e6).contains(polyline.boundingRect()));
        laidOut += segmentsOf(section.polylines, k * width);
        const QString path = folder.filePath(QString("section%1.svg").arg(k));
        QVERIFY(writeTextFile(path, QString::fromStdWString(texts[k])));
        const QImage image = rsvgOutlines(path, size, 5.0);
        QCOMPARE(image.size(), expected.size());
        composite.drawImage(int(k) * expected.width() / 15, 0, image);
    }
    composite.end();

    const QVector<QLineF> original = segmentsOf(flattened);
    QVERIFY(qAbs(totalLength(laidOut) - totalLength(original)) < 1e-3);
    QVERIFY(covered(original, laidOut));
    QVERIFY(covered(laidOut, original));
    QVERIFY(shareNear(drawn, expected, 2) >= 0.97);
    QVERIFY(shareNear(expected, drawn, 2) >= 0.97);
}

// Path data of the pieces, the frame length, the end line; each text's
// polylines, the outcome and the prompts shown.
void tst_CSVGDocumentPlot::frames_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<double>("width");
    QTest::addColumn<bool>("endLine");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("prompts");
    const QString box = "M0 0 L%1 0 L%1 100 L0 100 Z";
    const QStringList none;
    QTest::newRow("right edge on the frame end")
        << QStringList { box.arg(1000) } << 1000.0 << false << none << Outcome::NoSections << none;
    QTest::newRow("end line past the frame end")
        << QStringList { box.arg(990) } << 1000.0 << true
        << QStringList { "0 0 990 0 990 100 0 100 0 0", "10 -0.5 10 0 | 10 0.5 10 0" } << Outcome::Sections << none;
    QTest::newRow("boundary point in both, negative x cut off")
        << QStringList { "M-500 10 L1500 10" } << 1000.0 << false << QStringList { "0 10 1000 10", "0 10 500 10" }
        << Outcome::Sections << none;
    QTest::newRow("overlapping pair") << QStringList { "M1100 0 L1200 0 L1200 100 Z", "M1150 0 L1250 0 L1250 100 Z",
        "M0 200 L2500 200" } << 1000.0 << false
                                      << none << Outcome::Overlapping
                                      << QStringList { "Warning: Some pieces has intersected!" };
    QTest::newRow("line pieces do not overlap")
        << QStringList { "M0 200 L1500 200", "M0 200 L1500 200" } << 1000.0 << false
        << QStringList { "0 200 1000 200 | 0 200 1000 200", "0 200 500 200 | 0 200 500 200" } << Outcome::Sections
        << none;
    QTest::newRow("absurd frame length") << QStringList { "M0 200 L2500 200" } << 0.01 << false << none
                                         << Outcome::TooManySections << none;
    // Frames of 1/8 mm: the last allowed one, number 9999, runs from 1249.875
    // to 1250.
    QStringList lastAllowed;
    for (int k = 0; k < CSVGDocument::kMaxPlotSections - 1; ++k)
        lastAllowed << QString();
    lastAllowed << "0.025 0 0.075 0";
    QTest::newRow("ending inside the last allowed frame")
        << QStringList { "M1249.9 0 L1249.95 0" } << 0.125 << false << lastAllowed << Outcome::Sections << none;
    QTest::newRow("empty drawing") << QStringList() << 1000.0 << false << none << Outcome::NoSections << none;
}

void tst_CSVGDocumentPlot::frames()
{
    QFETCH(QStringList, pieces);
    QFETCH(double, width);
    QFETCH(bool, endLine);
    PromptRecorder prompts;
    TestDrawing drawing;
    for (const QString& data : pieces)
        drawing.addPath("d=" + data);
    Outcome outcome = Outcome::Sections;
    QStringList texts;
    for (const std::wstring& text : drawing.document.buildPlotSections(width, endLine, &outcome))
        texts << pointTexts(readSection(text).polylines).join(" | ");
    QTEST(texts, "texts");
    QTEST(outcome, "outcome");
    QTEST(prompts.shown, "prompts");
}

// The writer's section mode: pieces of frame 1 unshifted, the overlap
// reaching 50 past each frame; a piece of frame 0 that reaches past 1000
// stays whole, pieces that only touch the range are dropped.
void tst_CSVGDocumentPlot::writerSectionRange()
{
    TestDrawing drawing;
    drawing.document.setPageRect(QRectF(0, 0, 3000, 200));
    for (const char* data : { "d=M900 10 L1040 10", "d=M1500 20 L2500 20", "d=M100 30 L200 30", "d=M2600 40 L2700 40" })
        drawing.addPath(data);
    const std::wstring text = drawing.document.toSvgText(drawing.document.getMappedPageRect(), 1000, 50, 1, 1);
    QStringList kept = pointTexts(readSection(text).polylines);
    kept.sort();
    QCOMPARE(kept, QStringList({ "1000 10 1040 10", "1500 20 2050 20", "900 10 1040 10" }));

    // An overlap wider than a frame: frame 0 reaches into frame 2.
    kept = pointTexts(
        readSection(drawing.document.toSvgText(drawing.document.getMappedPageRect(), 1000, 1200, 2, 2)).polylines);
    kept.sort();
    QCOMPARE(kept,
        QStringList({ "1500 20 2200 20", "1500 20 2500 20", "2000 20 2500 20", "2600 40 2700 40", "2600 40 2700 40" }));
}

// Random polylines around the rectangle, many segments passing its corners
// outside, the first one on purpose: every piece inside, and as long as
// Clipper's open-path intersection. Segments with an end that is not finite
// are left out.
void tst_CSVGDocumentPlot::clipAgainstClipper()
{
    QRandomGenerator random(141);
    const QRectF rect(100, 50, 300, 200);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QPolygonF broken(QVector<QPointF> { { 150, 60 }, { nan, 70 }, { 200, qInf() }, { 210, 80 }, { 220, 90 } });
    const std::vector<QPolygonF> kept = CSVGDocument::clipPolylineToRect(broken, rect, 0);
    QCOMPARE(pointTexts(QVector<QPolygonF>(kept.begin(), kept.end())), QStringList { "210 80 220 90" });
    QPolygonF polyline(QVector<QPointF> { { 90, 59 }, { 109, 40 } });
    for (int n = 0; n < 3000; ++n) {
        const double extension = n % 2 ? random.bounded(50.0) : 0.0;
        const QRectF extended = rect.adjusted(0, 0, extension, 0);
        const std::vector<QPolygonF> pieces = CSVGDocument::clipPolylineToRect(polyline, rect, extension);
        for (const QPolygonF& piece : pieces)
            QVERIFY(extended.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(piece.boundingRect()));
        const double ours = totalLength(segmentsOf(pieces));
        const double theirs = totalLength(segmentsOf(clipperPieces(polyline, extended)));
        QVERIFY2(qAbs(ours - theirs) < 1e-2, qPrintable(QString("%1: %2 %3").arg(n).arg(ours).arg(theirs)));
        polyline.clear();
        for (int k = 2 + random.bounded(6); k > 0; --k)
            polyline << QPointF(random.bounded(500.0), random.bounded(300.0));
    }
}

// Grouping keeps the drawing order, puts the group last and selects it
// alone; one undo gives the pieces back.
void tst_CSVGDocumentPlot::grouping()
{
    TestDrawing drawing;
    CSVGElement* first = drawing.addPath(squareData(0, 0, 10));
    drawing.addPath(squareData(20, 0, 10));
    CSVGElement* third = drawing.addPath(squareData(40, 0, 10));
    drawing.document.renumberDrawingOrder();
    drawing.document.selectElement(third, Qt::green);
    drawing.document.selectElement(first, Qt::green);
    drawing.document.groupSelection();
    CSVGElement* group = drawing.root->getChild(1);
    QCOMPARE(childTags(drawing.root), QString("path g"));
    QCOMPARE(group->getChild(0), first);
    QCOMPARE(group->getChild(1), third);
    QCOMPARE(drawing.document.getSelection(), QVector<CSVGElement*>({ group }));
    drawing.document.undo();
    QCOMPARE(childTags(drawing.root), QString("path path path"));
}

// A piece 20 square at (10, 10), and a rectangle and a circle that reach as
// far as (190, 190), hidden or not; frames of 25.
void tst_CSVGDocumentPlot::hiddenPiecesAreNotCut_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<bool>("cut");
    const QString piece = "<rect x=\"10\" y=\"10\" width=\"20\" height=\"20\"/>";
    const QString pair = "<rect x=\"150\" y=\"150\" width=\"40\" height=\"40\"%1/>"
                         "<circle cx=\"60\" cy=\"60\" r=\"20\"%2/>";
    QTest::newRow("drawn") << piece + pair.arg("", "") << true;
    QTest::newRow("own display and visibility")
        << piece + pair.arg(" display=\"none\"", " style=\"visibility:hidden\"") << false;
    QTest::newRow("inherited from a group") << piece + "<g visibility=\"hidden\">" + pair.arg("", "") + "</g>" << false;
    QTest::newRow("hidden in a drawn group")
        << "<g>" + piece + pair.arg(" display=\"none\"", " display=\"none\"") + "</g>" << false;
    QTest::newRow("class rule") << "<style>.off{display:none}</style>" + piece
            + pair.arg(" class=\"off\"", " class=\"off\"")
                                << false;
    QTest::newRow("tyvisibility visible") << piece
            + pair.arg(
                " visibility=\"hidden\" tyvisibility=\"visible\"", " tyvisibility=\"visible\" visibility=\"hidden\"")
                                          << true;
}

// What is not drawn is neither measured nor cut.
void tst_CSVGDocumentPlot::hiddenPiecesAreNotCut()
{
    QFETCH(QString, markup);
    QFETCH(bool, cut);
    CSVGDocument document;
    document.parseSvgText(
        ("<svg xmlns=\"http://www.w3.org/2000/svg\">" + markup + "</svg>").toStdWString(), false, false);
    const QRectF expected = cut ? QRectF(10, 10, 180, 180) : QRectF(10, 10, 20, 20);
    QCOMPARE(document.getContentBoundingRect(), expected);
    QRectF extent;
    int k = 0;
    for (const std::wstring& text : document.buildPlotSections(25, false)) {
        for (const QPolygonF& polyline : readSection(text).polylines)
            extent |= polyline.translated(25.0 * k, 0).boundingRect();
        ++k;
    }
    QVERIFY2(std::abs(extent.left() - expected.left()) < 1e-6 && std::abs(extent.bottom() - expected.bottom()) < 1e-6
            && std::abs(extent.right() - expected.right()) < 1e-6,
        qPrintable(QString("%1 %2 %3 %4").arg(extent.x()).arg(extent.y()).arg(extent.width()).arg(extent.height())));
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentPlot)
#include "tst_CSVGDocumentPlot.moc"
