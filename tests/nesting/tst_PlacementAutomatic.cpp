#include "NestingTestPieces.h"
#include "PlacementAutomatic.h"
#include "PlacementGeometry.h"
#include "PlacementParallel.h"
#include "PlacementRunner.h"
#include "TestEnvironment.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

using namespace Vantor::Placement;

Q_DECLARE_METATYPE(QVector<PieceInfo>)
Q_DECLARE_METATYPE(PlacementSettings)

class tst_PlacementAutomatic : public QObject
{
    Q_OBJECT
private slots:
    void placeRandomPolygons_data();
    void placeRandomPolygons();
    void refuse_data();
    void refuse();
    void fitsOnlyWhenTurned();
    void fillsClosedGap();
    void fitsExactly();
    void noFitPolygonOfConvexPieces();
    void runAndStop();
    void parallelLoop();
};

void tst_PlacementAutomatic::placeRandomPolygons_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<int>("rotations");
    QTest::addColumn<int>("copies");
    QTest::newRow("2 mm apart, four turns") << 2.0 << 4 << 1;
    QTest::newRow("touching, no turns") << 0.0 << 1 << 1;
    // Copies share their no-fit polygons and where their search begins.
    QTest::newRow("5 copies of 10 shapes, each elsewhere") << 2.0 << 4 << 5;
}

// Steps place one piece each; the result is inside the roll and apart, and
// the pieces use the roll well (within 1.6 times the area's own length).
void tst_PlacementAutomatic::placeRandomPolygons()
{
    QFETCH(double, spacing);
    QFETCH(int, rotations);
    QFETCH(int, copies);
    QVector<PieceInfo> pieces;
    for (int copy = 0; copy < copies; ++copy) {
        for (const PieceInfo& shape : randomPieces(50 / copies)) {
            const QPointF shift(137.25 * copy, -41.5 * copy);
            pieces.append({ QStringLiteral("%1_%2").arg(shape.id).arg(copy),
                { { shape.shape.parts.first().translated(shift) } } });
        }
    }
    const PlacementSettings settings { 300, spacing, rotations };
    PlacementAutomatic engine;
    QVERIFY(engine.start(pieces, settings));
    QVERIFY(engine.step());
    QCOMPARE(engine.placedCount(), 1);
    engine.run();
    QVERIFY2(engine.isFinished(), qPrintable(engine.error()));
    verifyPlacement(pieces, engine.placements(), settings.rollWidth);
    double area = 0;
    for (const PieceInfo& piece : pieces)
        area += piece.shape.area();
    QVERIFY(engine.rollLength() < 1.6 * area / settings.rollWidth);
}

void tst_PlacementAutomatic::refuse_data()
{
    QTest::addColumn<QVector<PieceInfo>>("pieces");
    QTest::addColumn<PlacementSettings>("settings");
    QTest::addColumn<QString>("error");
    const PieceInfo wide { "wide", { { QPolygonF(QRectF(0, 0, 400, 350)) } } };
    QTest::newRow("wider than the roll in every turn")
        << QVector<PieceInfo> { wide } << PlacementSettings { 300, 2, 4 }
        << "The piece of 400.0 × 350.0 mm at (0.0, 0.0) is wider than the roll.";
    QTest::newRow("no rotation at all") << QVector<PieceInfo> {} << PlacementSettings { 300, 2, 0 }
                                        << "The number of rotations must lie between 1 and 72.";
    const PieceInfo flat { "flat", { { QPolygonF({ QPointF(0, 0), QPointF(10, 0), QPointF(20, 0) }) } } };
    QTest::newRow("no area") << QVector<PieceInfo> { flat } << PlacementSettings { 300, 2, 4 }
                             << "The outline of the piece of 20.0 × 0.0 mm at (0.0, 0.0) is empty or too large.";
}

void tst_PlacementAutomatic::refuse()
{
    QFETCH(QVector<PieceInfo>, pieces);
    QFETCH(PlacementSettings, settings);
    QFETCH(QString, error);
    PlacementAutomatic engine;
    QVERIFY(!engine.start(pieces, settings));
    QCOMPARE(engine.error(), error);
    QVERIFY(!engine.step());
}

// A strip 700 mm long at 60 degrees fits a roll of 300 only lying flat, in
// the second of three turns, where it is still wider than the roll is.
void tst_PlacementAutomatic::fitsOnlyWhenTurned()
{
    const QPointF along(350, 606.2178);
    const QPointF across(-8.66, 5);
    const PieceInfo strip { "strip", { { QPolygonF({ QPointF(0, 0), along, along + across, across }) } } };
    const PlacementSettings settings { 300, 2, 3 };
    PlacementAutomatic engine;
    QVERIFY2(engine.start({ strip }, settings), qPrintable(engine.error()));
    engine.run();
    QVERIFY2(engine.isFinished(), qPrintable(engine.error()));
    verifyPlacement({ strip }, engine.placements(), settings.rollWidth);
}

