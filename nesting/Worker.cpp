#include "Worker.h"

#include "AbstractService.h"

Worker::Worker(QObject* parent)
    : QThread(parent)
{
}

Worker::~Worker()
{
    {
        QMutexLocker locker(&m_lock);
        if (!m_draining)
            m_commands.clear();
        m_draining = true;
        m_wake.wakeAll();
    }
    wait();
}

void Worker::post(const CommandParameter& command)
{
    QMutexLocker locker(&m_lock);
    m_commands.enqueue(command);
    m_wake.wakeAll();
}

QList<Worker::Reply> Worker::takeReplies()
{
    QMutexLocker locker(&m_lock);
    QList<Reply> replies;
    replies.swap(m_replies);
    return replies;
}

void Worker::stop()
{
    QMutexLocker locker(&m_lock);
    m_stopping = true;
    m_commands.clear();
    m_wake.wakeAll();
}

void Worker::drain()
{
    QMutexLocker locker(&m_lock);
    m_draining = true;
    m_wake.wakeAll();
}

bool Worker::nextCommand(CommandParameter& command)
{
    QMutexLocker locker(&m_lock);
    while (!m_stopping && !m_draining && m_commands.isEmpty())
        m_wake.wait(&m_lock);
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
            QMutexLocker locker(&m_lock);
            m_replies.append({ command, reply });
        }
        emit replied();
    }
    service.logout();
}
