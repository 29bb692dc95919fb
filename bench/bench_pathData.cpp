#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGPathData.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QtTest>

#include <string>

namespace {
// Traced outlines: long runs of relative lines and curves with an arc now
// and then, about ten characters per segment.
std::wstring tracedPathData(int segments)
{
    std::wstring text = L"M10.5 20.25";
    for (int i = 1; i < segments; ++i) {
        switch (i % 10) {
        case 0:
            text += L"a5 5 0 0 1 3-2";
            break;
        case 3:
        case 7:
            text += L"c1.5 2 3-1 4.25 .5";
            break;
        default:
            text += i % 2 ? L"l1.25-.5" : L"l-.75 1.5";
            break;
        }
    }
    return text + L"z";
}
} // namespace

// Each operation over 10 k, 100 k and 1 M segments against a peer from Qt:
// the time must grow in proportion to the size.
class bench_pathData : public QObject
{
    Q_OBJECT
private slots:
    void parse_data() { sizes(); }
    void parse();
    void write_data() { sizes(); }
    void write();
    void flatten_data() { sizes(); }
    void flatten();

private:
    void sizes();
};

void bench_pathData::sizes()
{
    QTest::addColumn<int>("segments");
    QTest::newRow("10k") << 10000;
    QTest::newRow("100k") << 100000;
    QTest::newRow("1M") << 1000000;
}

// Against QSvgRenderer reading a file of the one path.
void bench_pathData::parse()
{
    QFETCH(int, segments);
    const std::wstring text = tracedPathData(segments);
    const QByteArray file = "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\""
        + QString::fromStdWString(text).toUtf8() + "\"/></svg>";
    std::size_t count = 0;
    compareInterleaved(
        QString("reading %1 segments").arg(segments), 5, [&] { count = CSVGPathData::parsePathData(text).size(); },
        "QSvgRenderer on a one-path file", [&] { QSvgRenderer renderer(file); });
    QCOMPARE(count, std::size_t(segments + 1));
}

// Against Qt's number formatting of the same end points, two decimals each.
void bench_pathData::write()
{
    QFETCH(int, segments);
    const CSVGPathSegList list = CSVGPathData::parsePathData(tracedPathData(segments));
    std::size_t length = 0;
    compareInterleaved(
        QString("writing %1 segments").arg(segments), 5, [&] { length = CSVGPathData::toPathData(list).size(); },
        "QString::number of the end points",
        [&] {
            QString text;
            for (const auto& segment : list)
                text += QLatin1Char('L') + QString::number(segment->x, 'f', 2) + QLatin1Char(' ')
                    + QString::number(segment->y, 'f', 2);
        });
    QVERIFY(length > std::size_t(segments) * 10);
}

// Against Qt's flattening of the painter path of the same segments.
void bench_pathData::flatten()
{
    QFETCH(int, segments);
    const CSVGPathSegList list = CSVGPathData::parsePathData(tracedPathData(segments));
    const QPainterPath path = CSVGPathData::toPainterPath(list);
    std::size_t points = 0;
    compareInterleaved(
        QString("painter path and flattened points of %1 segments").arg(segments), 5,
        [&] {
            points = CSVGPathData::toPainterPath(list).elementCount() + CSVGPathData::toFlattenedPoints(list).size();
        },
        "QPainterPath::toSubpathPolygons", [&] { path.toSubpathPolygons(); });
    QVERIFY(points > std::size_t(segments));
}

ZOCUT_BENCH_MAIN(bench_pathData)

#include "bench_pathData.moc"
