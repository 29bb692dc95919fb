#include "CActionComposite.h"
#include "CSVGDocument.h"
#include "CSVGUtils.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPainterPath>
#include <QTransform>

#include <cmath>

namespace {
const QString kPlace = QStringLiteral("translate(30,20) rotate(30)");
constexpr double kSame = 2e-6;
// Path data keeps two decimals in the frame it is written in: the moved
// piece's new outline is written on the canvas, the grouped one's in the
// rotated group, so a point of either may be 0.005 * sqrt(2) off.
constexpr double kWritten = 0.015;

// The tool on the document's selection: a is the point of add node, the
// pick point of move point, the width of expand; a line from a to b
// mirrors, splits, or drags the picked edge's middle to b.
void applyTool(CSVGDocument& document, const QString& tool, const QPointF& a, const QPointF& b)
{
    if (tool == "addnode") {
        document.insertPointOnOutline(a);
    } else if (tool == "movepoint") {
        const QLineF edge = document.nearestSegment(a);
        QPainterPath dragged(edge.p1());
        dragged.lineTo(b);
        dragged.lineTo(edge.p2());
        document.movePoint(dragged);
    } else if (tool == "deletepoint") {
        document.deletePoint();
    } else if (tool == "cutcurve") {
        document.cutCurve();
    } else if (tool == "deletefeature") {
        document.deleteFeature();
    } else if (tool == "mirror") {
        document.mirrorAlongLine(a.x(), a.y(), b.x(), b.y());
    } else if (tool == "split") {
        document.splitShape(a, b);
    } else if (tool == "expand") {
        document.partialExpand(a.x());
    }
}

// One piece, selected: plain, or placed by kPlace through its own transform
// or through a group around it. Tool arguments are given for the plain
// piece and follow the placement.
struct Piece
{
    enum Placement { Plain, Moved, Grouped };
    Piece(const QString& data, Placement placement)
        : placement(placement == Plain ? QTransform() : QTransform().translate(30, 20).rotate(30))
    {
        const QString piece = "d=" + data + "|position_id=P7";
        CSVGElement* selected = nullptr;
        if (placement == Grouped) {
            selected = appendShape(drawing.root, "g", "transform=" + kPlace);
            appendShape(selected, "path", piece);
        } else {
            selected = drawing.addPath(piece + (placement == Moved ? "|transform=" + kPlace : ""));
        }
        drawing.root->updateMatrix(nullptr, false);
        drawing.document.selectElement(selected, Qt::green);
    }
    void mark(const QPolygonF& points)
    {
        auto* shape = CSVGElementShape::asShape(drawing.document.getFirstSelected());
        for (const QPointF& point : points) {
            const QPointF at = placement.map(point);
            shape->selectNodesInRect(CSVGRect(at.x() - 2, at.y() - 2, 4, 4));
        }
    }
    void apply(const QString& tool, QPointF a, QPointF b)
    {
        applyTool(drawing.document, tool, tool == "expand" ? a : placement.map(a), placement.map(b));
    }
    // The pieces on the canvas, flattened.
    QList<QPolygonF> outlines() const
    {
        QList<QPolygonF> polygons;
        for (int i = 0; i < drawing.root->getChildCount(); ++i) {
            if (auto* shape = CSVGElementShape::asShape(drawing.root->getChild(i)))
                polygons += shape->getTransformedPath().toSubpathPolygons();
        }
        return polygons;
    }
    TestDrawing drawing;
    QTransform placement;
};

QPolygonF points(std::initializer_list<QPointF> list)
{
    return QPolygonF(QVector<QPointF>(list));
}

QString number(double value)
{
    return QString::number(std::round(value * 100) / 100 + 0.0);
}

// The canvas path of each piece, "M", "L" and "C" with their points.
QString describe(CSVGElement* root)
{
    QStringList pieces;
    for (int i = 0; i < root->getChildCount(); ++i) {
        auto* shape = CSVGElementShape::asShape(root->getChild(i));
        const QPainterPath path = shape ? shape->getTransformedPath() : QPainterPath();
        QStringList parts;
        for (int k = 0; k < path.elementCount(); ++k) {
            const QPainterPath::Element& e = path.elementAt(k);
            const QString command = e.isMoveTo() ? "M" : e.isLineTo() ? "L" : e.isCurveTo() ? "C" : "";
            parts << command + number(e.x) + " " + number(e.y);
        }
        pieces << parts.join(' ');
    }
    return pieces.join(" ; ");
}

// Every element of the tree is the one its id names.
bool idsResolve(CSVGDocument& document)
{
    std::vector<CSVGElement*> elements;
    document.getOwnerSvg()->collectDescendants(elements, false);
    for (CSVGElement* element : elements) {
        if (document.getElementById(element->getId()) != element)
            return false;
    }
    return true;
}

bool inTree(CSVGDocument& document, const CSVGElement* element)
{
    while (element && element != document.getOwnerSvg())
        element = element->getParent();
    return element != nullptr;
}

const QStringList kAllTools { "addnode", "movepoint", "deletepoint", "cutcurve", "deletefeature", "mirror", "split",
    "expand" };

bool keepPosition(CSVGElement* root)
{
    for (CSVGElement* leaf : CSVGUtils::collectShapes(root)) {
        if (leaf->getAttribute(L"position_id") != L"P7")
            return false;
    }
    return true;
}
} // namespace

