#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGPathData.h"
#include "CSVGUtils.h"
#include "ConsumptionArea.h"
#include "DeviceRecord.h"
#include "HpglJob.h"

#include <QFile>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <thread>

// The cut job on the generator's 15 m roll of 2,000 curved pieces, on all
// hardware threads and on one, each against a peer from Qt in the same run
// (interleaved, five rounds): the consumed area against Qt's flattening of
// the same pieces and the library's even-odd union of each on one thread
// (the bare calls, without the finer flattening); the conversion of the
// sections into HPGL against QSvgRenderer reading the same section texts,
// the part of the conversion that a library does (no library here writes
// HPGL).
class bench_cutting : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void consumptionArea_data() { threadCounts(); }
    void consumptionArea();
    void convertJob_data() { threadCounts(); }
    void convertJob();

private:
    static void threadCounts();
    QStringList sectionTexts() const;

    QList<QPainterPath> m_pieces;
};

void bench_cutting::threadCounts()
{
    QTest::addColumn<int>("threads");
    const int all = int(std::thread::hardware_concurrency());
    QTest::newRow(qPrintable(QString("%1 threads").arg(all))) << all;
    QTest::newRow("1 thread") << 1;
}

void bench_cutting::initTestCase()
{
    QFile roll(benchInput(QStringLiteral("roll15m.svg")));
    QVERIFY(roll.open(QIODevice::ReadOnly));
    const QRegularExpression data(" d=\"([^\"]*)\"");
    auto match = data.globalMatch(QString::fromUtf8(roll.readAll()));
    while (match.hasNext())
        m_pieces << CSVGPathData::toPainterPath(CSVGPathData::parsePathData(match.next().captured(1).toStdWString()));
    // The generator lays out whole rows and columns: 1,960 pieces.
    QVERIFY(m_pieces.size() > 1900);
}

void bench_cutting::consumptionArea()
{
    QFETCH(int, threads);
    double area = 0;
    double peerArea = 0;
    compareInterleaved(
        QString("consumed area on %1 threads").arg(threads), 5,
        [&] {
            ConsumptionArea sum(m_pieces);
            sum.setThreadCount(threads);
            sum.start();
            sum.wait();
            area = sum.area();
        },
        "Qt's flattening and Clipper's even-odd union on one thread",
        [&] {
            peerArea = 0;
            for (const QPainterPath& piece : m_pieces) {
                ClipperLib::Paths rings;
                for (const QPolygonF& polygon : piece.toSubpathPolygons()) {
                    ClipperLib::Path& ring = rings.emplace_back();
                    for (const QPointF& p : polygon)
                        ring.emplace_back(ClipperLib::cInt(p.x() * 1e4), ClipperLib::cInt(p.y() * 1e4));
                }
                ClipperLib::Clipper clipper;
                ClipperLib::Paths region;
                clipper.AddPaths(rings, ClipperLib::ptSubject, true);
                clipper.Execute(ClipperLib::ctUnion, region, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
                for (const ClipperLib::Path& ring : region)
                    peerArea += ClipperLib::Area(ring) / 1e8;
            }
        });
    QVERIFY(area > 0 && peerArea != 0);
}

// One-metre frames of the flattened pieces; a piece belongs to the frame
// where it starts.
QStringList bench_cutting::sectionTexts() const
{
    const double frame = 1000;
    QVector<QString> bodies(16);
    for (const QPainterPath& piece : m_pieces) {
        for (const QPolygonF& polygon : CSVGUtils::pathToPolygons(piece, QTransform())) {
            const int k = qBound(0, int(std::floor(polygon.boundingRect().left() / frame)), bodies.size() - 1);
            QStringList points;
            for (const QPointF& p : polygon)
                points << QString::number(p.x() - k * frame) + ',' + QString::number(p.y());
            bodies[k] += "<polyline points=\"" + points.join(' ') + "\"/>\n";
        }
    }
    QStringList texts;
    for (const QString& body : bodies) {
        if (!body.isEmpty())
            texts << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 1000 1520\">\n" + body + "</svg>\n";
    }
    return texts;
}

void bench_cutting::convertJob()
{
    QFETCH(int, threads);
    const QStringList texts = sectionTexts();
    QByteArray hpgl;
    QString error;
    bool built = false;
    compareInterleaved(
        QString("HPGL of %1 sections on %2 threads").arg(texts.size()).arg(threads), 5,
        [&] { built = HpglJob::build(texts, DeviceRecord(), &hpgl, &error, threads); },
        "QSvgRenderer reading the sections",
        [&] {
            for (const QString& text : texts)
                QSvgRenderer renderer(text.toUtf8());
        });
    QVERIFY2(built, qPrintable(error));
    QVERIFY(hpgl.size() > 1000000);
}

ZOCUT_BENCH_MAIN(bench_cutting)

#include "bench_cutting.moc"
