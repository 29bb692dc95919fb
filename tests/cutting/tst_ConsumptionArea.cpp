#include "CSVGClipper.h"
#include "CSVGUtils.h"
#include "ConsumptionArea.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <cmath>

namespace {
// A curved piece with a curved hole drawn the same way round, and one with
// a hole drawn the other way round.
QList<QPainterPath> curvedPiecesWithHoles(int count)
{
    QList<QPainterPath> pieces;
    for (int i = 0; i < count; ++i) {
        const QPointF at(i % 50 * 120.0, i / 50 * 120.0);
        QPainterPath piece;
        if (i % 2 == 0) {
            piece.addEllipse(QRectF(at, QSizeF(100, 60)));
            piece.addEllipse(QRectF(at + QPointF(30, 15), QSizeF(30, 20)));
        } else {
            piece.addRoundedRect(QRectF(at, QSizeF(90, 80)), 20, 10);
            QPainterPath hole;
            hole.addEllipse(at + QPointF(45, 40), 15, 15);
            piece.addPath(hole.toReversed());
        }
        pieces << piece;
    }
    return pieces;
}

// Clipper's area of the flattened outlines: the first counts, the second is
// the hole.
double clipperArea(const QPainterPath& piece)
{
    double area = 0;
    const QList<QPolygonF> outlines = CSVGUtils::pathToPolygons(piece, QTransform());
    for (int i = 0; i < outlines.size(); ++i) {
        ClipperLib::Path path;
        CSVGClipper::toPath(outlines[i], path);
        area += (i == 0 ? 1 : -1) * std::abs(ClipperLib::Area(path));
    }
    return area / (CSVGClipper::kScale * CSVGClipper::kScale);
}
} // namespace

class tst_ConsumptionArea : public QObject
{
    Q_OBJECT
private slots:
    void sumsPiecesWithHoles();
    void piecesOfADocument();
    void ownerGoesMidComputation();
};

void tst_ConsumptionArea::sumsPiecesWithHoles()
{
    const QList<QPainterPath> pieces = curvedPiecesWithHoles(200);
    double expected = 0;
    for (const QPainterPath& piece : pieces)
        expected += clipperArea(piece);
    ConsumptionArea area(pieces);
    QSignalSpy ready(&area, &ConsumptionArea::areaReady);
    area.start();
    QVERIFY(area.wait(60000));
    QVERIFY(area.isComplete());
    QCOMPARE(ready.count(), 1);
    QVERIFY2(std::abs(area.area() - expected) < 1e-6 * expected, qPrintable(QString::number(area.area() - expected)));
}

// A group is one piece: the hole drawn as a shape of its own counts against it.
void tst_ConsumptionArea::piecesOfADocument()
{
    TestDrawing drawing;
    CSVGElementShape* group = appendShape(drawing.root, "g", "");
    appendShape(group, "rect", "x=0|y=0|width=40|height=30");
    appendShape(group, "circle", "cx=20|cy=15|r=10");
    drawing.addPath(squareData(100, 0, 10) + "|transform=scale(2)");
    const QList<QPainterPath> pieces = ConsumptionArea::piecePaths(drawing.root);
    QCOMPARE(pieces.size(), 2);
    // The flattened circle is a little smaller than the circle.
    QVERIFY(std::abs(ConsumptionArea::pieceArea(pieces[0], 0.05) - (1200 - M_PI * 100)) < 5);
    QCOMPARE(ConsumptionArea::pieceArea(pieces[1], 0.05), 400.0);
}

// The cut dialog closes while the sum runs: the thread stops and is joined.
void tst_ConsumptionArea::ownerGoesMidComputation()
{
    auto* owner = new QObject;
    auto* area = new ConsumptionArea(curvedPiecesWithHoles(50000), owner);
    QSignalSpy ready(area, &ConsumptionArea::areaReady);
    area->start();
    delete owner;
    QCOMPARE(ready.count(), 0);
}

ZOCUT_TEST_MAIN(tst_ConsumptionArea)

#include "tst_ConsumptionArea.moc"
