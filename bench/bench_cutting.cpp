#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGPathData.h"
#include "CSVGUtils.h"
#include "ConsumptionArea.h"
#include "DeviceRecord.h"
#include "HpglJob.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <thread>

// The cut job on the generator's 15 m roll of 2,000 curved pieces. Every measurement runs with all hardware threads and
// with one, interleaved over three rounds; only the ratio counts.
class bench_cutting : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void consumptionArea_data() { rounds(); }
    void consumptionArea();
    void convertJob_data() { rounds(); }
    void convertJob();

private:
    static void rounds();
    QStringList sectionTexts() const;

    QList<QPainterPath> m_pieces;
};

void bench_cutting::rounds()
{
    QTest::addColumn<int>("threads");
    const int all = int(std::thread::hardware_concurrency());
    for (int round = 1; round <= 3; ++round) {
        QTest::newRow(qPrintable(QString("round %1, %2 threads").arg(round).arg(all))) << all;
        QTest::newRow(qPrintable(QString("round %1, 1 thread").arg(round))) << 1;
    }
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
    QBENCHMARK
    {
        ConsumptionArea sum(m_pieces);
        sum.setThreadCount(threads);
        sum.start();
        sum.wait();
        area = sum.area();
    }
    QVERIFY(area > 0);
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
    QBENCHMARK
    {
        QVERIFY2(HpglJob::build(texts, DeviceRecord(), &hpgl, &error, threads), qPrintable(error));
    }
    QVERIFY(hpgl.size() > 1000000);
}

ZOCUT_BENCH_MAIN(bench_cutting)

#include "bench_cutting.moc"
