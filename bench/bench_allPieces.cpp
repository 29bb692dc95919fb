#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QSize kFrame(1000, 1000);
const int kRounds = 9;
// The canvases of the run.
std::vector<CSVGView*> g_canvases;

// The generator's drawing cut down to its first paths: the same pieces,
// fewer of them.
QByteArray firstPaths(const QByteArray& svg, int count)
{
    QByteArray kept;
    int paths = 0;
    for (const QByteArray& line : svg.split('\n')) {
        const bool path = line.startsWith("<path");
        if (!path || paths++ < count)
            kept += line + '\n';
    }
    return kept;
}

// A canvas of the size of a window's, with the whole drawing in view.
std::unique_ptr<CSVGView> canvasOf(const QByteArray& svg)
{
    auto view = std::make_unique<CSVGView>(nullptr);
    view->resize(kFrame);
    if (!view->loadData(svg))
        qFatal("the benchmark's drawing did not load");
    view->fitPage();
    QCoreApplication::processEvents();
    view->viewport()->grab();
    g_canvases.push_back(view.get());
    return view;
}

void selectAll(CSVGView& view)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(&view, &press);
}

// Nothing left of the commands before, on any canvas: the intersection
// checks that they queued are done.
void settle()
{
    for (CSVGView* view : g_canvases)
        view->getDocument()->checkIntersections();
    QCoreApplication::processEvents();
}

// A command, from a settled canvas, with the turn of the event loop that
// follows it (the first slice of the intersection check it queues; the rest
// comes in slices between later events); the paint that shows it is
// measured apart.
qint64 timed(const std::function<void()>& command)
{
    settle();
    QElapsedTimer clock;
    clock.start();
    command();
    QCoreApplication::processEvents();
    return clock.nsecsElapsed();
}

struct Times
{
    std::vector<qint64> paint;
    std::vector<qint64> selectAll;
    std::vector<qint64> deleteAll;
    std::vector<qint64> undo;
};

// One round on one canvas: each command from the state a person would give
// it, the drawing whole again at the end.
void round(CSVGView& view, Times& times)
{
    times.paint.push_back(timed([&view] { view.viewport()->grab(); }));
    view.getDocument()->clearSelection();
    times.selectAll.push_back(timed([&view] { selectAll(view); }));
    times.deleteAll.push_back(timed([&view] { view.OnDel(); }));
    times.undo.push_back(timed([&view] { view.OnUndo(); }));
}

} // namespace

// Select all, delete all and its undo on every piece of the generator's
// 10 k-path drawing, against one paint of the same pieces and against the
// same commands on 1 k of them. Run offscreen.
class bench_allPieces : public QObject
{
    Q_OBJECT
private slots:
    void commandsOnAllPieces();
};

void bench_allPieces::commandsOnAllPieces()
{
    QFile file(benchInput(QStringLiteral("paths10k.svg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    const auto large = canvasOf(svg);
    const auto small = canvasOf(firstPaths(svg, 1000));
    const int children = large->getDocument()->getOwnerSvg()->getChildCount();
    QVERIFY(children > 10000);
    Times tenThousand;
    Times thousand;
    alternate(
        kRounds, [&] { round(*large, tenThousand); }, [&] { round(*small, thousand); });
    QCOMPARE(large->getDocument()->getOwnerSvg()->getChildCount(), children);
    const struct
    {
        const char* name;
        std::vector<qint64> Times::*times;
    } commands[] = { { "select all", &Times::selectAll }, { "delete all", &Times::deleteAll },
        { "undo of delete all", &Times::undo } };
    for (const auto& command : commands) {
        const QString name = QString::fromLatin1(command.name);
        compareTimes(name + ", 10 k pieces / one paint of them", tenThousand.*command.times, tenThousand.paint, "<= 1");
        compareTimes(name + ", 10 k pieces / 1 k pieces", tenThousand.*command.times, thousand.*command.times, "<= 12");
    }
    g_canvases.clear();
}

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_allPieces)
#include "bench_allPieces.moc"
