#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>

#include <memory>

namespace {

const int kColumns = 100;
const double kPitch = 30;

// A shown canvas of pieces in rows of 100, 20 x 20 units each, 30 apart,
// the first rows in view at real size.
std::unique_ptr<CSVGView> canvasWith(int pieces)
{
    auto view = std::make_unique<CSVGView>(nullptr);
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"15000\" height=\"15000\">";
    for (int i = 0; i < pieces; ++i) {
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"20\" height=\"20\"/>")
                   .arg((i % kColumns) * kPitch)
                   .arg((i / kColumns) * kPitch)
                   .toUtf8();
    }
    view->loadData(svg + "</svg>");
    view->resize(800, 600);
    view->show();
    view->setTransform(QTransform::fromScale(2, 2));
    view->centerOn(150, 100);
    QCoreApplication::processEvents();
    return view;
}

void send(CSVGView& view, QEvent::Type type, const QPointF& scene, Qt::MouseButtons held)
{
    const QPoint at = view.mapFromScene(scene);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

// Moves of one dragged piece (selected by a click first), back and forth: the pieces hit stay the same
// whatever the drawing holds.
std::function<void()> dragMoves(CSVGView& view)
{
    send(view, QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton);
    send(view, QEvent::MouseButtonRelease, QPointF(100, 100), Qt::NoButton);
    send(view, QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton);
    send(view, QEvent::MouseMove, QPointF(120, 120), Qt::LeftButton);
    return [&view] {
        for (int i = 0; i < 20; ++i)
            send(view, QEvent::MouseMove, QPointF(120 + i % 2 * 10, 120), Qt::LeftButton);
    };
}

// A band over nine pieces, from a press on empty canvas to its release.
std::function<void()> bandGestures(CSVGView& view)
{
    return [&view] {
        for (int i = 0; i < 5; ++i) {
            send(view, QEvent::MouseButtonPress, QPointF(85, 85), Qt::LeftButton);
            send(view, QEvent::MouseMove, QPointF(175, 175), Qt::LeftButton);
            send(view, QEvent::MouseButtonRelease, QPointF(175, 175), Qt::NoButton);
        }
    };
}

// Counts the paints that reach a canvas through the event loop.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* viewport) { viewport->installEventFilter(this); }

    // Turns the event loop until the next paint is over.
    void waitForPaint()
    {
        const int before = m_paints;
        QElapsedTimer clock;
        clock.start();
        while (m_paints == before) {
            if (clock.elapsed() > 60000)
                qFatal("the canvas did not paint");
            QCoreApplication::processEvents();
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }

private:
    int m_paints = 0;
};

} // namespace

// The canvas's gestures on 1 k and 10 k pieces: the cost should follow the
// pieces hit, not the pieces there are; a delete of every piece in view
// costs no more than one paint of them. Run offscreen.
class bench_canvasInput : public QObject
{
    Q_OBJECT
private slots:
    void dragMove()
    {
        const auto large = canvasWith(10000);
        const auto small = canvasWith(1000);
        compareInterleaved("drag move, 10 k pieces", 7, dragMoves(*large), "1 k pieces", dragMoves(*small));
        const QVector<CSVGElement*> dragged = large->getDocument()->getSelection();
        QCOMPARE(dragged.size(), 1);
        QVERIFY(!dragged.first()->getAttribute(std::wstring(L"transform")).empty());
    }

    void rubberBandRelease()
    {
        const auto large = canvasWith(10000);
        const auto small = canvasWith(1000);
        compareInterleaved("rubber band, 10 k pieces", 7, bandGestures(*large), "1 k pieces", bandGestures(*small));
    }

    // Delete after select all on the generator's 10 k-path drawing in view,
    // with the paint that shows the canvas without them, against one paint
    // of it; the pieces come back and are selected again between the rounds.
    void deleteAllPainted()
    {
        QFile file(benchInput(QStringLiteral("paths10k.svg")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        auto view = std::make_unique<CSVGView>(nullptr);
        QVERIFY(view->loadData(file.readAll()));
        view->resize(1000, 1000);
        view->show();
        view->fitPage();
        PaintCounter paints(view->viewport());
        view->viewport()->update();
        paints.waitForPaint();
        CSVGElement* root = view->getDocument()->getOwnerSvg();
        const int children = root->getChildCount();
        bool deleted = false;
        const auto restore = [&] {
            if (deleted) {
                view->OnUndo();
                paints.waitForPaint();
                deleted = false;
            }
            // The overlap check that the change queued, done now: its end
            // would repaint the canvas at a time of its own.
            view->getDocument()->checkIntersections();
            view->getDocument()->selectAll();
            view->repaint();
            paints.waitForPaint();
        };
        const auto deleteAll = [&] {
            view->OnDel();
            deleted = true;
            paints.waitForPaint();
        };
        // Every timed round starts as the later ones do: the pieces brought
        // back by the undo, painted and selected.
        restore();
        deleteAll();
        restore();
        compareInterleaved(
            "delete after select all, 10 k paths in view, with its paint", 7, deleteAll, "one paint of the 10 k paths",
            [&] {
                view->viewport()->update();
                paints.waitForPaint();
            },
            "<= 1", restore);
        QCOMPARE(root->getChildCount(), children);
        QVERIFY(children > 10000);
    }
};

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_canvasInput)
#include "bench_canvasInput.moc"
