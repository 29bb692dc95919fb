#pragma once

#include <QByteArray>
#include <QString>

// The transport under the nesting service: one connection that carries one
// request frame and its reply at a time. Every call blocks its caller until
// it completes or its time is up; failures come back as plain text.
class AbstractRequestImpl
{
public:
    virtual ~AbstractRequestImpl() = default;

    // Empty on success, else what went wrong.
    virtual QString open(const QString& host, quint16 port, int timeoutMilliseconds) = 0;
    // Sends the payload as one frame and reads the reply frame's payload.
    // Empty on success; on failure the connection is closed.
    virtual QString exchange(const QByteArray& request, QByteArray& reply, int timeoutMilliseconds) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};
