#include "PlotterThread.h"

#include "AbstractPlotter.h"

#include <QThread>

PlotterThread::PlotterThread(AbstractPlotter* plotter, QObject* parent)
    : QObject(parent)
    , m_plotter(plotter)
    , m_thread(new QThread(this))
{
    m_plotter->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_plotter, &AbstractPlotter::process);
    // Direct: the thread ends even while the GUI thread waits for it.
    connect(m_plotter, &AbstractPlotter::finished, m_thread, &QThread::quit, Qt::DirectConnection);
}

// The owner goes now: a stopped job's ending may wait minutes for a slow
// plotter, which no one would be left to tell about.
PlotterThread::~PlotterThread()
{
    m_plotter->abandon();
    m_thread->quit();
    m_thread->wait();
    delete m_plotter;
}

void PlotterThread::start()
{
    m_thread->start();
}

void PlotterThread::stop()
{
    m_plotter->stop();
}

bool PlotterThread::isRunning() const
{
    return m_thread->isRunning();
}
