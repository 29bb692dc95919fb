#include "CSVGTreeDisposal.h"

#include "CSVGElement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimerEvent>

#include <deque>

namespace {

// Long enough to free some thousand elements, short enough that input and
// paints between two slices are not held up.
const qint64 kSliceNs = 4000000;
const size_t kElementsPerClockCheck = 64;

// The application thread's queue: a zero timer takes the next slice once
// the events before it are handled.
class DisposalQueue : public QObject
{
public:
    static DisposalQueue* instance()
    {
        if (!s_queue) {
            s_queue = new DisposalQueue;
            qAddPostRoutine(shutDown);
        }
        return s_queue;
    }
    static DisposalQueue* existing() { return s_queue; }

    void add(std::vector<CSVGElement*> elements)
    {
        m_elements.insert(m_elements.end(), elements.begin(), elements.end());
        wake();
    }

    void add(std::function<void()> deletion)
    {
        m_deletions.push_back(std::move(deletion));
        wake();
    }

    bool isIdle() const { return m_elements.empty() && m_deletions.empty(); }

    // The elements first: the data that goes with them may be what they
    // would have reached.
    void runSlice(qint64 budgetNs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_elements.empty()) {
            CSVGElement::deleteElements(m_elements, kElementsPerClockCheck);
            if (budgetNs >= 0 && clock.nsecsElapsed() > budgetNs)
                return;
        }
        while (!m_deletions.empty()) {
            std::function<void()> deletion = std::move(m_deletions.front());
            m_deletions.pop_front();
            deletion();
            if (budgetNs >= 0 && clock.nsecsElapsed() > budgetNs)
                return;
        }
    }

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() != m_timerId)
            return;
        runSlice(kSliceNs);
        if (isIdle()) {
            killTimer(m_timerId);
            m_timerId = 0;
        }
    }

private:
    DisposalQueue() = default;

    void wake()
    {
        if (!m_timerId)
            m_timerId = startTimer(0);
    }

    static void shutDown()
    {
        DisposalQueue* queue = std::exchange(s_queue, nullptr);
        queue->runSlice(-1);
        delete queue;
    }

    static DisposalQueue* s_queue;
    std::vector<CSVGElement*> m_elements;
    std::deque<std::function<void()>> m_deletions;
    int m_timerId = 0;
};

DisposalQueue* DisposalQueue::s_queue = nullptr;

bool onApplicationThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

} // namespace

void CSVGTreeDisposal::dispose(std::vector<CSVGElement*> elements)
{
    if (onApplicationThread())
        DisposalQueue::instance()->add(std::move(elements));
    else
        CSVGElement::deleteElements(elements, SIZE_MAX);
}

void CSVGTreeDisposal::dispose(std::function<void()> deletion)
{
    if (onApplicationThread())
        DisposalQueue::instance()->add(std::move(deletion));
    else
        deletion();
}

void CSVGTreeDisposal::flush()
{
    if (DisposalQueue* queue = onApplicationThread() ? DisposalQueue::existing() : nullptr)
        queue->runSlice(-1);
}

bool CSVGTreeDisposal::isIdle()
{
    const DisposalQueue* queue = onApplicationThread() ? DisposalQueue::existing() : nullptr;
    return !queue || queue->isIdle();
}
