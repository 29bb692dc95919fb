#pragma once

#include "PlacementAutomatic.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace Vantor {
namespace Placement {

// What a run has reached; copied out whole, so a reader never sees half an
// update.
struct PlacementStatus
{
    bool running = false;
    bool finished = false;
    QString error;
    PlacementRefusal refusal;
    int placed = 0;
    int pieces = 0;
    double rollLength = 0;
    // Filled once the run has finished.
    QVector<PlacementInfo> placements;
};

// Runs one placement on a thread of its own, a piece per step, so that a
// dialog can poll it on a timer and a server can answer while it works.
// Stopping (or destroying) it waits for the step under way.
class PlacementRunner
{
public:
    PlacementRunner() = default;
    ~PlacementRunner();
    PlacementRunner(const PlacementRunner&) = delete;
    PlacementRunner& operator=(const PlacementRunner&) = delete;

    // Stops a run under way first.
    void start(const QVector<PieceInfo>& pieces, const PlacementSettings& settings);
    void stop();
    PlacementStatus status() const;

private:
    void run(QVector<PieceInfo> pieces, PlacementSettings settings);
    void publish(const PlacementAutomatic& engine, bool running);

    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    mutable std::mutex m_lock;
    PlacementStatus m_status;
};

} // namespace Placement
} // namespace Vantor
