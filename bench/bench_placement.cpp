#include "BenchCompare.h"
#include "BenchMain.h"
#include "PlacementAutomatic.h"

#include <QRandomGenerator>

#include <cmath>

using namespace Vantor::Placement;

// Placing curved pieces (flattened to 64 points, 60 to 300 mm across) on a
// 1.52 m roll with four turns and 2 mm spacing. No placement library is at
// hand to compare with; the peers are the same engine on a quarter of the
// pieces, in the same run and interleaved (200 pieces should take at most
// six times as long as 50), and the length that the pieces' area alone
// would need, the bound no placement can beat.
class bench_placement : public QObject
{
    Q_OBJECT
private slots:
    void place();
    void placeCopies();
};

namespace {
QPolygonF curvedRing(QRandomGenerator& random)
{
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
    return ring;
}

QVector<PieceInfo> curvedPieces(int count)
{
    QRandomGenerator random(11);
    QVector<PieceInfo> pieces;
    for (int i = 0; i < count; ++i)
        pieces.append({ QString::number(i), { { curvedRing(random) } } });
    return pieces;
}

// Ten copies of each shape, each copy lying elsewhere in the drawing.
QVector<PieceInfo> copiedPieces(int count)
{
    QRandomGenerator random(11);
    QVector<PieceInfo> pieces;
    for (int shape = 0; shape < count / 10; ++shape) {
        const QPolygonF ring = curvedRing(random);
        for (int copy = 0; copy < 10; ++copy)
            pieces.append({ QString("%1_%2").arg(shape).arg(copy), { { ring.translated(400.0 * copy, 0) } } });
    }
    return pieces;
}

const PlacementSettings kSettings { 1520, 2, 4 };

double rollLengthOf(const QVector<PieceInfo>& pieces)
{
    PlacementAutomatic engine;
    engine.start(pieces, kSettings);
    engine.run();
    return engine.isFinished() ? engine.rollLength() : 0;
}

void report(const QVector<PieceInfo>& pieces, double length)
{
    double area = 0;
    for (const PieceInfo& piece : pieces)
        area += piece.shape.area();
    const double bound = area / kSettings.rollWidth;
    qInfo("%d pieces: roll length %.0f mm, area bound %.0f mm, ratio %.3f", int(pieces.size()), length, bound,
        length / bound);
}

void compareSizes(const QString& what, const QVector<PieceInfo>& many, const QVector<PieceInfo>& few)
{
    double manyLength = 0;
    double fewLength = 0;
    compareInterleaved(
        QString("placing %1 %2").arg(many.size()).arg(what), 5, [&] { manyLength = rollLengthOf(many); },
        QString("%1 of them").arg(few.size()), [&] { fewLength = rollLengthOf(few); }, "<= 6");
    QVERIFY(manyLength > 0 && fewLength > 0);
    report(few, fewLength);
    report(many, manyLength);
}
} // namespace

void bench_placement::place()
{
    compareSizes("pieces", curvedPieces(200), curvedPieces(50));
}

// Copies share their no-fit polygons and where their search begins.
void bench_placement::placeCopies()
{
    compareSizes("copies of 20 shapes", copiedPieces(200), copiedPieces(50));
}

ZOCUT_BENCH_MAIN(bench_placement)
#include "bench_placement.moc"