class tst_CSVGDocumentNodeTools : public QObject
{
    Q_OBJECT
private slots:
    void tool_data();
    void tool();
    void groupKeepsItsOtherShapes_data();
    void groupKeepsItsOtherShapes();
    void unsuitableInputChangesNothing_data();
    void unsuitableInputChangesNothing();
    void cuttingEverythingWarns();
    void mirrorCopiesAreReflections();
    void largeOutlines();
    void deepGroups();
};

void tst_CSVGDocumentNodeTools::tool_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QPolygonF>("marks");
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    // The pieces afterwards; empty for no change, "*" for a change that the
    // geometry tests measure.
    QTest::addColumn<QString>("expected");

    const QString square = "M0 0 L100 0 L100 100 L0 100 Z";
    const QPolygonF none;
    const QPointF o;
    const QString closed = "M0 0 L100 0 L100 100 L0 100 L0 0";
    QTest::newRow("add node on an edge") << "addnode" << square << none << QPointF(50, 2) << o
                                         << "M0 0 L50 0 L100 0 L100 100 L0 100 L0 0";
    QTest::newRow("add node at a corner goes to the first edge")
        << "addnode" << square << none << QPointF(99, 1) << o << "M0 0 L99 0 L100 0 L100 100 L0 100 L0 0";
    QTest::newRow("add node keeps the other sub-paths")
        << "addnode" << square + " M40 40 L60 40 L60 60 L40 60 Z" << none << QPointF(50, 61) << o
        << closed + " M40 40 L60 40 L60 60 L50 60 L40 60 L40 40";
    QTest::newRow("add node near no edge") << "addnode" << square << none << QPointF(50, 50) << o << "";
    QTest::newRow("move point bends the edge") << "movepoint" << square << none << QPointF(50, 1) << QPointF(50, -30)
                                               << "M0 0 C33.33 -20 66.67 -20 100 0 L100 100 L0 100 L0 0";
    QTest::newRow("delete one vertex") << "deletepoint" << square << points({ { 100, 100 } }) << o << o
                                       << "M0 0 L100 0 L0 100 L0 0";
    QTest::newRow("delete two vertices") << "deletepoint" << square << points({ { 100, 0 }, { 100, 100 } }) << o << o
                                         << "M0 0 L0 100 L0 0";
    QTest::newRow("delete three vertices")
        << "deletepoint" << square << points({ { 100, 0 }, { 100, 100 }, { 0, 100 } }) << o << o << "";
    // The marked point occurs twice; the points after it stay.
    QTest::newRow("delete a repeated point")
        << "deletepoint"
        << "M0 0 L100 0 L50 50 L100 100 L0 100 L50 50 Z" << points({ { 50, 50 } }) << o << o << closed;
    QTest::newRow("delete point closes an open outline")
        << "deletepoint"
        << "M0 0 L100 0 L100 100 L0 100" << points({ { 0, 100 } }) << o << o << "M0 0 L100 0 L100 100 L0 0";
    QTest::newRow("cut at a corner") << "cutcurve" << square << points({ { 100, 0 } }) << o << o
                                     << "M100 2.34 L100 100 L0 100 L0 0 L97.66 0";
    QTest::newRow("delete feature of an ungrouped piece")
        << "deletefeature" << square << points({ { 0, 0 } }) << o << o << "";
    QTest::newRow("mirror") << "mirror" << square << none << QPointF(150, 0) << QPointF(150, 10)
                            << closed + " ; M300 0 L200 0 L200 100 L300 100 L300 0";
    QTest::newRow("mirror on a click") << "mirror" << square << none << QPointF(150, 0) << QPointF(150, 0) << "";
    QTest::newRow("split") << "split" << square << none << QPointF(50, -10) << QPointF(50, 110) << "*";
    QTest::newRow("expand") << "expand" << square << points({ { 100, 0 }, { 100, 100 } }) << QPointF(10, 0) << o << "*";
    QTest::newRow("expand by no number") << "expand" << square << points({ { 100, 0 } }) << QPointF(qQNaN(), 0) << o
                                         << "";
}

