#pragma once

#include <QString>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;

// What a sent request carries into the handling of its reply, so that the
// outcome is delivered even after the HttpRequest that sent it is gone.
struct HttpReplyContext
{
    std::function<void(const QString& body)> successHandler;
    std::function<void(const QString& errorString, int errorCode)> failHandler;
    std::function<void()> completeHandler;
    bool debug = false;
    bool ownManager = true;
    QString charset;
    // The manager that sends this request: one of its own (released with the
    // reply) or the caller's shared one.
    QNetworkAccessManager* manager = nullptr;

    // Delivers the reply's outcome once it has finished. A reply that moves
    // no data for timeoutMs is aborted and reported as a time-out. The
    // multipart body of an upload (may be null) is released with the reply.
    static void attach(QNetworkReply* reply, const HttpReplyContext& context, QObject* multipart, int timeoutMs);

    // Reports a failure that happened before anything was sent, from the
    // event loop, as a network failure would arrive.
    void failLater(const QString& errorString, int errorCode) const;

    // Requests sent whose callbacks have not all run yet.
    static int underWayCount();

private:
    void finish(QNetworkReply* reply, bool timedOut) const;
    QString readBody(QNetworkReply* reply) const;
    void fail(const QString& errorString, int errorCode) const;
};
