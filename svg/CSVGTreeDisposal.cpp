#include "CSVGTreeDisposal.h"

#include <QCoreApplication>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

class DisposalThread
{
public:
    static DisposalThread& instance()
    {
        static DisposalThread thread;
        return thread;
    }

    ~DisposalThread()
    {
        {
            std::lock_guard<std::mutex> locker(m_lock);
            m_stopping = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    void add(std::function<void()> deletion)
    {
        {
            std::lock_guard<std::mutex> locker(m_lock);
            m_pending.push_back(std::move(deletion));
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_all();
        // The application object goes before the static objects: whatever
        // is still pending then is deleted while Qt is whole.
        if (QCoreApplication::instance() && !m_drainRegistered.exchange(true))
            qAddPostRoutine(drain);
    }

    void waitUntilIdle()
    {
        std::unique_lock<std::mutex> locker(m_lock);
        m_idle.wait(locker, [this] { return m_pending.empty() && !m_busy; });
    }

private:
    DisposalThread() = default;

    static void drain()
    {
        DisposalThread& thread = instance();
        thread.waitUntilIdle();
        thread.m_drainRegistered = false;
    }

    void run()
    {
        std::unique_lock<std::mutex> locker(m_lock);
        for (;;) {
            m_wake.wait(locker, [this] { return m_stopping || !m_pending.empty(); });
            if (m_pending.empty())
                return;
            std::function<void()> deletion = std::move(m_pending.front());
            m_pending.pop_front();
            m_busy = true;
            locker.unlock();
            deletion();
            deletion = nullptr;
            locker.lock();
            m_busy = false;
            if (m_pending.empty())
                m_idle.notify_all();
        }
    }

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    std::atomic<bool> m_drainRegistered { false };
    std::thread m_thread;
};

} // namespace

void CSVGTreeDisposal::dispose(std::function<void()> deletion)
{
    DisposalThread::instance().add(std::move(deletion));
}

void CSVGTreeDisposal::waitUntilIdle()
{
    DisposalThread::instance().waitUntilIdle();
}
