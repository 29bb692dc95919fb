#pragma once

#include <QObject>

class AbstractPlotter;
class QThread;

// Runs one driver on a thread of its own and owns both. A job stopped with
// stop() ends on its own time; when the owner goes, a running job is
// abandoned at once and its thread joined.
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
