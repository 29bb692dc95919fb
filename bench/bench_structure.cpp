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

// Minimum and median times over interleaved rounds, the preparation left
// out of them; the ratios of both.
void report(const QString& name, std::vector<qint64> ours, const QString& peerName, std::vector<qint64> peer)
{
    std::sort(ours.begin(), ours.end());
    std::sort(peer.begin(), peer.end());
    const qint64 oursMedian = ours[ours.size() / 2];
    const qint64 peerMedian = peer[peer.size() / 2];
    const auto ratio = [](qint64 a, qint64 b) { return double(a) / double(std::max<qint64>(1, b)); };
    qInfo().noquote() << QString("%1: min %2 ms, median %3 ms; %4: min %5 ms, median %6 ms; ratio %7, of medians %8")
                             .arg(name)
                             .arg(ours.front() / 1e6, 0, 'f', 2)
                             .arg(oursMedian / 1e6, 0, 'f', 2)
                             .arg(peerName)
                             .arg(peer.front() / 1e6, 0, 'f', 2)
                             .arg(peerMedian / 1e6, 0, 'f', 2)
                             .arg(ratio(ours.front(), peer.front()), 0, 'f', 2)
                             .arg(ratio(oursMedian, peerMedian), 0, 'f', 2);
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
        whole.push_back(timed([&] { command(*big); }));
        std::vector<std::unique_ptr<CSVGDocument>> small;
        for (int i = 0; i < 4; ++i)
            small.push_back(selectedPieces(2500, false));
        quarters.push_back(timed([&] {
            for (auto& document : small)
                command(*document);
        }));
    }
    report(name + " 10000", whole, "4 x 2500", quarters);
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

// Both drawings of a round are made before either is timed, and which goes
// first alternates: the first operation after freeing the last round's
// drawings is the slower one.
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
        if (round % 2 == 0) {
            merge();
            unite();
        } else {
            unite();
            merge();
        }
        peer.push_back(timed([&] {
            ClipperLib::Clipper clipper;
            for (const ClipperLib::Path& path : paths)
                clipper.AddPath(path, ClipperLib::ptSubject, true);
            ClipperLib::Paths united;
            clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        }));
    }
    report("merge 2000 64-gons", ours, "Clipper union", peer);
    report("the union alone of 2000 64-gons", model, "Clipper union", peer);
}

void bench_structure::offsetAgainstClipper()
{
    const std::vector<ClipperLib::Path> paths = scaledPolygons(2000);
    std::vector<qint64> ours;
    std::vector<qint64> peer;
    std::vector<qint64> model;
    for (int round = 0; round < kCommandRounds; ++round) {
        std::unique_ptr<CSVGDocument> alone = selectedPieces(2000, true);
        model.push_back(timed([&] {
            for (CSVGElement* piece : alone->getSelection())
                static_cast<CSVGElementShape*>(piece)->getOffsetOutline(
                    2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
        }));
        std::unique_ptr<CSVGDocument> document = selectedPieces(2000, true);
        ours.push_back(
            timed([&] { document->offsetSelection(2, 0.25, ClipperLib::jtRound, ClipperLib::etClosedPolygon); }));
        peer.push_back(timed([&] {
            for (const ClipperLib::Path& path : paths) {
                ClipperLib::ClipperOffset offset(2.0, 0.25 * 10000);
                offset.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
                ClipperLib::Paths grown;
                offset.Execute(grown, 2 * 10000);
            }
        }));
    }
    report("offset 2000 pieces", ours, "ClipperOffset", peer);
    report("offset 2000 pieces", ours, "the element model's offset outlines alone", model);
}

ZOCUT_BENCH_MAIN(bench_structure)
#include "bench_structure.moc"
