#pragma once

#include "HttpReplyContext.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QNetworkRequest>
#include <QPair>
#include <QString>

#include <functional>

class QNetworkAccessManager;

// The state of one HttpRequest, and how it turns into a network request.
struct HttpRequestPrivate
{
    enum class Body { None, Form, Json };
    // Verb of the multipart uploads, after GET, POST, PUT and DELETE.
    static const int kUploadVerb = 4;

    explicit HttpRequestPrivate(const QString& address);

    QString url;
    QString json;
    // In the order added, duplicates kept.
    QList<QPair<QString, QString>> params;
    QString charset = QStringLiteral("UTF-8");
    QHash<QString, QString> headers;
    QNetworkAccessManager* manager = nullptr;
    bool useJson = false;
    bool debug = false;
    bool ownManager = true;
    std::function<void(const QString&)> successHandler;
    std::function<void(const QString&, int)> failHandler;
    std::function<void()> completeHandler;

    // With createManager, a request that owns its manager gets a new one.
    HttpReplyContext makeContext(bool createManager) const;
    Body bodyKind(int verb) const;
    QByteArray body(Body kind) const;
    QNetworkRequest buildRequest(int verb, Body kind);

    // Form encoding in which every character but the unreserved ones
    // (letters, digits, "-", ".", "_", "~") is percent-encoded from UTF-8, so
    // that "+", "&", "=" and "%" reach the server as they were.
    static QByteArray encodeForm(const QList<QPair<QString, QString>>& items);

private:
    void setContentType(const QString& value);
    void printDebug(const QString& address, int verb, Body kind) const;
};
