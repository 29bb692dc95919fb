#include "Worker.h"

#include "AbstractService.h"

Worker::Worker(QObject* parent)
    : QThread(parent)
{
}

Worker::~Worker()
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        if (!m_draining)
            m_commands.clear();
        m_draining = true;
        m_wake.notify_all();
    }
    wait();
    // The thread's last use of the members came back by QThread's own
    // lock; taking ours as well lets ThreadSanitizer see that.
    std::lock_guard<std::mutex> locker(m_lock);
}

void Worker::post(const CommandParameter& command)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_commands.enqueue(command);
    m_wake.notify_all();
}

QList<Worker::Reply> Worker::takeReplies()
{
    std::lock_guard<std::mutex> locker(m_lock);
    QList<Reply> replies;
    replies.swap(m_replies);
    return replies;
}

void Worker::stop()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_stopping = true;
    m_commands.clear();
    m_wake.notify_all();
}

void Worker::drain()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_draining = true;
    m_wake.notify_all();
}

bool Worker::nextCommand(CommandParameter& command)
{
    std::unique_lock<std::mutex> locker(m_lock);
    m_wake.wait(locker, [this] { return m_stopping || m_draining || !m_commands.isEmpty(); });
    if (m_stopping || m_commands.isEmpty())
        return false;
    command = m_commands.dequeue();
    return true;
}

void Worker::run()
{
    AbstractService service;
    service.setTimeout(m_timeout);
    CommandParameter command;
    while (nextCommand(command)) {
        // A connection lost on the way is made again for the next command.
        QString reply;
        if (!service.isConnected()) {
            reply = service.connect();
            if (!AbstractService::isError(reply))
                reply = service.login();
            if (AbstractService::isError(reply))
                service.logout();
        }
        if (!AbstractService::isError(reply))
            reply = service.request(command);
        {
            std::lock_guard<std::mutex> locker(m_lock);
            m_replies.append({ command, reply });
        }
        emit replied();
    }
    service.logout();
}
