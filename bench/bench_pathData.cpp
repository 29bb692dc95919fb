#include "BenchMain.h"
#include "CSVGPathData.h"

#include <QCoreApplication>
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

// Each operation over 10 k, 100 k and 1 M segments: the time must grow in
// proportion to the size.
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

void bench_pathData::parse()
{
    QFETCH(int, segments);
    const std::wstring text = tracedPathData(segments);
    std::size_t count = 0;
    QBENCHMARK
    {
        count = CSVGPathData::parsePathData(text).size();
    }
    QCOMPARE(count, std::size_t(segments + 1));
}

void bench_pathData::write()
{
    QFETCH(int, segments);
    const CSVGPathSegList list = CSVGPathData::parsePathData(tracedPathData(segments));
    std::size_t length = 0;
    QBENCHMARK
    {
        length = CSVGPathData::toPathData(list).size();
    }
    QVERIFY(length > std::size_t(segments) * 10);
}

void bench_pathData::flatten()
{
    QFETCH(int, segments);
    const CSVGPathSegList list = CSVGPathData::parsePathData(tracedPathData(segments));
    std::size_t points = 0;
    QBENCHMARK
    {
        points = CSVGPathData::toPainterPath(list).elementCount() + CSVGPathData::toFlattenedPoints(list).size();
    }
    QVERIFY(points > std::size_t(segments));
}

ZOCUT_BENCH_MAIN(bench_pathData)

#include "bench_pathData.moc"
