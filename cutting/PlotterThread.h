#pragma once

#include <QObject>

class AbstractPlotter;
class QThread;

// Runs one driver on a thread of its own and owns both. When the owner goes
// (the cut dialog closes) a running job is stopped and its thread joined.
class PlotterThread : public QObject
{
    Q_OBJECT
public:
    // Takes the driver, which must have no parent.
    explicit PlotterThread(AbstractPlotter* plotter, QObject* parent = nullptr);
    ~PlotterThread() override;

    AbstractPlotter* plotter() const { return m_plotter; }
    void start();
    void stop();
    bool isRunning() const;

private:
    AbstractPlotter* m_plotter;
    QThread* m_thread;
};
