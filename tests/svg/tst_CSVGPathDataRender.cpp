#include "CSVGPathData.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace {
const int kSize = 400; // pixels for 200 units

template <typename Draw> QImage render(Draw draw)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return image;
}

// Intersection over union of the covered pixels; also the covered count.
double overlap(const QImage& a, const QImage& b, int& covered)
{
    int both = 0;
    int either = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool inA = qAlpha(a.pixel(x, y)) > 127;
            const bool inB = qAlpha(b.pixel(x, y)) > 127;
            both += inA && inB;
            either += inA || inB;
        }
    }
    covered = either;
    return either == 0 ? 1.0 : double(both) / either;
}
} // namespace

class tst_CSVGPathDataRender : public QObject
{
    Q_OBJECT
private slots:
    void sameAsQtSvg_data();
    void sameAsQtSvg();
};

void tst_CSVGPathDataRender::sameAsQtSvg_data()
{
    QTest::addColumn<QString>("pathData");
    // Where Qt's renderer departs from the SVG rules, the reference is the
    // equivalent path data that it draws right.
    QTest::addColumn<QString>("reference");
    QTest::newRow("M L Z") << "M20 20 L180 20 L100 180 Z" << QString();
    QTest::newRow("m h v z") << "m20 20 h160 v160 h-160 z" << QString();
    QTest::newRow("H V absolute") << "M20 20 H180 V100 H100 V180 H20 Z" << QString();
    QTest::newRow("C S") << "M20 100 C20 20 180 20 180 100 S100 180 20 100 Z" << QString();
    QTest::newRow("c s relative") << "m20 100 c0 -80 160 -80 160 0 s-80 80 -160 0 z" << QString();
    QTest::newRow("S after line") << "M20 180 L20 100 S100 0 180 100 L180 180 Z" << QString();
    QTest::newRow("Q T") << "M20 180 Q20 20 100 20 T180 180 Z" << QString();
    QTest::newRow("q t relative") << "m20 100 q40 -80 80 0 t80 0 t-40 60 z" << QString();
    QTest::newRow("T after line") << "M20 100 L60 20 T100 100 T140 20 T180 100 L180 180 L20 180 Z" << QString();
    QTest::newRow("S after Q") << "M20 100 Q60 20 100 100 S160 180 180 100 L180 20 Z" << QString();
    QTest::newRow("large arc") << "M100 20 A80 80 0 1 1 99 20 Z" << QString();
    QTest::newRow("small arc") << "M20 100 A90 90 0 0 1 180 100 Z" << QString();
    QTest::newRow("arc sweep 0") << "M20 100 A90 90 0 0 0 180 100 L180 20 L20 20 Z" << QString();
    QTest::newRow("rotated ellipse") << "M20 100 a80 40 30 0 1 160 0 a80 40 30 0 1 -160 0" << QString();
    QTest::newRow("rotated large arcs") << "M40 60 A70 30 -45 1 0 160 140 A70 30 -45 1 0 40 60 Z" << QString();
    QTest::newRow("radii too small") << "M20 20 A5 5 0 0 1 180 180 L20 180 Z" << QString();
    QTest::newRow("zero radius") << "M20 20 A0 40 0 0 1 180 100 L20 180 Z"
                                 << "M20 20 L180 100 L20 180 Z";
    QTest::newRow("negative radii") << "M20 20 A-60 -90 0 0 0 180 180 L20 180 Z" << QString();
    QTest::newRow("two sub-paths") << "M20 20 L90 20 L90 180 L20 180 Z M110 20 L180 20 L180 180 Z" << QString();
    QTest::newRow("open sub-paths") << "M20 20 L90 20 L90 180 M110 20 L180 20 L180 180" << QString();
    QTest::newRow("every command")
        << "M20 20 L60 20 H100 V40 C120 20 140 20 160 40 S180 80 160 100 Q140 120 160 140 T160 180 "
           "A30 20 10 0 1 100 180 l-20 -20 h-20 v20 c-10 0 -20 -10 -20 -20 s0 -20 10 -30 "
           "q-10 -10 -10 -20 t0 -20 a20 20 0 0 0 -10 -30 z"
        << QString();
}

void tst_CSVGPathDataRender::sameAsQtSvg()
{
    QFETCH(QString, pathData);
    QFETCH(QString, reference);
    // Qt's own SVG renderer reads the path data on its own; it is the
    // outside reference for our geometry.
    QSvgRenderer renderer(
        QString("<svg xmlns='http://www.w3.org/2000/svg' width='400' height='400' viewBox='0 0 200 200'>"
                "<path d='%1' fill='black' stroke='none'/></svg>")
            .arg(reference.isNull() ? pathData : reference)
            .toUtf8());
    QPainterPath path = CSVGPathData::toPainterPath(CSVGPathData::parsePathData(pathData.toStdWString()));
    path.setFillRule(Qt::WindingFill);
    const QPainterPath scaled = QTransform::fromScale(kSize / 200.0, kSize / 200.0).map(path);
    const QImage theirs = render([&](QPainter& painter) { renderer.render(&painter); });
    const QImage ours = render([&](QPainter& painter) { painter.fillPath(scaled, Qt::black); });
    int covered = 0;
    const double iou = overlap(theirs, ours, covered);
    QVERIFY2(covered > 1000, "nothing drawn");
    QVERIFY2(iou > 0.99, qPrintable(QString("overlap %1").arg(iou)));
}

ZOCUT_TEST_MAIN(tst_CSVGPathDataRender)
#include "tst_CSVGPathDataRender.moc"
