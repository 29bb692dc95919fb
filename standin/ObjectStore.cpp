#include "ObjectStore.h"

#include "StandInRequest.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <nettle/hmac.h>

namespace standin {

const QByteArray ObjectStore::kAccessKey = QByteArrayLiteral("Hx4Lr9Qe2Vn7Ts1Ym6Bk3Wd8Zc5Fa0Jg-Pu_OiEt");
const QByteArray ObjectStore::kSecretKey = QByteArrayLiteral("Wm3Tq8ZrXv1Kp6Ld9Nc2Hs5Jf0Gb7Ya4Ue-Ro_Pi");
const QStringList ObjectStore::kBuckets
    = { QStringLiteral("morlandata"), QStringLiteral("morlandatah"), QStringLiteral("morlandataf") };

namespace {

QByteArray urlSafeSignature(const QByteArray& message)
{
    hmac_sha1_ctx context;
    hmac_sha1_set_key(&context, size_t(ObjectStore::kSecretKey.size()),
        reinterpret_cast<const uint8_t*>(ObjectStore::kSecretKey.constData()));
    hmac_sha1_update(&context, size_t(message.size()), reinterpret_cast<const uint8_t*>(message.constData()));
    QByteArray digest(SHA1_DIGEST_SIZE, '\0');
    hmac_sha1_digest(&context, SHA1_DIGEST_SIZE, reinterpret_cast<uint8_t*>(digest.data()));
    return digest.toBase64(QByteArray::Base64UrlEncoding);
}

} // namespace

ObjectStore::ObjectStore(const QString& folder)
    : m_folder(folder + QStringLiteral("/objects"))
{
}

StandInReply ObjectStore::refusal(int status, const QString& error)
{
    return StandInReply::json(QJsonObject { { QStringLiteral("error"), error } }, status);
}

bool ObjectStore::checkToken(const QByteArray& token, QJsonObject* policy, StandInReply* refused)
{
    const QList<QByteArray> pieces = token.split(':');
    if (pieces.size() != 3 || pieces.at(0) != kAccessKey || urlSafeSignature(pieces.at(2)) != pieces.at(1)) {
        *refused = refusal(401, QStringLiteral("bad token"));
        return false;
    }
    const QByteArray policyText = QByteArray::fromBase64(pieces.at(2), QByteArray::Base64UrlEncoding);
    *policy = QJsonDocument::fromJson(policyText).object();
    if (!policy->value(QStringLiteral("scope")).isString() || !policy->value(QStringLiteral("deadline")).isDouble()) {
        *refused = refusal(400, QStringLiteral("invalid put policy"));
        return false;
    }
    if (policy->value(QStringLiteral("deadline")).toDouble() < double(QDateTime::currentSecsSinceEpoch())) {
        *refused = refusal(401, QStringLiteral("token out of date"));
        return false;
    }
    return true;
}

bool ObjectStore::isSafeKey(const QString& key)
{
    if (key.isEmpty() || key.startsWith(QLatin1Char('/')) || key.contains(QLatin1Char('\\')))
        return false;
    for (const QString& segment : key.split(QLatin1Char('/'))) {
        if (segment.isEmpty() || segment == QLatin1String(".") || segment == QLatin1String(".."))
            return false;
    }
    return true;
}

QString ObjectStore::path(const QString& bucket, const QString& key) const
{
    return m_folder + QLatin1Char('/') + bucket + QLatin1Char('/') + key;
}

QStringList ObjectStore::bucketsOf(int endpoint)
{
    // The first endpoint takes the template batch and the design store's
    // first copies, the second the design store's second copies, the third
    // the administrators' bulk uploads.
    switch (endpoint) {
    case 1:
        return { QStringLiteral("morlandata"), QStringLiteral("morlandatah") };
    case 2:
        return { QStringLiteral("morlandataf") };
    case 3:
        return { QStringLiteral("morlandata") };
    default:
        return {};
    }
}

StandInReply ObjectStore::upload(const StandInRequest& request, int endpoint, QString* stored)
{
    const MultipartForm::Part* token = request.part("token");
    if (!token)
        return refusal(401, QStringLiteral("token not specified"));
    QJsonObject policy;
    StandInReply refused;
    if (!checkToken(token->body, &policy, &refused))
        return refused;

    const QString scope = policy.value(QStringLiteral("scope")).toString();
    const QString bucket = scope.section(QLatin1Char(':'), 0, 0);
    const QString scopeKey = scope.section(QLatin1Char(':'), 1);
    if (!kBuckets.contains(bucket))
        return refusal(400, QStringLiteral("no such bucket"));
    if (!bucketsOf(endpoint).contains(bucket))
        return refusal(400, QStringLiteral("bucket not served at this endpoint"));
    const MultipartForm::Part* keyPart = request.part("key");
    QString key = policy.value(QStringLiteral("saveKey")).toString();
    if (key.isEmpty() && keyPart)
        key = QString::fromUtf8(keyPart->body);
    if (!scopeKey.isEmpty() && key != scopeKey)
        return refusal(403, QStringLiteral("key doesn't match with scope"));
    if (!isSafeKey(key))
        return refusal(400, QStringLiteral("invalid key"));
    const MultipartForm::Part* file = request.part("file");
    if (!file)
        return refusal(400, QStringLiteral("file is missing"));

    const QString target = path(bucket, key);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile output(target);
    if (!output.open(QIODevice::WriteOnly) || output.write(file->body) != file->body.size() || !output.commit())
        return refusal(500, QStringLiteral("cannot store the object"));
    if (stored)
        *stored = bucket + QLatin1Char('/') + key;
    return StandInReply::json(QJsonObject { { QStringLiteral("key"), key },
        { QStringLiteral("hash"),
            QString::fromLatin1(QCryptographicHash::hash(file->body, QCryptographicHash::Sha1).toHex()) },
        { QStringLiteral("bucket"), bucket } });
}

bool ObjectStore::contains(const QString& bucket, const QString& key) const
{
    return isSafeKey(key) && kBuckets.contains(bucket) && QFileInfo(path(bucket, key)).isFile();
}

QByteArray ObjectStore::object(const QString& bucket, const QString& key) const
{
    if (!contains(bucket, key))
        return QByteArray();
    QFile file(path(bucket, key));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ObjectStore::designKey(const QString& objectName) const
{
    if (!objectName.startsWith(QLatin1Char('/')))
        return QString();
    const QString key = objectName.mid(1);
    const bool stored = contains(QStringLiteral("morlandatah"), key) && contains(QStringLiteral("morlandataf"), key);
    return stored ? key : QString();
}

StandInReply ObjectStore::download(const QString& key) const
{
    QString newest;
    for (const QString& bucket : kBuckets) {
        if (contains(bucket, key)
            && (newest.isEmpty()
                || QFileInfo(path(bucket, key)).lastModified() > QFileInfo(path(newest, key)).lastModified()))
            newest = bucket;
    }
    if (newest.isEmpty())
        return StandInReply::notFound();
    const QByteArray type = key.endsWith(QLatin1String(".png")) ? QByteArrayLiteral("image/png")
                                                                : QByteArrayLiteral("application/octet-stream");
    return StandInReply::file(object(newest, key), type);
}

} // namespace standin