// Each tool once on a plain piece, whose result the row gives, and once on
// a placed piece, ungrouped and grouped, which must come out the same.
void tst_CSVGDocumentNodeTools::tool()
{
    QFETCH(QString, tool);
    QFETCH(QString, data);
    QFETCH(QPolygonF, marks);
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QString, expected);

    Piece plain(data, Piece::Plain);
    CSVGDocument& document = plain.drawing.document;
    plain.mark(marks);
    const std::wstring before = document.toSvgText();
    const size_t steps = document.getHistory().size();
    plain.apply(tool, a, b);
    const QString after = describe(plain.drawing.root);
    if (!expected.isEmpty() && expected != "*")
        QCOMPARE(after, expected);
    if (expected.isEmpty()) {
        QVERIFY(document.toSvgText() == before);
        QCOMPARE(document.getHistory().size(), steps);
        return;
    }
    QCOMPARE(document.getHistory().size(), steps + 1);
    QVERIFY(keepPosition(plain.drawing.root));
    document.undo();
    QVERIFY(document.toSvgText() == before);
    QVERIFY(idsResolve(document));
    document.redo();
    QCOMPARE(describe(plain.drawing.root), after);
    QVERIFY(idsResolve(document));
    document.undo();
    document.getHistory().push(new CActionComposite(&document));
    QVERIFY(idsResolve(document));

    Piece moved(data, Piece::Moved);
    Piece grouped(data, Piece::Grouped);
    for (Piece* piece : { &moved, &grouped }) {
        piece->mark(marks);
        piece->apply(tool, a, b);
    }
    const QList<QPolygonF> expectedOutlines = moved.outlines();
    const QList<QPolygonF> outlines = grouped.outlines();
    QCOMPARE(outlines.size(), expectedOutlines.size());
    for (int i = 0; i < outlines.size(); ++i) {
        QCOMPARE(outlines[i].size(), expectedOutlines[i].size());
        for (int k = 0; k < outlines[i].size(); ++k)
            QVERIFY(QLineF(outlines[i][k], expectedOutlines[i][k]).length() < kWritten);
    }
}

void tst_CSVGDocumentNodeTools::groupKeepsItsOtherShapes_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("tags");
    QTest::newRow("delete point") << "deletepoint"
                                  << "path path";
    QTest::newRow("cut curve") << "cutcurve"
                               << "path path";
    QTest::newRow("delete feature") << "deletefeature"
                                    << "path";
}

// The other shape of a group stays where it was under its id, which names
// the one in the tree after every undo, redo and truncation.
void tst_CSVGDocumentNodeTools::groupKeepsItsOtherShapes()
{
    QFETCH(QString, tool);
    QFETCH(QString, tags);
    Piece piece("M0 0 L100 0 L100 100 L0 100 Z", Piece::Grouped);
    CSVGDocument& document = piece.drawing.document;
    CSVGElement* group = document.getFirstSelected();
    appendShape(group, "path", "id=path_500|" + squareData(200, 0, 50));
    piece.drawing.root->updateMatrix(nullptr, false);
    piece.mark(points({ { 100, 100 } }));
    const QRectF other = CSVGElementShape::asShape(group->getChild(1))->getTransformedBoundingRect().toQRectF();
    const std::wstring before = document.toSvgText();
    piece.apply(tool, QPointF(), QPointF());
    QCOMPARE(piece.drawing.root->getChildCount(), 1);
    QCOMPARE(childTags(piece.drawing.root->getChild(0)), tags);
    for (int round = 0; round < 3; ++round) {
        CSVGElementShape* kept = CSVGElementShape::asShape(document.getElementById(L"path_500"));
        QVERIFY(inTree(document, kept));
        QVERIFY(idsResolve(document));
        QVERIFY(QLineF(kept->getTransformedBoundingRect().toQRectF().topLeft(), other.topLeft()).length() < kSame);
        document.undo();
        QVERIFY(document.toSvgText() == before);
        QVERIFY(inTree(document, document.getElementById(L"path_500")));
        document.redo();
    }
    document.undo();
    document.getHistory().push(new CActionComposite(&document));
    QVERIFY(idsResolve(document));
}

