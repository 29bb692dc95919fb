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
// Path data keeps six decimals, in the piece's frame or on the canvas.
constexpr double kSame = 2e-6;

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
        CSVGDocument& document = drawing.document;
        if (tool != "expand")
            a = placement.map(a);
        b = placement.map(b);
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
    QTest::newRow("cut at every corner") << "cutcurve" << square
                                         << points({ { 0, 0 }, { 100, 0 }, { 100, 100 }, { 0, 100 } }) << o << o << "";
    QTest::newRow("delete feature of an ungrouped piece")
        << "deletefeature" << square << points({ { 0, 0 } }) << o << o << "";
    QTest::newRow("mirror") << "mirror" << square << none << QPointF(150, 0) << QPointF(150, 10)
                            << closed + " ; M300 0 L200 0 L200 100 L300 100 L300 0";
    QTest::newRow("mirror on a click") << "mirror" << square << none << QPointF(150, 0) << QPointF(150, 0) << "";
    QTest::newRow("split") << "split" << square << none << QPointF(50, -10) << QPointF(50, 110) << "*";
    QTest::newRow("split that misses") << "split" << square << none << QPointF(150, -10) << QPointF(150, 110) << "";
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
            QVERIFY(QLineF(outlines[i][k], expectedOutlines[i][k]).length() < kSame);
    }
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentNodeTools)
#include "tst_CSVGDocumentNodeTools.moc"
