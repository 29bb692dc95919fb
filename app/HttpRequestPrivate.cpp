#include "HttpRequestPrivate.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QUrl>

namespace {
const int kVerbGet = 0;
const QString kContentType = QStringLiteral("Content-Type");
} // namespace

HttpRequestPrivate::HttpRequestPrivate(const QString& address)
    : url(address)
{
}

HttpReplyContext HttpRequestPrivate::makeContext(bool createManager) const
{
    HttpReplyContext context;
    context.successHandler = successHandler;
    context.failHandler = failHandler;
    context.completeHandler = completeHandler;
    context.debug = debug;
    context.ownManager = ownManager;
    context.charset = charset;
    if (!ownManager)
        context.manager = manager;
    else if (createManager)
        context.manager = new QNetworkAccessManager();
    return context;
}

HttpRequestPrivate::Body HttpRequestPrivate::bodyKind(int verb) const
{
    if (verb == kVerbGet || verb == kUploadVerb)
        return Body::None;
    return useJson ? Body::Json : Body::Form;
}

QByteArray HttpRequestPrivate::body(Body kind) const
{
    return kind == Body::Json ? json.toUtf8() : encodeForm(params);
}

QByteArray HttpRequestPrivate::encodeForm(const QList<QPair<QString, QString>>& items)
{
    QByteArray encoded;
    for (const auto& item : items) {
        if (!encoded.isEmpty())
            encoded += '&';
        encoded += QUrl::toPercentEncoding(item.first) + '=' + QUrl::toPercentEncoding(item.second);
    }
    return encoded;
}

// Replaces whatever Content-Type the caller set, whatever its spelling.
void HttpRequestPrivate::setContentType(const QString& value)
{
    for (auto it = headers.begin(); it != headers.end();) {
        if (it.key().compare(kContentType, Qt::CaseInsensitive) == 0)
            it = headers.erase(it);
        else
            ++it;
    }
    headers.insert(kContentType, value);
}

QNetworkRequest HttpRequestPrivate::buildRequest(int verb, Body kind)
{
    QString address = url;
    if (verb == kVerbGet && !params.isEmpty()) {
        // An address that carries a query already gets the parameters added to it.
        address += url.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?');
        address += QString::fromLatin1(encodeForm(params));
    }
    if (debug)
        printDebug(address, verb, kind);
    if (kind == Body::Form)
        setContentType(QStringLiteral("application/x-www-form-urlencoded"));
    else if (kind == Body::Json)
        setContentType(QStringLiteral("application/json; charset=utf-8"));

    QNetworkRequest request(QUrl(address, QUrl::TolerantMode));
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());
    return request;
}

void HttpRequestPrivate::printDebug(const QString& address, int verb, Body kind) const
{
    qDebug().noquote() << QStringLiteral("[网址]") + address;
    if (kind == Body::Json) {
        qDebug().noquote() << QStringLiteral("[参数]") + json;
        return;
    }
    if (verb == kVerbGet || params.isEmpty())
        return;
    QString text;
    for (const auto& item : params) {
        const QString format = text.isEmpty() ? QStringLiteral("[参数] %1=%2\n") : QStringLiteral("       %1=%2\n");
        text += format.arg(item.first, item.second);
    }
    qDebug().noquote() << text;
}