void tst_CSVGDocumentNodeTools::unsuitableInputChangesNothing_data()
{
    QTest::addColumn<QString>("data");
    QTest::addColumn<QPolygonF>("marks");
    // Path data that replaces the outline after the marking, or "defs" to
    // select an element that is no shape.
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("tools");
    const QString octagon = "M0 0 L50 0 L100 0 L100 50 L100 100 L50 100 L0 100 L0 50 Z";
    QTest::newRow("marks left from an earlier outline")
        << octagon << points({ { 50, 100 }, { 0, 100 }, { 0, 50 } }) << "M0 0 L100 0 L50 50 Z"
        << QStringList { "deletepoint", "cutcurve", "expand" };
    QTest::newRow("an outline without points") << "" << QPolygonF() << "" << kAllTools;
    QTest::newRow("no shape selected") << octagon << QPolygonF() << "defs" << kAllTools;
    QTest::newRow("coordinates beyond the offset's range")
        << "M1e15 0 L2e15 0 L2e15 1e15 Z" << points({ { 2e15, 0 } }) << "" << QStringList { "expand" };
    QTest::newRow("every vertex marked") << "M0 0 L100 0 L100 100 Z" << points({ { 0, 0 }, { 100, 0 }, { 100, 100 } })
                                         << "" << QStringList { "expand" };
}

void tst_CSVGDocumentNodeTools::unsuitableInputChangesNothing()
{
    QFETCH(QString, data);
    QFETCH(QPolygonF, marks);
    QFETCH(QString, change);
    QFETCH(QStringList, tools);
    for (const QString& tool : tools) {
        Piece piece(data, Piece::Plain);
        CSVGDocument& document = piece.drawing.document;
        piece.mark(marks);
        if (change == "defs") {
            document.clearSelection();
            document.selectElement(appendShape<CSVGElement>(piece.drawing.root, "defs", ""), Qt::green);
        } else if (!change.isEmpty()) {
            document.getFirstSelected()->setAttribute(L"d", change.toStdWString(), true);
        }
        const std::wstring before = document.toSvgText();
        piece.apply(tool, QPointF(50, 1), QPointF(50, 50));
        QVERIFY2(document.toSvgText() == before, qPrintable(tool));
        QCOMPARE(document.getHistory().size(), size_t(0));
    }
}

void tst_CSVGDocumentNodeTools::cuttingEverythingWarns()
{
    QStringList warnings;
    CSVGDocument::setWarningHook([&warnings](const QString& title, const QString& text) { warnings << title << text; });
    Piece piece("M0 0 L100 0 L100 100 Z", Piece::Plain);
    piece.mark(points({ { 0, 0 }, { 100, 0 }, { 100, 100 } }));
    const std::wstring before = piece.drawing.document.toSvgText();
    piece.apply("cutcurve", QPointF(), QPointF());
    QVERIFY(piece.drawing.document.toSvgText() == before);
    CSVGDocument::setWarningHook(nullptr);
    QCOMPARE(warnings, QStringList({ "Waring", "Invalid selection!" }));
}

