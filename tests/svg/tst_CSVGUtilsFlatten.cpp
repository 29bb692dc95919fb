#include "CSVGBezierFlattener.h"
#include "CSVGUtils.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QSettings>

#include <atomic>
#include <thread>
#include <vector>

namespace {
QList<QPolygonF> polygons(std::initializer_list<QVector<QPointF>> list)
{
    QList<QPolygonF> result;
    for (const QVector<QPointF>& points : list)
        result.append(QPolygonF(points));
    return result;
}

void setThreshold(const QVariant& value)
{
    QSettings settings;
    if (value.isValid())
        settings.setValue(QStringLiteral("hpgl/BezierFlatteningThreshold"), value);
    else
        settings.remove(QStringLiteral("hpgl/BezierFlatteningThreshold"));
}

// A wavy path of many curves and lines over several sub-paths.
QPainterPath wavyPath(int curves)
{
    QPainterPath path;
    for (int i = 0; i < curves; ++i) {
        if (i % 100 == 0)
            path.moveTo(0, i);
        const double x = (i % 100) * 10.0;
        path.cubicTo(x + 3, i + 8, x + 6, i - 8, x + 10, i);
        if (i % 7 == 0)
            path.lineTo(x + 10, i + 1);
    }
    return path;
}

std::wstring randomWord(QRandomGenerator& random, int maximum)
{
    std::wstring word(random.bounded(maximum + 1), L'a');
    for (wchar_t& c : word)
        c = L"ab"[random.bounded(2)];
    return word;
}
} // namespace

Q_DECLARE_METATYPE(QPainterPath)

class tst_CSVGUtilsFlatten : public QObject
{
    Q_OBJECT
private slots:
    void init() { setThreshold(QVariant()); }
    void subPaths_data();
    void subPaths();
    void transformIsApplied();
    void thresholdFromSettings_data();
    void thresholdFromSettings();
    void concurrentCallsAgree();
    void replaceAll_data();
    void replaceAll();
    void replaceAllMatchesRescanWhenShortening();
};

void tst_CSVGUtilsFlatten::subPaths_data()
{
    QTest::addColumn<QPainterPath>("path");
    QTest::addColumn<QTransform>("transform");
    QTest::addColumn<QList<QPolygonF>>("expected");
    QPainterPath lineThenMove;
    lineThenMove.lineTo(10, 0);
    lineThenMove.moveTo(5, 5);
    QTest::newRow("lone move adds nothing") << lineThenMove << QTransform() << polygons({ { { 0, 0 }, { 10, 0 } } });
    QTest::newRow("empty") << QPainterPath() << QTransform() << QList<QPolygonF>();
    QPainterPath straight(QPointF(0, 0));
    straight.cubicTo(1, 0, 2, 0, 3, 0);
    straight.cubicTo(4, 0, 5, 0, 6, 0);
    straight.moveTo(0, 9);
    straight.lineTo(6, 9);
    straight.closeSubpath();
    QTest::newRow("shared point once, two sub-paths")
        << straight << QTransform() << polygons({ { { 0, 0 }, { 3, 0 }, { 6, 0 } }, { { 0, 9 }, { 6, 9 }, { 0, 9 } } });
    QPainterPath broken(QPointF(0, 0));
    broken.lineTo(5, 5);
    broken.cubicTo(6, 0, 7, 0, 10, 0);
    broken.lineTo(20, 0);
    broken.setElementPositionAt(1, qQNaN(), 5);
    broken.setElementPositionAt(2, 6, qQNaN());
    QTest::newRow("points not finite dropped")
        << broken << QTransform() << polygons({ { { 0, 0 }, { 10, 0 }, { 20, 0 } } });
    QTest::newRow("transform not finite") << broken << QTransform(qQNaN(), 0, 0, 1, 0, 0) << QList<QPolygonF>();
}

void tst_CSVGUtilsFlatten::subPaths()
{
    QFETCH(QPainterPath, path);
    QFETCH(QTransform, transform);
    QFETCH(QList<QPolygonF>, expected);
    QCOMPARE(CSVGUtils::pathToPolygons(path, transform), expected);
}

