#include "HttpReplyContext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextCodec>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <memory>

namespace {
std::atomic<int> g_underWay { 0 };

// Counts a request as under way for as long as the returned token lives.
// The handling of its outcome holds the token, so the count drops only
// after the callbacks have run and counted any request that they sent.
std::shared_ptr<void> underWay()
{
    ++g_underWay;
    return std::shared_ptr<void>(nullptr, [](void*) { --g_underWay; });
}
} // namespace

int HttpReplyContext::underWayCount()
{
    return g_underWay;
}

void HttpReplyContext::attach(QNetworkReply* reply, const HttpReplyContext& context, QObject* multipart, int timeoutMs)
{
    if (multipart)
        multipart->setParent(reply);
    // The timer counts from the last byte moved in either direction, so a
    // large upload that makes progress is never cut off.
    auto* idle = new QTimer(reply);
    idle->setSingleShot(true);
    auto timedOut = std::make_shared<bool>(false);
    QObject::connect(idle, &QTimer::timeout, reply, [reply, timedOut]() {
        *timedOut = true;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::uploadProgress, idle, [idle]() { idle->start(); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, idle, [idle]() { idle->start(); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, context, idle, timedOut, token = underWay()]() {
        idle->stop();
        context.finish(reply, *timedOut);
    });
    idle->start(timeoutMs);
}

QString HttpReplyContext::readBody(QNetworkReply* reply) const
{
    QTextStream stream(reply);
    QTextCodec* codec = QTextCodec::codecForName(charset.toLatin1());
    stream.setCodec(codec ? codec : QTextCodec::codecForName("UTF-8"));
    QString body;
    while (!stream.atEnd())
        body += stream.readLine();
    return body;
}

void HttpReplyContext::finish(QNetworkReply* reply, bool timedOut) const
{
    const QString body = readBody(reply);
    if (timedOut) {
        fail(QCoreApplication::translate("HttpRequest", "The server did not answer in time"),
            QNetworkReply::TimeoutError);
    } else if (reply->error() == QNetworkReply::NoError) {
        if (debug)
            qDebug().noquote() << QStringLiteral("[结束] 成功: %1").arg(body);
        if (successHandler)
            successHandler(body);
        if (completeHandler)
            completeHandler();
    } else {
        fail(reply->errorString(), reply->error());
    }
    reply->deleteLater();
    if (ownManager && manager)
        manager->deleteLater();
}

void HttpReplyContext::fail(const QString& errorString, int errorCode) const
{
    if (debug)
        qDebug().noquote() << QStringLiteral("[结束] 失败: %1").arg(errorString);
    if (failHandler)
        failHandler(errorString, errorCode);
    if (completeHandler)
        completeHandler();
}

void HttpReplyContext::failLater(const QString& errorString, int errorCode) const
{
    const HttpReplyContext context = *this;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [context, errorString, errorCode, token = underWay()]() { context.fail(errorString, errorCode); },
        Qt::QueuedConnection);
}