// A grouped piece of two parts under a turned group, mirrored across a
// slanted line: each copy is its part's outline reflected by Qt, painted as
// the part is (white from the group, or its own red).
void tst_CSVGDocumentNodeTools::mirrorCopiesAreReflections()
{
    TestDrawing drawing;
    CSVGElement* group = appendShape(drawing.root, "g", "transform=" + kPlace + "|fill=#FFFFFF|stroke=#0000FF");
    const QList<CSVGElementShape*> parts { drawing.addPath("d=M0 0 L80 0 L40 60 Z|fill=red", group),
        appendShape(group, "circle", "cx=40|cy=20|r=10") };
    drawing.root->updateMatrix(nullptr, false);
    drawing.document.selectElement(group, Qt::green);
    const QLineF line(10, 0, 60, 80);
    drawing.document.mirrorAlongLine(line.x1(), line.y1(), line.x2(), line.y2());
    const QTransform reflect = QTransform::fromTranslate(line.x1(), line.y1())
                                   .rotate(-line.angle())
                                   .scale(1, -1)
                                   .rotate(line.angle())
                                   .translate(-line.x1(), -line.y1());
    QCOMPARE(drawing.root->getChildCount(), 2);
    CSVGElement* copy = drawing.root->getChild(1);
    QCOMPARE(copy->getChildCount(), parts.size());
    // The path data repair may put the parts in another order.
    for (CSVGElementShape* part : parts) {
        const QPainterPath expected = reflect.map(part->getTransformedPath());
        int matching = 0;
        for (int i = 0; i < copy->getChildCount(); ++i) {
            const QPainterPath mirrored = CSVGElementShape::asShape(copy->getChild(i))->getTransformedPath();
            bool same = mirrored.elementCount() == expected.elementCount();
            for (int k = 0; same && k < expected.elementCount(); ++k)
                same = QLineF(mirrored.elementAt(k), expected.elementAt(k)).length() < kWritten;
            matching += same ? 1 : 0;
            for (const std::wstring name : { L"fill", L"stroke" }) {
                if (same)
                    QCOMPARE(
                        CSVGElementShape::asShape(copy->getChild(i))->getStyleValue(name), part->getStyleValue(name));
            }
        }
        QCOMPARE(matching, 1);
    }
}

// A ring of 100,000 points with a stretch marked: each tool gives one step.
void tst_CSVGDocumentNodeTools::largeOutlines()
{
    QString data = "M1000 0";
    for (int i = 1; i < 100000; ++i) {
        const double angle = 2 * M_PI * i / 100000;
        data += QString(" L%1 %2").arg(1000 * std::cos(angle), 0, 'f', 4).arg(1000 * std::sin(angle), 0, 'f', 4);
    }
    data += " Z";
    const QPointF onEdge(1000, 0.01);
    const QPointF width(5, 0);
    for (const auto& [tool, a] : { std::pair(QString("addnode"), onEdge), { "deletepoint", onEdge },
             { "cutcurve", onEdge }, { "expand", width } }) {
        Piece piece(data, Piece::Plain);
        auto* shape = CSVGElementShape::asShape(piece.drawing.document.getFirstSelected());
        shape->selectNodesInRect(CSVGRect(900, -100, 200, 200));
        piece.apply(tool, a, QPointF());
        QCOMPARE(piece.drawing.document.getHistory().size(), size_t(1));
    }
}

// Nesting far deeper than drawings have: nothing breaks, and every id
// still names its element after the steps are undone.
void tst_CSVGDocumentNodeTools::deepGroups()
{
    TestDrawing drawing;
    CSVGDocument& document = drawing.document;
    CSVGElement* top = appendShape(drawing.root, "g", "transform=translate(5,5)");
    CSVGElement* inner = top;
    for (int depth = 0; depth < 1000; ++depth)
        inner = appendShape(inner, "g", "");
    drawing.addPath(squareData(0, 0, 100) + "|tear_line=true", inner);
    drawing.addPath(squareData(0, 0, 100) + "|id=path_2000", inner);
    for (const QString& tool : kAllTools) {
        document.clearSelection();
        document.selectElement(top, Qt::green);
        CSVGElementShape::asShape(top)->selectNodesInRect(CSVGRect(100, 100, 10, 10));
        applyTool(document, tool, QPointF(55, 6), QPointF(60, 200));
        QVERIFY(idsResolve(document));
    }
    while (document.getHistory().canUndo())
        document.undo();
    QVERIFY(idsResolve(document));
    QVERIFY(document.hasTearLine());
    document.createTearLine(true);
    document.createTearLine(false);
    QVERIFY(!document.hasTearLine());
    QVERIFY(inTree(document, document.getElementById(L"path_2000")));
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentNodeTools)
#include "tst_CSVGDocumentNodeTools.moc"
