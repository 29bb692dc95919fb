#include "BenchCompare.h"
#include "BenchMain.h"
#include "CActionComposite.h"
#include "CActionDel.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"

#include <QPainterPath>

namespace {

CSVGElement* buildDrawing(CSVGDocument& document, int pieces)
{
    // A new document already holds its empty root.
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < pieces; ++i) {
        QPainterPath square;
        square.addRect(i % 100 * 20.0, i / 100 * 20.0, 10, 10);
        root->appendChild(document.createPathElement(square), true, false);
    }
    return root;
}

// The delete command: one step that removes every piece.
void deleteAll(CSVGDocument& document, CSVGElement* root)
{
    auto* step = new CActionComposite(&document);
    document.getHistory().push(step);
    while (root->getChildCount() > 0) {
        CSVGElement* piece = root->getChild(root->getChildCount() - 1);
        step->addAction(new CActionDel(&document, piece));
        piece->removeFromParent(true);
    }
}

} // namespace

// Undo and redo of deleting 10,000 pieces, against the deletion itself.
class bench_undoHistory : public QObject
{
    Q_OBJECT
private slots:
    void undoRedoDelete();
};

void bench_undoHistory::undoRedoDelete()
{
    CSVGDocument document;
    CSVGElement* root = buildDrawing(document, 10000);
    CActionHistory& history = document.getHistory();
    // An undo needs the step before it, so the history sets the order of
    // each pair: the pairs are timed in rounds instead of interleaved.
    const auto pairs = [](const QString& what, const std::function<void()>& first, const QString& then,
                           const std::function<void()>& second) {
        std::vector<qint64> firstTimes;
        std::vector<qint64> secondTimes;
        for (int round = 0; round < 5; ++round) {
            for (auto [routine, times] : { std::pair(&first, &firstTimes), std::pair(&second, &secondTimes) }) {
                QElapsedTimer timer;
                timer.start();
                (*routine)();
                times->push_back(timer.nsecsElapsed());
            }
        }
        compareTimes(what + " / " + then, firstTimes, secondTimes, {});
    };
    pairs(
        "delete command", [&]() { deleteAll(document, root); }, "undo", [&]() { history.undo(); });
    pairs(
        "redo", [&]() { history.redo(); }, "undo", [&]() { history.undo(); });
    QCOMPARE(root->getChildCount(), 10000);
}

ZOCUT_BENCH_MAIN(bench_undoHistory)
#include "bench_undoHistory.moc"
