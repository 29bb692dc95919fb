#include "CSVGUtils.h"
#include "NestingPieces.h"
#include "PlacementAutomatic.h"
#include "TestElements.h"
#include "TestEnvironment.h"

using namespace Vantor::Placement;

class tst_NestingPieces : public QObject
{
    Q_OBJECT
private slots:
    void placeElements();
    void hiddenPiecesTakeNoRoom();
};

// Pieces taken from elements under transformed groups, placed and written
// back, lie where the placement put them, whatever their parents do.
void tst_NestingPieces::placeElements()
{
    TestDrawing drawing;
    CSVGElement* turned = appendNew(drawing.root, L"g");
    turned->setAttribute(L"transform", L"translate(100,50) rotate(30) scale(2)", false);
    CSVGElement* pair = appendNew(drawing.root, L"g");
    appendShape(pair, "circle", "cx=60|cy=0|r=8");
    appendShape(pair, "circle", "cx=0|cy=0|r=8");
    const QList<CSVGElement*> elements { drawing.addPath(squareData(0, 0, 40)),
        drawing.addPath(squareData(5, 5, 20) + "|transform=translate(3,4)", turned), pair };

    const QVector<PieceInfo> pieces = NestingPieces::fromElements(elements);
    QCOMPARE(pieces.size(), 3);
    QCOMPARE(pieces[1].id, QString::fromStdWString(elements[1]->getId()));
    QCOMPARE(pieces[2].shape.parts.size(), 2);
    PlacementAutomatic engine;
    QVERIFY(engine.start(pieces, PlacementSettings { 150, 2, 8 }));
    engine.run();
    QCOMPARE(NestingPieces::applyPlacements(&drawing.document, engine.placements()), 3);

    for (int i = 0; i < 2; ++i) {
        const QRectF expected = engine.placements()[i].transform().map(pieces[i].shape.parts.first()).boundingRect();
        const QPainterPath now = CSVGUtils::outlinesOfElement(elements[i]).front().path;
        const QRectF actual = now.boundingRect();
        QVERIFY2(std::abs(actual.left() - expected.left()) < 1e-3 && std::abs(actual.top() - expected.top()) < 1e-3
                && std::abs(actual.width() - expected.width()) < 1e-3,
            qPrintable(QStringLiteral("%1: %2,%3 instead of %4,%5")
                           .arg(i)
                           .arg(actual.left())
                           .arg(actual.top())
                           .arg(expected.left())
                           .arg(expected.top())));
    }
}

// Neither a hidden piece nor a group's hidden part is placed on the roll.
void tst_NestingPieces::hiddenPiecesTakeNoRoom()
{
    TestDrawing drawing;
    drawing.addPath(squareData(0, 0, 40) + "|display=none");
    CSVGElement* pair = appendNew(drawing.root, L"g");
    appendShape(pair, "circle", "cx=60|cy=0|r=8");
    appendShape(pair, "circle", "cx=0|cy=0|r=8|visibility=hidden");
    drawing.document.selectAll();
    const QVector<PieceInfo> pieces = NestingPieces::selectedPieces(&drawing.document);
    QCOMPARE(pieces.size(), 1);
    QCOMPARE(pieces.first().shape.parts.size(), 1);
}

ZOCUT_TEST_MAIN(tst_NestingPieces)
#include "tst_NestingPieces.moc"
