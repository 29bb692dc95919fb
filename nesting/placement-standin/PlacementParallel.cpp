#include "PlacementParallel.h"

#include <QRunnable>
#include <QThreadPool>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace Vantor {
namespace Placement {

namespace {

// A pool thread takes this before it reads anything of its task, and the
// caller after writing the tasks, so that the task's fields reach it by a
// lock that ThreadSanitizer sees.
std::mutex handOver;

struct Batch
{
    const std::function<void(int)>* body = nullptr;
    int count = 0;
    std::mutex lock;
    std::condition_variable idle;
    int next = 0;
    int helpersRunning = 0;
    std::exception_ptr error;

    void work()
    {
        for (;;) {
            int i = 0;
            {
                std::lock_guard<std::mutex> guard(lock);
                if (next >= count)
                    return;
                i = next++;
            }
            try {
                (*body)(i);
            } catch (...) {
                std::lock_guard<std::mutex> guard(lock);
                if (!error)
                    error = std::current_exception();
                next = count;
            }
        }
    }
};

class Helper : public QRunnable
{
public:
    explicit Helper(Batch* batch)
        : m_batch(batch)
    {
        // The caller owns it: the pool must not touch it after run().
        setAutoDelete(false);
    }

    void run() override
    {
        {
            std::lock_guard<std::mutex> guard(handOver);
        }
        m_batch->work();
        std::lock_guard<std::mutex> guard(m_batch->lock);
        --m_batch->helpersRunning;
        m_batch->idle.notify_all();
    }

private:
    Batch* m_batch;
};

} // namespace

void PlacementParallel::forEach(int count, const std::function<void(int)>& body)
{
    Batch batch;
    batch.body = &body;
    batch.count = count;
    QThreadPool* pool = QThreadPool::globalInstance();
    const int helperCount = std::max(0, std::min(count - 1, pool->maxThreadCount()));
    std::vector<std::unique_ptr<Helper>> helpers;
    for (int i = 0; i < helperCount; ++i)
        helpers.push_back(std::make_unique<Helper>(&batch));
    batch.helpersRunning = helperCount;
    {
        std::lock_guard<std::mutex> guard(handOver);
    }
    for (const auto& helper : helpers)
        pool->start(helper.get());
    batch.work();
    // Helpers still queued are not waited for: the pool may be busy with
    // callers like this one, each waiting for the others' helpers.
    for (const auto& helper : helpers)
        if (pool->tryTake(helper.get())) {
            std::lock_guard<std::mutex> guard(batch.lock);
            --batch.helpersRunning;
        }
    std::unique_lock<std::mutex> guard(batch.lock);
    batch.idle.wait(guard, [&] { return batch.helpersRunning == 0; });
    if (batch.error)
        std::rethrow_exception(batch.error);
}

} // namespace Placement
} // namespace Vantor
