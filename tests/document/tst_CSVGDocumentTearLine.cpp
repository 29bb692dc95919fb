#include "CSVGDocument.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>

namespace {
// Shapely's answers for the cases, or empty when it is missing.
QJsonArray measure(const QJsonArray& cases)
{
    QProcess python;
    python.start(QStringLiteral(ZOCUT_SYSTEM_PYTHON), { QStringLiteral(ZOCUT_SHAPELY_SCRIPT) });
    python.write(QJsonDocument(cases).toJson(QJsonDocument::Compact));
    python.closeWriteChannel();
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

#define MEASURE(results, cases)                                                                                        \
    const QJsonArray results = measure(cases);                                                                         \
    if (results.isEmpty())                                                                                             \
        QSKIP("Debian's python3-shapely is not installed");

void appendAll(QJsonArray& to, const QJsonArray& from)
{
    for (const QJsonValue& value : from)
        to.append(value);
}

QJsonArray ringOf(const QPolygonF& polygon)
{
    QJsonArray ring;
    for (const QPointF& p : polygon)
        ring.append(QJsonArray { p.x(), p.y() });
    return ring;
}

// The canvas rings of the element's leaves.
QJsonArray ringsOf(CSVGElement* element)
{
    QJsonArray rings;
    for (CSVGElement* leaf : CSVGUtils::collectShapes(element)) {
        auto* shape = CSVGElementShape::asShape(leaf);
        for (const QPolygonF& ring : CSVGUtils::pathToPolygons(shape->getTransformedPath(), QTransform()))
            rings.append(ringOf(ring));
    }
    return rings;
}

QList<CSVGElement*> tearLines(CSVGElement* root)
{
    QList<CSVGElement*> lines;
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (root->getChild(i)->isTearLine())
            lines.append(root->getChild(i));
    }
    return lines;
}

QString svgText(CSVGDocument& document)
{
    return QString::fromStdWString(document.toSvgText());
}
} // namespace

class tst_CSVGDocumentTearLine : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QSettings().remove(QStringLiteral("hpgl/Separation")); }
    void tearLinesFollowTheBufferedPieces();
    void noTearLineWithoutSeparation_data();
    void noTearLineWithoutSeparation();
    void removingTearLinesKeepsThePieces();
    void placedTearLinesComeOffExactly();
    void splitPiecesCoverTheShape();
    void expansionFollowsTheBand_data();
    void expansionFollowsTheBand();
};

// Two pieces 5 apart share one line at "Separation" 5; the third, far off
// and turned in a group, gets its own. Creating again adds another set; each
// creation is one undo step.
void tst_CSVGDocumentTearLine::tearLinesFollowTheBufferedPieces()
{
    TestDrawing drawing;
    drawing.addPath(squareData(0, 0, 40));
    drawing.addPath("d=M45 0 L85 0 L85 40 L60 60 L45 40 Z");
    CSVGElement* group = appendShape(drawing.root, "g", "transform=translate(200,10) rotate(20)");
    appendShape(group, "circle", "r=20");
    drawing.root->updateMatrix(nullptr, false);
    QJsonArray pieces;
    for (int i = 0; i < drawing.root->getChildCount(); ++i)
        pieces.append(ringsOf(drawing.root->getChild(i)).first());
    const int steps = int(drawing.document.getHistory().size());
    const QString before = svgText(drawing.document);

    drawing.document.createTearLine(true);
    QJsonArray lines;
    for (CSVGElement* line : tearLines(drawing.root))
        appendAll(lines, ringsOf(line));
    MEASURE(results,
        (QJsonArray {
            QJsonObject { { "kind", "tear" }, { "pieces", pieces }, { "separation", 5 }, { "lines", lines } } }));
    const QJsonObject result = results.first().toObject();
    QVERIFY2(result["distance"].toDouble() < 0.05, qPrintable(QString::number(result["distance"].toDouble())));
    QCOMPARE(result["lines"].toInt(), 2);
    QCOMPARE(result["components"].toInt(), 2);
    QVERIFY(drawing.document.hasTearLine());

    drawing.document.createTearLine(true);
    QCOMPARE(tearLines(drawing.root).size(), 4);
    QCOMPARE(int(drawing.document.getHistory().size()), steps + 2);
    drawing.document.undo();
    drawing.document.undo();
    QCOMPARE(svgText(drawing.document), before);
}