// A small piece goes into the gap that two larger ones closed all round,
// left of them, and not after them on the roll.
void tst_PlacementAutomatic::fillsClosedGap()
{
    const QPolygonF pocketed({ QPointF(0, 0), QPointF(100, 0), QPointF(100, 30), QPointF(60, 30), QPointF(60, 70),
        QPointF(100, 70), QPointF(100, 100), QPointF(0, 100) });
    const QVector<PieceInfo> pieces { { "pocketed", { { pocketed } } },
        { "bar", { { QPolygonF(QRectF(0, 0, 20, 100)) } } }, { "small", { { QPolygonF(QRectF(0, 0, 30, 30)) } } } };
    const PlacementSettings settings { 100, 2, 1 };
    PlacementAutomatic engine;
    QVERIFY2(engine.start(pieces, settings), qPrintable(engine.error()));
    engine.run();
    QVERIFY2(engine.isFinished(), qPrintable(engine.error()));
    verifyPlacement(pieces, engine.placements(), settings.rollWidth);
    QVERIFY(engine.placements()[2].offset.x() < 70);
}

// Fits with no room to spare are fits. The pocketed piece is exactly as wide
// as the roll; its pocket opens at the roll's edge, and is as deep as the
// small piece and the spacing and as wide as the piece and twice the spacing,
// with a fiftieth of a millimetre to spare: the small piece goes in there,
// left of the pocketed piece's end.
void tst_PlacementAutomatic::fitsExactly()
{
    const double spacing = 2;
    const double depth = 20 + spacing + 0.02;
    const double right = 20 + 20 + 2 * spacing + 0.02;
    const QPolygonF pocketed({ QPointF(0, 0), QPointF(20, 0), QPointF(20, depth), QPointF(right, depth),
        QPointF(right, 0), QPointF(60, 0), QPointF(60, 100), QPointF(0, 100) });
    const QVector<PieceInfo> pieces { { "pocketed", { { pocketed } } },
        { "small", { { QPolygonF(QRectF(0, 0, 20, 20)) } } } };
    const PlacementSettings settings { 100, spacing, 1 };
    PlacementAutomatic engine;
    QVERIFY2(engine.start(pieces, settings), qPrintable(engine.error()));
    engine.run();
    QVERIFY2(engine.isFinished(), qPrintable(engine.error()));
    verifyPlacement(pieces, engine.placements(), settings.rollWidth);
    QVERIFY(engine.placements()[1].offset.x() < 60);
}

// The no-fit polygon united from convex pieces covers the same positions as
// the library's sweep of outline along outline, holes filled alike, for
// star-shaped pieces in several turns.
void tst_PlacementAutomatic::noFitPolygonOfConvexPieces()
{
    using namespace ClipperLib;
    const QVector<PieceInfo> pieces = randomPieces(12, 3);
    for (int i = 0; i + 1 < pieces.size(); ++i) {
        const OrientedShape fixed = PlacementGeometry::orient(pieces[i].shape, 90.0 * i, 2);
        const OrientedShape moving = PlacementGeometry::orient(pieces[i + 1].shape, 45.0 * i, 2);
        QVERIFY(!fixed.convexGrown.front().empty() && !moving.convexGrown.front().empty());
        Paths swept;
        MinkowskiDiff(moving.grown.front(), fixed.grown.front(), swept);
        swept = PlacementGeometry::outers(swept);
        const Paths united = PlacementGeometry::noFitPolygon(fixed, moving);
        Clipper clipper;
        clipper.AddPaths(united, ptSubject, true);
        clipper.AddPaths(swept, ptClip, true);
        Paths apart;
        clipper.Execute(ctXor, apart, pftNonZero, pftNonZero);
        double differs = 0;
        for (const Path& path : apart)
            differs += std::abs(Area(path));
        double area = 0;
        for (const Path& path : swept)
            area += Area(path);
        QVERIFY2(differs < 1e-6 * area, qPrintable(QString::number(differs / area)));
    }
}

// A run reports its progress and result; a run stopped midway says so and
// returns at once.
void tst_PlacementAutomatic::runAndStop()
{
    PlacementRunner runner;
    runner.start(randomPieces(8), PlacementSettings());
    QTRY_VERIFY(!runner.status().running);
    QCOMPARE(runner.status().placements.size(), 8);

    runner.start(randomPieces(300), PlacementSettings { 300, 2, 72 });
    runner.stop();
    const PlacementStatus stopped = runner.status();
    QVERIFY(!stopped.running && !stopped.finished);
    QCOMPARE(stopped.error, QStringLiteral("The placement was stopped."));
}

// Every index runs once, none when there are none; a throw reaches the
// caller.
void tst_PlacementAutomatic::parallelLoop()
{
    std::vector<std::atomic<int>> runs(100);
    PlacementParallel::forEach(int(runs.size()), [&](int i) { ++runs[i]; });
    QVERIFY(std::all_of(runs.begin(), runs.end(), [](const std::atomic<int>& n) { return n == 1; }));
    PlacementParallel::forEach(0, [](int) { QFAIL("no index"); });
    QVERIFY_EXCEPTION_THROWN(PlacementParallel::forEach(int(runs.size()),
                                 [](int i) {
                                     if (i == 50)
                                         throw std::range_error("coordinate out of range");
                                 }),
        std::range_error);
}

ZOCUT_TEST_MAIN(tst_PlacementAutomatic)
#include "tst_PlacementAutomatic.moc"