// The tolerance holds in the mapped coordinates: a rigid move maps the
// points, a magnification needs more of them.
void tst_CSVGUtilsFlatten::transformIsApplied()
{
    const QPainterPath path = wavyPath(3);
    const QPolygonF plain = CSVGUtils::pathToPolygons(path, QTransform()).value(0);
    const QTransform rigid = QTransform().translate(100, -50).rotate(30);
    QCOMPARE(CSVGUtils::pathToPolygons(path, rigid), QList<QPolygonF>({ rigid.map(plain) }));
    const QPolygonF scaled = CSVGUtils::pathToPolygons(path, QTransform::fromScale(50, 50)).value(0);
    QVERIFY(scaled.size() > 2 * plain.size());
    QCOMPARE(scaled.last(), QPointF(1500, 100));
}

void tst_CSVGUtilsFlatten::thresholdFromSettings_data()
{
    const double floor = CSVGBezierFlattener::kMinimumTolerance;
    QTest::addColumn<QVariant>("threshold");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("default") << QVariant() << 0.05;
    QTest::newRow("coarser") << QVariant(0.5) << 0.5;
    QTest::newRow("zero") << QVariant(0) << floor;
    QTest::newRow("negative") << QVariant(-1) << floor;
    QTest::newRow("not a number") << QVariant("nan") << floor;
    QTest::newRow("text") << QVariant("abc") << floor;
    QTest::newRow("huge") << QVariant(1e9) << 1e9;
}

// Read at every call from the group "hpgl"; a threshold that cannot be met
// must neither drop the curve nor subdivide for ever.
void tst_CSVGUtilsFlatten::thresholdFromSettings()
{
    QFETCH(QVariant, threshold);
    QFETCH(double, tolerance);
    setThreshold(threshold);
    const QPointF p0(10, 0), p1(10, 5.5228), p2(5.5228, 10), p3(0, 10);
    QPainterPath arc(p0);
    arc.cubicTo(p1, p2, p3);
    QPolygonF expected;
    CSVGBezierFlattener(tolerance).flatten(p0, p1, p2, p3, expected);
    QCOMPARE(expected.size() > 2, tolerance < 1);
    QCOMPARE(CSVGUtils::pathToPolygons(arc, QTransform()), QList<QPolygonF>({ expected }));
}

// std::thread rather than QThread: its join is a hand-over that
// ThreadSanitizer sees, so a run under it checks the flattening alone.
void tst_CSVGUtilsFlatten::concurrentCallsAgree()
{
    const QPainterPath path = wavyPath(2000);
    const QList<QPolygonF> expected = CSVGUtils::pathToPolygons(path, QTransform::fromScale(3, 3));
    QCOMPARE(expected.size(), 20);
    std::atomic<int> mismatches { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 10; ++round)
                mismatches += CSVGUtils::pathToPolygons(path, QTransform::fromScale(3, 3)) != expected;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(mismatches.load(), 0);
}

void tst_CSVGUtilsFlatten::replaceAll_data()
{
    QTest::addColumn<QStringList>("textFromToExpected");
    QTest::newRow("created occurrence removed") << QStringList { "aabb", "ab", "", "" };
    QTest::newRow("CDATA") << QStringList { "<![CDATA[.a{fill:red}]]>", "<![CDATA[", "", ".a{fill:red}]]>" };
    QTest::newRow("empty from") << QStringList { "abc", "", "x", "abc" };
    QTest::newRow("to contains from") << QStringList { "a-a", "a", "aa", "aa-aa" };
    QTest::newRow("replacement feeds itself") << QStringList { "aab", "ab", "bbaa", "abbaa" };
    QTest::newRow("none") << QStringList { "xyz", "q", "r", "xyz" };
}

void tst_CSVGUtilsFlatten::replaceAll()
{
    QFETCH(QStringList, textFromToExpected);
    const QStringList& t = textFromToExpected;
    const std::wstring result = CSVGUtils::replaceAll(t[0].toStdWString(), t[1].toStdWString(), t[2].toStdWString());
    QCOMPARE(QString::fromStdWString(result), t[3]);
}

// Against the literal search from the start after every replacement.
void tst_CSVGUtilsFlatten::replaceAllMatchesRescanWhenShortening()
{
    QRandomGenerator random(99);
    for (int i = 0; i < 5000; ++i) {
        std::wstring text = randomWord(random, 12);
        const std::wstring from = L"a" + randomWord(random, 3);
        const std::wstring to = randomWord(random, int(from.size()) - 1);
        const std::wstring result = CSVGUtils::replaceAll(text, from, to);
        for (auto at = text.find(from); at != std::wstring::npos; at = text.find(from))
            text.replace(at, from.size(), to);
        QCOMPARE(result, text);
    }
}

ZOCUT_TEST_MAIN(tst_CSVGUtilsFlatten)
#include "tst_CSVGUtilsFlatten.moc"
