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

double length(const QPolygonF& polyline)
{
    double sum = 0;
    for (int i = 0; i + 1 < polyline.size(); ++i)
        sum += QLineF(polyline[i], polyline[i + 1]).length();
    return sum;
}

double distance(const QPointF& p, const QLineF& segment)
{
    const QPointF d = segment.p2() - segment.p1();
    const double squared = QPointF::dotProduct(d, d);
    const double t = squared > 0 ? qBound(0.0, QPointF::dotProduct(p - segment.p1(), d) / squared, 1.0) : 0.0;
    return QLineF(p, segment.p1() + t * d).length();
}

// Every segment's ends and middle lie on one of the other segments.
bool covered(const QVector<QLineF>& segments, const QVector<QLineF>& by)
{
    return std::all_of(segments.begin(), segments.end(), [&by](const QLineF& segment) {
        return std::all_of(std::begin({ segment.p1(), segment.center(), segment.p2() }),
            std::end({ segment.p1(), segment.center(), segment.p2() }), [&by](const QPointF& p) {
                return std::any_of(by.begin(), by.end(), [&p](const QLineF& s) { return distance(p, s) < 1e-3; });
            });
    });
}

QVector<QLineF> segmentsOf(const QVector<QPolygonF>& polylines, double shift)
{
    QVector<QLineF> segments;
    for (const QPolygonF& polyline : polylines) {
        for (int i = 0; i + 1 < polyline.size(); ++i)
            segments << QLineF(polyline[i], polyline[i + 1]).translated(shift, 0);
    }
    return segments;
}

double clipperLength(const QPolygonF& polyline, const QRectF& rect)
{
    const auto point = [](double x, double y) { return ClipperLib::IntPoint(qRound64(x * 1e4), qRound64(y * 1e4)); };
    ClipperLib::Path subject;
    for (const QPointF& p : polyline)
        subject << point(p.x(), p.y());
    ClipperLib::Path clip { point(rect.left(), rect.top()), point(rect.right(), rect.top()),
        point(rect.right(), rect.bottom()), point(rect.left(), rect.bottom()) };
    ClipperLib::Clipper clipper;
    clipper.AddPath(subject, ClipperLib::ptSubject, false);
    clipper.AddPath(clip, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctIntersection, tree);
    ClipperLib::Paths paths;
    ClipperLib::OpenPathsFromPolyTree(tree, paths);
    double sum = 0;
    for (const ClipperLib::Path& path : paths) {
        for (size_t i = 0; i + 1 < path.size(); ++i)
            sum += std::hypot(double(path[i + 1].X - path[i].X), double(path[i + 1].Y - path[i].Y)) / 1e4;
    }
    return sum;
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
    void boundaryPoint();
    void writerSectionRange();
    void clipAgainstClipper();
    void grouping();
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

    const double width = 1000;
    Outcome outcome = Outcome::NoSections;
    const std::vector<std::wstring> texts = drawing.document.buildPlotSections(width, false, &outcome);
    QCOMPARE(int(texts.size()), 3);
    QCOMPARE(outcome, Outcome::Sections);
    QVERIFY(drawing.document.toSvgText() == before);

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
    double sectionLength = 0;
    for (size_t k = 0; k < texts.size(); ++k) {
        const Section section = readSection(texts[k]);
        QVERIFY2(section.error.isEmpty(), qPrintable(section.error));
        QCOMPARE(QSet<QString>(section.tags.begin(), section.tags.end()), QSet<QString>({ "svg", "polyline" }));
        for (const QPolygonF& polyline : section.polylines) {
            sectionLength += length(polyline);
            const QRectF box = polyline.boundingRect();
            QVERIFY(box.left() >= 0 && box.right() <= width);
        }
        laidOut += segmentsOf(section.polylines, k * width);
        const QString path = folder.filePath(QString("section%1.svg").arg(k));
        QVERIFY(writeTextFile(path, QString::fromStdWString(texts[k])));
        const QImage image = rsvgOutlines(path, size, 5.0);
        QCOMPARE(image.size(), expected.size());
        composite.drawImage(int(k) * expected.width() / 15, 0, image);
    }
    composite.end();

    double sourceLength = 0;
    for (const QPolygonF& polygon : flattened)
        sourceLength += length(polygon);
    QVERIFY2(qAbs(sectionLength - sourceLength) < 1e-3, qPrintable(QString::number(sectionLength - sourceLength)));
    const QVector<QLineF> original = segmentsOf(flattened, 0);
    QVERIFY(covered(original, laidOut));
    QVERIFY(covered(laidOut, original));
    QVERIFY(shareNear(drawn, expected, 2) >= 0.97);
    QVERIFY(shareNear(expected, drawn, 2) >= 0.97);
}

