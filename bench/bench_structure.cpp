#include "BenchCompare.h"
#include "BenchMain.h"
#include "BenchPieces.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGShapeBoolean.h"
#include "CSVGTreeDisposal.h"

#include <QElapsedTimer>
#include <QPainterPath>

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The drawings of the last round wait to be freed between events; that
// work would otherwise run during the next timing. So would the sorting of
// the freed memory back into the allocator's bins, which the next large
// allocation does: one is made here, untimed.
qint64 timed(const std::function<void()>& routine)
{
    CSVGTreeDisposal::flush();
    void* volatile block = std::malloc(1 << 16);
    std::free(block);
    QElapsedTimer timer;
    timer.start();
    routine();
    return timer.nsecsElapsed();
}

// The command on 10,000 selected pieces against the same command on four
// drawings of 2,500: a ratio near 1 shows no step grows faster than the
// pieces.
void compareWithQuarters(const QString& name, const std::function<void(CSVGDocument&)>& command)
{
    std::vector<qint64> whole;
    std::vector<qint64> quarters;
    for (int round = 0; round < 5; ++round) {
        std::unique_ptr<CSVGDocument> big = selectedPieces(10000, false);
        std::vector<std::unique_ptr<CSVGDocument>> small;
        for (int i = 0; i < 4; ++i)
            small.push_back(selectedPieces(2500, false));
        inTurn(round,
            { [&] { whole.push_back(timed([&] { command(*big); })); },
                [&] {
                    quarters.push_back(timed([&] {
                        for (auto& document : small)
                            command(*document);
                    }));
                } });
    }
    compareTimes(name + " 10000 / 4 x 2500", whole, quarters, {});
}

} // namespace

class bench_structure : public QObject
{
    Q_OBJECT
private slots:
    void alignDistributeGroup();
    void mergeAgainstClipper();
    void offsetAgainstClipper();
};

void bench_structure::alignDistributeGroup()
{
    compareWithQuarters("align left", [](CSVGDocument& document) { document.alignLeft(); });
    compareWithQuarters("distribute", [](CSVGDocument& document) { document.alignHorSpace(); });
    compareWithQuarters("group", [](CSVGDocument& document) { document.groupSelection(); });
}

// Rounds of merge and offset: on a shared machine the minimum needs a
// good many of them to be steady, and the median more.
constexpr int kCommandRounds = 12;

// The drawings of a round are made before any is timed, and the order
// alternates: the first operation after freeing the last round's drawings
// is the slower one. The merge takes at most 1.5 times the bare union, the
// offset at most twice the bare offsets.
void bench_structure::mergeAgainstClipper()
{
    const std::vector<ClipperLib::Path> paths = scaledPolygons(2000);
    std::vector<qint64> ours;
    std::vector<qint64> peer;
    std::vector<qint64> model;
    for (int round = 0; round < kCommandRounds; ++round) {
        std::unique_ptr<CSVGDocument> document = selectedPieces(2000, true);
        std::unique_ptr<CSVGDocument> alone = selectedPieces(2000, true);
        const QVector<CSVGElement*> selected = alone->getSelection();
        const auto merge = [&] { ours.push_back(timed([&] { document->mergeShapes(); })); };
        const auto unite = [&] {
            model.push_back(timed(
                [&] { CSVGShapeBoolean(alone.get()).unite(QList<CSVGElement*>(selected.begin(), selected.end())); }));
        };
        const auto bare = [&] {
            peer.push_back(timed([&] {
                ClipperLib::Clipper clipper;
                for (const ClipperLib::Path& path : paths)
                    clipper.AddPath(path, ClipperLib::ptSubject, true);
                ClipperLib::Paths united;
                clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
            }));
        };
        inTurn(round, { merge, unite, bare });
    }
    compareTimes("merge 2000 64-gons / Clipper union", ours, peer, "<= 1.5");
    compareTimes("the union alone of 2000 64-gons / Clipper union", model, peer, {});
}

void bench_structure::offsetAgainstClipper()
{
    const std::vector<ClipperLib::Path> paths = scaledPolygons(2000);
    std::vector<qint64> ours;
    std::vector<qint64> peer;
    std::vector<qint64> model;
    for (int round = 0; round < kCommandRounds; ++round) {
        std::unique_ptr<CSVGDocument> alone = selectedPieces(2000, true);
        std::unique_ptr<CSVGDocument> document = selectedPieces(2000, true);
        const auto outlines = [&] {
            model.push_back(timed([&] {
                for (CSVGElement* piece : alone->getSelection())
                    static_cast<CSVGElementShape*>(piece)->getOffsetOutline(
                        2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
            }));
        };
        const auto offset = [&] {
            ours.push_back(
                timed([&] { document->offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon); }));
        };
        const auto bare = [&] {
            peer.push_back(timed([&] {
                for (const ClipperLib::Path& path : paths) {
                    ClipperLib::ClipperOffset grower(2.0, 0.25 * 10000);
                    grower.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
                    ClipperLib::Paths grown;
                    grower.Execute(grown, 2 * 10000);
                }
            }));
        };
        inTurn(round, { outlines, offset, bare });
    }
    compareTimes("offset 2000 pieces / ClipperOffset", ours, peer, "<= 2");
    compareTimes("offset 2000 pieces / the element model's offset outlines alone", ours, model, {});
}

ZOCUT_BENCH_MAIN(bench_structure)
#include "bench_structure.moc"
