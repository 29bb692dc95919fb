#include "PlacementRunner.h"

#include <QCoreApplication>

namespace Vantor {
namespace Placement {

PlacementRunner::~PlacementRunner()
{
    stop();
}

void PlacementRunner::start(const QVector<PieceInfo>& pieces, const PlacementSettings& settings)
{
    stop();
    m_stop = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_status = PlacementStatus();
        m_status.running = true;
        m_status.pieces = pieces.size();
    }
    m_thread = std::thread(&PlacementRunner::run, this, pieces, settings);
}

void PlacementRunner::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_status.running) {
        m_status.running = false;
        m_status.error = QCoreApplication::translate("PlacementRunner", "The placement was stopped.");
    }
}

PlacementStatus PlacementRunner::status() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_status;
}

void PlacementRunner::run(QVector<PieceInfo> pieces, PlacementSettings settings)
{
    PlacementAutomatic engine;
    if (engine.start(pieces, settings))
        while (!m_stop && engine.step())
            publish(engine, true);
    if (!m_stop)
        publish(engine, false);
}

void PlacementRunner::publish(const PlacementAutomatic& engine, bool running)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_status.running = running;
    m_status.finished = !running && engine.isFinished();
    m_status.error = engine.error();
    m_status.refusal = engine.refusal();
    m_status.placed = engine.placedCount();
    m_status.rollLength = engine.rollLength();
    if (m_status.finished)
        m_status.placements = engine.placements();
}

} // namespace Placement
} // namespace Vantor
