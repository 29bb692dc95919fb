#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGElementShape.h"

#include <QApplication>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QPainterPath>

#include <cmath>
#include <vector>

namespace {

constexpr double kSpacing = 30.0;

// n octagons of radius 10 on a square field, 30 units apart, in the
// document and as path items of a graphics scene.
struct Field
{
    CSVGDocument document;
    QGraphicsScene scene;
    std::vector<QGraphicsPathItem*> items;
    int side = 0;

    explicit Field(int pieces)
    {
        side = int(std::ceil(std::sqrt(pieces)));
        CSVGElement* root = document.getOwnerSvg();
        for (int i = 0; i < pieces; ++i) {
            QPainterPath octagon;
            const QPointF centre = centreOf(i);
            octagon.moveTo(centre + QPointF(10, 0));
            for (int k = 1; k < 8; ++k)
                octagon.lineTo(centre + 10 * QPointF(std::cos(M_PI * k / 4), std::sin(M_PI * k / 4)));
            octagon.closeSubpath();
            root->appendChild(document.createPathElement(octagon), true, false);
            items.push_back(scene.addPath(octagon));
        }
        root->updateMatrix(nullptr, false);
        document.addToTiles(root);
        // The scene builds its index at the next turn of the event loop.
        QCoreApplication::processEvents();
        scene.itemAt(QPointF(), QTransform());
    }

    QPointF centreOf(int i) const { return QPointF(i % side * kSpacing, i / side * kSpacing); }
    // Around the first n pieces.
    QRectF around(int n) const
    {
        return QRectF(
            QPointF(-20, -20), QPointF(std::min(n - 1, side - 1), (n - 1) / side) * kSpacing + QPointF(20, 20));
    }
};

} // namespace

// The mouse tools against QGraphicsScene's item look-ups over the same
// outlines, in turn: a click on a piece, a rubber band growing over the
// field, and a drag of 1000 selected pieces.
class bench_interaction : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void mouse_data();
    void mouse();
};

void bench_interaction::initTestCase()
{
    QLoggingCategory::setFilterRules("default.debug=false");
}

void bench_interaction::mouse_data()
{
    QTest::addColumn<int>("pieces");
    QTest::newRow("1k pieces") << 1000;
    QTest::newRow("10k pieces") << 10000;
}

void bench_interaction::mouse()
{
    QFETCH(int, pieces);
    Field field(pieces);
    CSVGDocument& document = field.document;
    const QString tag = QTest::currentDataTag();
    constexpr int kClicks = 50;
    int hits = 0;
    compareInterleaved(
        tag + ", click", 9,
        [&]() {
            for (int i = 0; i < kClicks; ++i) {
                const QPointF p = field.centreOf(i * 7919 % pieces);
                document.leftButtonDown(p, false, false);
                document.leftButtonUp(p, false);
            }
        },
        "QGraphicsScene::items at a point",
        [&]() {
            for (int i = 0; i < kClicks; ++i)
                hits += field.scene.items(field.centreOf(i * 7919 % pieces)).size();
        });

    // The band from outside the field over its first 10 x 10 pieces and back.
    constexpr int kMoves = 20;
    const QPointF corner(-20, -20);
    const auto bandEnd = [](int move) { return QPointF(1, 1) * (kSpacing * (5 + move % 6)); };
    compareInterleaved(
        tag + ", rubber-band move", 9,
        [&]() {
            document.leftButtonDown(corner, false, false);
            for (int i = 0; i < kMoves; ++i)
                document.mouseMove(bandEnd(i), false, false);
            document.leftButtonUp(bandEnd(kMoves - 1), false);
        },
        "QGraphicsScene::items in a rectangle",
        [&]() {
            for (int i = 0; i < kMoves; ++i)
                hits += field.scene.items(QRectF(corner, bandEnd(i))).size();
        });

    // 1000 pieces selected, dragged by the first one.
    document.clearSelection();
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < 1000; ++i)
        document.selectElement(root->getChild(i), Qt::green);
    const QPointF grip = field.centreOf(0);
    document.leftButtonDown(grip, false, false);
    document.mouseMove(grip + QPointF(10, 0), false, false);
    int step = 0;
    compareInterleaved(
        tag + ", drag move of 1000 selected", 9,
        [&]() {
            for (int i = 0; i < kMoves; ++i)
                document.mouseMove(grip + QPointF(10 + ++step % 2, 0), false, false);
        },
        "QGraphicsScene::items in a rectangle",
        [&]() {
            for (int i = 0; i < kMoves; ++i)
                hits += field.scene.items(field.around(1000)).size();
        });
    document.leftButtonUp(grip, false);
    QVERIFY(hits > 0);
}

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_interaction)
#include "bench_interaction.moc"
