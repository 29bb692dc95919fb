#pragma once

#include <QList>
#include <QPainterPath>
#include <QThread>

#include <atomic>

class CSVGElement;

// The cut dialog's worker that sums the areas of the pieces to cut, in
// square document units, over an OpenMP loop on the free cores. It
// works on copies of the pieces' outlines made on the GUI thread, so it
// touches no element. A piece's area is that of its filled region under the
// even-odd rule: holes count against it, whichever way they run.
class ConsumptionArea : public QThread
{
    Q_OBJECT
public:
    explicit ConsumptionArea(const QList<QPainterPath>& pieces, QObject* parent = nullptr);
    // Stops the computation and waits for the thread.
    ~ConsumptionArea() override;

    // The outline of each piece below the root, in document coordinates: one
    // per top-level shape that is drawn, its drawn descendants included. GUI
    // thread only.
    static QList<QPainterPath> piecePaths(CSVGElement* root);
    // The area of one piece, its curves flattened within the tolerance.
    static double pieceArea(const QPainterPath& piece, double tolerance);

    // 0 takes every hardware thread.
    void setThreadCount(int threads) { m_threads = threads; }
    // Thread-safe; the loop ends after the pieces under way.
    void stop() { m_stop = true; }
    // Valid once finished; false when it was stopped first.
    bool isComplete() const { return m_complete.load(std::memory_order_acquire); }
    double area() const { return m_area; }

signals:
    // From the worker thread, only when every piece was summed.
    void areaReady(double area);

protected:
    void run() override;

private:
    const QList<QPainterPath> m_pieces;
    // Read once on the GUI thread: "BezierFlatteningThreshold".
    const double m_tolerance;
    int m_threads = 0;
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_complete { false };
    std::atomic<double> m_area { 0.0 };
    std::atomic<bool> m_finished { false };
};
