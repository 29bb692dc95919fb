#include "BenchMain.h"
#include "PlacementAutomatic.h"

#include <QRandomGenerator>

#include <cmath>

using namespace Vantor::Placement;

// Placing curved pieces (flattened to 64 points, 60 to 300 mm across) on a
// 1.52 m roll with four turns and 2 mm spacing. Besides the time, the roll
// length is printed against the length that the pieces' area alone would
// need, the bound no placement can beat.
class bench_placement : public QObject
{
    Q_OBJECT
private slots:
    void place_data();
    void place();
};

namespace {
QVector<PieceInfo> curvedPieces(int count)
{
    QRandomGenerator random(11);
    QVector<PieceInfo> pieces;
    for (int i = 0; i < count; ++i) {
        const double radius = 30 + random.bounded(120.0);
        const double stretch = 0.6 + random.bounded(0.8);
        const double phase = random.bounded(2 * M_PI);
        const int lobes = 2 + random.bounded(3);
        QPolygonF ring;
        for (int k = 0; k < 64; ++k) {
            const double angle = 2 * M_PI * k / 64;
            const double r = radius * (1 + 0.25 * std::sin(lobes * angle + phase));
            ring << QPointF(stretch * r * std::cos(angle), r * std::sin(angle));
        }
        pieces.append({ QString::number(i), { { ring } } });
    }
    return pieces;
}
} // namespace

void bench_placement::place_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("50 pieces") << 50;
    QTest::newRow("200 pieces") << 200;
}

void bench_placement::place()
{
    QFETCH(int, count);
    const QVector<PieceInfo> pieces = curvedPieces(count);
    const PlacementSettings settings { 1520, 2, 4 };
    PlacementAutomatic engine;
    QBENCHMARK_ONCE
    {
        engine.start(pieces, settings);
        engine.run();
    }
    double area = 0;
    for (const PieceInfo& piece : pieces)
        area += piece.shape.area();
    const double bound = area / settings.rollWidth;
    qInfo("%d pieces: roll length %.0f mm, area bound %.0f mm, ratio %.3f", count, engine.rollLength(), bound,
        engine.rollLength() / bound);
}

ZOCUT_BENCH_MAIN(bench_placement)
#include "bench_placement.moc"