void tst_CSVGDocumentTearLine::noTearLineWithoutSeparation_data()
{
    QTest::addColumn<QString>("separation");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-3";
}

// A line on or inside the pieces would be cut into them.
void tst_CSVGDocumentTearLine::noTearLineWithoutSeparation()
{
    QFETCH(QString, separation);
    QSettings().setValue(QStringLiteral("hpgl/Separation"), separation);
    TestDrawing drawing;
    drawing.addPath(squareData(0, 0, 40));
    const QString before = svgText(drawing.document);
    drawing.document.createTearLine(true);
    QCOMPARE(svgText(drawing.document), before);
}

// Adjacent tear lines, one beside a piece in a group and one deep in groups
// of its own: exactly they go, and the group that held only a tear line; one
// undo brings all of them back where they were.
void tst_CSVGDocumentTearLine::removingTearLinesKeepsThePieces()
{
    TestDrawing drawing;
    const QString tearLine = squareData(0, 0, 10) + "|tear_line=true";
    drawing.addPath(squareData(0, 0, 5) + "|id=path_900");
    drawing.addPath(tearLine);
    drawing.addPath(tearLine);
    CSVGElement* mixed = appendShape(drawing.root, "g", "id=g_901");
    drawing.addPath(squareData(20, 0, 5) + "|id=path_902", mixed);
    drawing.addPath(tearLine, mixed);
    CSVGElement* nested = appendShape(drawing.root, "g", "");
    for (int depth = 0; depth < 50; ++depth)
        nested = appendShape(nested, "g", "");
    drawing.addPath(tearLine, nested);

    const QString before = svgText(drawing.document);
    drawing.document.createTearLine(false);
    QVERIFY(!drawing.document.hasTearLine());
    QCOMPARE(childTags(drawing.root), QStringLiteral("path g"));
    QCOMPARE(childTags(mixed), QStringLiteral("path"));
    for (const wchar_t* id : { L"path_900", L"g_901", L"path_902" })
        QVERIFY(drawing.document.getElementById(id));
    QCOMPARE(int(drawing.document.getHistory().size()), 1);
    const QString after = svgText(drawing.document);
    drawing.document.undo();
    QCOMPARE(svgText(drawing.document), before);
    drawing.document.redo();
    QCOMPARE(svgText(drawing.document), after);
}

// The lines are not filled, lest other programs cover the pieces with them.
// Continue moves the selected pieces with their lines to the page's
// left-bottom corner in the step that added the lines: one undo gives the
// text from before. Taking the lines away puts the pieces back, text for
// text; undoing that brings lines and moved pieces back.
void tst_CSVGDocumentTearLine::placedTearLinesComeOffExactly()
{
    TestDrawing drawing;
    CSVGElement* plain = drawing.addPath(squareData(100, 50, 40));
    CSVGElement* turned = drawing.addPath(squareData(200, 50, 30) + "|transform=matrix(0.8,0.6,-0.6,0.8,17.25,-3.5)");
    drawing.addPath(squareData(300, 50, 20));
    CSVGDocument& document = drawing.document;
    document.selectElement(plain, Qt::green);
    document.selectElement(turned, Qt::green);
    const QString before = svgText(document);
    const QRectF page(0, 0, 1000, 500);

    document.createTearLine(true);
    for (CSVGElement* line : tearLines(drawing.root))
        QCOMPARE(line->getAttribute(L"fill"), std::wstring(L"none"));
    document.placeNewTearLines(page);
    const QString placed = svgText(document);
    QCOMPARE(int(document.getHistory().getCursor()), 1);
    QCOMPARE(document.getSelectionRect().bottomLeft(), page.bottomLeft() + QPointF(1, -1));
    document.undo();
    QCOMPARE(svgText(document), before);
    document.redo();
    QCOMPARE(svgText(document), placed);

    document.createTearLine(false);
    QCOMPARE(svgText(document), before);
    document.undo();
    QCOMPARE(svgText(document), placed);
    document.redo();
    QCOMPARE(svgText(document), before);
}