// Path data of the pieces, the frame length, the end line; the number of
// texts, the outcome and the prompts shown. Every point of every text lies
// in its frame.
void tst_CSVGDocumentPlot::frames_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<double>("width");
    QTest::addColumn<bool>("endLine");
    QTest::addColumn<int>("count");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("prompts");
    const QString box = "M0 0 L%1 0 L%1 100 L0 100 Z";
    const QStringList none;
    QTest::newRow("right edge on the frame end")
        << QStringList { box.arg(1000) } << 1000.0 << false << 0 << Outcome::NoSections << none;
    QTest::newRow("end line past the frame end")
        << QStringList { box.arg(990) } << 1000.0 << true << 2 << Outcome::Sections << none;
    QTest::newRow("negative x is not cut")
        << QStringList { "M-500 10 L1500 10" } << 1000.0 << false << 2 << Outcome::Sections << none;
    QTest::newRow("overlapping pair") << QStringList { "M1100 0 L1200 0 L1200 100 Z", "M1150 0 L1250 0 L1250 100 Z",
        "M0 200 L2500 200" } << 1000.0 << false
                                      << 0 << Outcome::Overlapping
                                      << QStringList { "Warning: Some pieces has intersected!" };
    QTest::newRow("line pieces apart") << QStringList { "M0 200 L2500 200", "M0 300 L2500 300" } << 1000.0 << false << 3
                                       << Outcome::Sections << none;
    QTest::newRow("absurd frame length") << QStringList { "M0 200 L2500 200" } << 0.01 << false << 0
                                         << Outcome::TooManySections << none;
    QTest::newRow("empty drawing") << QStringList() << 1000.0 << false << 0 << Outcome::NoSections << none;
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
    const std::vector<std::wstring> texts = drawing.document.buildPlotSections(width, endLine, &outcome);
    QTEST(int(texts.size()), "count");
    QTEST(outcome, "outcome");
    QTEST(prompts.shown, "prompts");
    for (const std::wstring& text : texts) {
        for (const QPolygonF& polyline : readSection(text).polylines) {
            const QRectF box = polyline.boundingRect();
            QVERIFY(box.left() >= 0 && box.right() <= width);
        }
    }
}

// A line across the boundary: the boundary point is in both frames.
void tst_CSVGDocumentPlot::boundaryPoint()
{
    TestDrawing drawing;
    drawing.addPath("d=M500 10 L1500 10");
    const std::vector<std::wstring> texts = drawing.document.buildPlotSections(1000, false);
    QCOMPARE(int(texts.size()), 2);
    QCOMPARE(pointTexts(readSection(texts[0]).polylines), QStringList { "500 10 1000 10" });
    QCOMPARE(pointTexts(readSection(texts[1]).polylines), QStringList { "0 10 500 10" });
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
}

// Random polylines around the rectangle, many segments passing its corners
// outside, the first one on purpose: every piece inside, and as long as
// Clipper's open-path intersection.
void tst_CSVGDocumentPlot::clipAgainstClipper()
{
    QRandomGenerator random(141);
    const QRectF rect(100, 50, 300, 200);
    QPolygonF polyline(QVector<QPointF> { { 90, 59 }, { 109, 40 } });
    for (int n = 0; n < 3000; ++n) {
        const double extension = n % 2 ? random.bounded(50.0) : 0.0;
        const QRectF extended = rect.adjusted(0, 0, extension, 0);
        const std::vector<QPolygonF> pieces = CSVGDocument::clipPolylineToRect(polyline, rect, extension);
        double ours = 0;
        for (const QPolygonF& piece : pieces) {
            ours += length(piece);
            for (const QPointF& p : piece)
                QVERIFY(extended.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(p));
        }
        const double theirs = clipperLength(polyline, extended);
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

ZOCUT_TEST_MAIN(tst_CSVGDocumentPlot)
#include "tst_CSVGDocumentPlot.moc"
