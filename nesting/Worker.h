#pragma once

#include "CommandParameter.h"

#include <QList>
#include <QQueue>
#include <QThread>

#include <condition_variable>
#include <mutex>

// The thread that talks to the nesting server: it takes posted commands one
// by one, connects and signs in where needed, and collects the replies
// (text of the service, failures in band), saying so by replied(). A mutex
// guards the commands and the replies: a standard one, which, unlike Qt's,
// ThreadSanitizer sees.
class Worker : public QThread
{
    Q_OBJECT
public:
    struct Reply
    {
        CommandParameter command;
        QString text;
    };

    explicit Worker(QObject* parent = nullptr);
    // Stops (after the posted commands when draining) and waits.
    ~Worker() override;

    void post(const CommandParameter& command);
    QList<Reply> takeReplies();
    // Ends the thread after the call under way; the rest is dropped.
    void stop();
    // Ends the thread once every posted command is done.
    void drain();
    // For each network operation of the service.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

signals:
    void replied();

protected:
    void run() override;

private:
    bool nextCommand(CommandParameter& command);

    std::mutex m_lock;
    std::condition_variable m_wake;
    QQueue<CommandParameter> m_commands;
    QList<Reply> m_replies;
    bool m_stopping = false;
    bool m_draining = false;
    int m_timeout = 10000;
};
