#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGUtils.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>
#include <functional>
#include <thread>
#include <vector>

namespace {
// 10,000 cubics: 100 rings of 100 arcs each, a drawing of many round pieces.
QPainterPath manyCubics()
{
    const int rings = 100;
    const int arcs = 100;
    const double step = 2 * std::acos(-1.0) / arcs;
    const double handle = 4.0 / 3.0 * std::tan(step / 4);
    QPainterPath path;
    for (int ring = 0; ring < rings; ++ring) {
        const QPointF centre((ring % 10) * 250.0, (ring / 10) * 250.0);
        const double radius = 20.0 + ring;
        auto at = [&](double angle, double scale) {
            return centre + radius * scale * QPointF(std::cos(angle), std::sin(angle));
        };
        path.moveTo(at(0, 1));
        for (int i = 0; i < arcs; ++i) {
            const double a = i * step;
            const double b = a + step;
            const double h = std::hypot(1.0, handle);
            path.cubicTo(at(a + std::atan(handle), h), at(b - std::atan(handle), h), at(b, 1));
        }
    }
    return path;
}
} // namespace

class bench_flatten : public QObject
{
    Q_OBJECT
private slots:
    void oneThread();
    void eightThreads();

private:
    const QPainterPath m_path = manyCubics();
};

// Against Qt's own flattening of the same path into polygons.
void bench_flatten::oneThread()
{
    const QTransform scale = QTransform::fromScale(4, 4);
    int points = 0;
    compareInterleaved(
        "flattening 10,000 cubics", 7,
        [&] {
            points = 0;
            for (const QPolygonF& polygon : CSVGUtils::pathToPolygons(m_path, scale))
                points += polygon.size();
        },
        "QPainterPath::toSubpathPolygons", [&] { m_path.toSubpathPolygons(scale); });
    QVERIFY(points > m_path.elementCount() / 3);
}

// Eight threads flatten the same drawing at once, as the area computation of
// the cut dialog does; ideally as fast as one thread on eight cores. The
// peer is Qt's flattening on eight threads.
void bench_flatten::eightThreads()
{
    const auto onEightThreads = [this](const std::function<void()>& flatten) {
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back(flatten);
        for (std::thread& thread : threads)
            thread.join();
    };
    const QTransform scale = QTransform::fromScale(4, 4);
    compareInterleaved(
        "flattening 10,000 cubics on eight threads", 7,
        [&] { onEightThreads([&] { CSVGUtils::pathToPolygons(m_path, scale); }); },
        "QPainterPath::toSubpathPolygons on eight threads",
        [&] { onEightThreads([&] { m_path.toSubpathPolygons(scale); }); });
}

ZOCUT_BENCH_MAIN(bench_flatten)

#include "bench_flatten.moc"
