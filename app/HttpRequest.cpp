#include "HttpRequest.h"

#include "HttpRequestPrivate.h"
#include "UploadToken.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>

namespace {
int g_timeoutMs = HttpRequest::kTimeoutMs;

QHttpPart formPart(const QByteArray& disposition, const QByteArray& body)
{
    QHttpPart part;
    part.setRawHeader("Content-Disposition", disposition);
    part.setBody(body);
    return part;
}
} // namespace

void HttpRequest::setTimeoutMs(int milliseconds)
{
    g_timeoutMs = milliseconds > 0 ? milliseconds : kTimeoutMs;
}

int HttpRequest::timeoutMs()
{
    return g_timeoutMs;
}

int HttpRequest::underWayCount()
{
    return HttpReplyContext::underWayCount();
}

HttpRequest::HttpRequest(const QString& url)
    : d(new HttpRequestPrivate(url))
{
}

HttpRequest::~HttpRequest()
{
    delete d;
}

HttpRequest& HttpRequest::addParam(const QString& name, const QVariant& value)
{
    d->params.append(qMakePair(name, value.toString()));
    return *this;
}

HttpRequest& HttpRequest::setHeader(const QString& name, const QString& value)
{
    d->headers.insert(name, value);
    return *this;
}

HttpRequest& HttpRequest::setJson(const QString& json)
{
    d->json = json;
    d->useJson = true;
    return *this;
}

HttpRequest& HttpRequest::setCharset(const QString& charset)
{
    d->charset = charset;
    return *this;
}

HttpRequest& HttpRequest::setDebug(bool debug)
{
    d->debug = debug;
    return *this;
}

HttpRequest& HttpRequest::setManager(QNetworkAccessManager* manager)
{
    d->manager = manager;
    d->ownManager = manager == nullptr;
    return *this;
}

HttpRequest& HttpRequest::setSuccessHandler(std::function<void(const QString&)> handler)
{
    d->successHandler = std::move(handler);
    return *this;
}

HttpRequest& HttpRequest::setFailHandler(std::function<void(const QString&, int)> handler)
{
    d->failHandler = std::move(handler);
    return *this;
}

HttpRequest& HttpRequest::setCompleteHandler(std::function<void()> handler)
{
    d->completeHandler = std::move(handler);
    return *this;
}

void HttpRequest::get()
{
    execute(Get);
}

void HttpRequest::post()
{
    execute(Post);
}

void HttpRequest::execute(int verb)
{
    if (verb < Get || verb > Delete) {
        d->makeContext(false).failLater(
            QStringLiteral("Unsupported request verb %1").arg(verb), QNetworkReply::ProtocolInvalidOperationError);
        return;
    }
    const HttpReplyContext context = d->makeContext(true);
    const HttpRequestPrivate::Body kind = d->bodyKind(verb);
    const QNetworkRequest request = d->buildRequest(verb, kind);
    QNetworkReply* reply = nullptr;
    switch (verb) {
    case Get:
        reply = context.manager->get(request);
        break;
    case Post:
        reply = context.manager->post(request, d->body(kind));
        break;
    case Put:
        reply = context.manager->put(request, d->body(kind));
        break;
    default:
        reply = context.manager->deleteResource(request);
        break;
    }
    HttpReplyContext::attach(reply, context, nullptr, g_timeoutMs);
}

void HttpRequest::uploadFile(const QString& filePath)
{
    const QString name = QFileInfo(filePath).fileName();
    const QByteArray policy = UploadToken::policy(QStringLiteral("morlandata:") + name, UploadToken::deadlineFromNow());
    upload({ filePath, name, QByteArrayLiteral("form-data; name=\"file\"") }, policy, name.toUtf8());
}

void HttpRequest::uploadFileTimestamped(const QString& filePath, const QString& scope, const QString& keyPrefix)
{
    QString letters;
    for (int i = 0; i < 5; ++i)
        letters += QLatin1Char(char('a' + QRandomGenerator::global()->bounded(26)));
    const QString suffix = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss")) + QLatin1Char('_')
        + letters + QLatin1Char('.') + QFileInfo(filePath).fileName().right(3);
    const QByteArray policy = UploadToken::policy(scope, UploadToken::deadlineFromNow(), keyPrefix + suffix);
    upload({ filePath, suffix, QByteArrayLiteral("form-data; name=\"file\"") }, policy, QByteArray());
}

void HttpRequest::uploadTempFile(const QString& keyName, const QString& scope, const QString& keyPrefix, const QString&)
{
    uploadTempFileFrom(QDir::tempPath(), keyName, scope, keyPrefix);
}

void HttpRequest::uploadTempFileFrom(
    const QString& folder, const QString& keyName, const QString& scope, const QString& keyPrefix)
{
    const QString fileName
        = keyName.endsWith(QLatin1String("pdb")) ? QStringLiteral("test.pdb") : QStringLiteral("test.png");
    const QByteArray policy = UploadToken::policy(scope, UploadToken::deadlineFromNow(), keyPrefix + keyName);
    upload({ folder + QLatin1Char('/') + fileName, fileName, QByteArrayLiteral("form-data; name=\"file\";") }, policy,
        QByteArray());
}

void HttpRequest::upload(const FilePart& file, const QByteArray& policy, const QByteArray& keyPart)
{
    auto* device = new QFile(file.path);
    if (!device->open(QIODevice::ReadOnly)) {
        const QString failure = QStringLiteral("Open file failed: %1").arg(file.failureName);
        qDebug().noquote() << failure << device->errorString();
        d->makeContext(false).failLater(failure + QLatin1Char(' ') + device->errorString(), kFileOpenError);
        delete device;
        return;
    }
    auto* multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    multipart->append(formPart(QByteArrayLiteral("form-data; name=\"token\""), UploadToken::make(policy).toLatin1()));
    if (!keyPart.isNull())
        multipart->append(formPart(QByteArrayLiteral("form-data; name=\"key\""), keyPart));
    QHttpPart filePart;
    filePart.setRawHeader("Content-Disposition", file.disposition);
    filePart.setRawHeader("Content-Type", "application/octet-stream");
    filePart.setBodyDevice(device);
    device->setParent(multipart);
    multipart->append(filePart);

    const HttpReplyContext context = d->makeContext(true);
    const QNetworkRequest request = d->buildRequest(HttpRequestPrivate::kUploadVerb, HttpRequestPrivate::Body::None);
    HttpReplyContext::attach(context.manager->post(request, multipart), context, multipart, g_timeoutMs);
}

QString HttpRequest::hmacSha1Base64(const QByteArray& key, const QByteArray& message)
{
    const int blockSize = 64;
    QByteArray usedKey = key.size() > blockSize ? QCryptographicHash::hash(key, QCryptographicHash::Sha1) : key;
    QByteArray inner(blockSize, char(0x36));
    QByteArray outer(blockSize, char(0x5c));
    for (int i = 0; i < usedKey.size(); ++i) {
        inner[i] = char(inner[i] ^ usedKey[i]);
        outer[i] = char(outer[i] ^ usedKey[i]);
    }
    const QByteArray innerHash = QCryptographicHash::hash(inner + message, QCryptographicHash::Sha1);
    return QString::fromLatin1(QCryptographicHash::hash(outer + innerHash, QCryptographicHash::Sha1).toBase64());
}