// The pieces of a square cut along a slanted line lie apart, inside the
// square, and cover it but for the strip the cut takes. One undo brings the
// square back.
void tst_CSVGDocumentTearLine::splitPiecesCoverTheShape()
{
    TestDrawing drawing;
    CSVGDocument& document = drawing.document;
    CSVGElementShape* square = drawing.addPath(squareData(0, 0, 100) + "|position_id=P3");
    document.selectElement(square, Qt::green);
    const QString before = svgText(document);
    document.setEditMode(EditMode::Split);
    document.splitShape(QPointF(150, -10), QPointF(150, 110));
    QCOMPARE(document.getEditMode(), int(EditMode::Split));
    QCOMPARE(int(document.getHistory().size()), 0);

    document.splitShape(QPointF(20, -10), QPointF(80, 110));
    QCOMPARE(document.getEditMode(), int(EditMode::Select));
    QVERIFY(document.getSelection().isEmpty());
    QCOMPARE(drawing.root->getChildCount(), 2);
    QJsonArray pieces;
    for (int i = 0; i < drawing.root->getChildCount(); ++i) {
        appendAll(pieces, ringsOf(drawing.root->getChild(i)));
        QCOMPARE(drawing.root->getChild(i)->getAttribute(L"position_id"), std::wstring(L"P3"));
    }
    MEASURE(results,
        (QJsonArray { QJsonObject {
            { "kind", "split" }, { "original", ringOf(QPolygonF(QRectF(0, 0, 100, 100))) }, { "pieces", pieces } } }));
    const QJsonObject result = results.first().toObject();
    for (const char* key : { "shared", "outside", "uncovered" })
        QVERIFY2(result[key].toDouble() < 0.05, key);

    document.undo();
    QCOMPARE(svgText(document), before);
}

void tst_CSVGDocumentTearLine::expansionFollowsTheBand_data()
{
    QTest::addColumn<QList<int>>("marked");
    QTest::newRow("a side") << QList<int> { 2, 3, 4 };
    QTest::newRow("across the first point") << QList<int> { 7, 0, 1 };
    QTest::newRow("two runs") << QList<int> { 1, 5 };
    QTest::newRow("two points") << QList<int> { 3, 4 };
}

// The outline keeps its unmarked points in order; every other point lies on
// the outline grown by the width.
void tst_CSVGDocumentTearLine::expansionFollowsTheBand()
{
    QFETCH(QList<int>, marked);
    const QPolygonF outline(QVector<QPointF> {
        { 0, 0 }, { 50, 0 }, { 100, 0 }, { 100, 30 }, { 100, 60 }, { 50, 60 }, { 0, 60 }, { 0, 30 } });
    TestDrawing drawing;
    CSVGDocument& document = drawing.document;
    CSVGElementShape* piece = drawing.addPath("d=M0 0 L50 0 L100 0 L100 30 L100 60 L50 60 L0 60 L0 30 Z");
    document.selectElement(piece, Qt::green);
    for (int index : marked)
        piece->selectNodesInRect(CSVGRect(outline[index].x() - 1, outline[index].y() - 1, 2, 2));
    document.partialExpand(8);
    QCOMPARE(drawing.root->getChildCount(), 1);
    const QJsonArray result = ringsOf(drawing.root->getChild(0));
    QCOMPARE(result.size(), 1);

    QJsonArray indices;
    for (int index : marked)
        indices.append(index);
    MEASURE(results,
        (QJsonArray { QJsonObject { { "kind", "expand" }, { "original", ringOf(outline) }, { "marked", indices },
            { "width", 8 }, { "result", result.first() } } }));
    const QJsonObject measured = results.first().toObject();
    QVERIFY2(measured["offBand"].toDouble() < 0.05, qPrintable(QString::number(measured["offBand"].toDouble())));
    QVERIFY(measured["keptInOrder"].toBool());
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentTearLine)
#include "tst_CSVGDocumentTearLine.moc"
