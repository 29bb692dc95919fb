#include "UploadToken.h"

#include "HttpRequest.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

const QByteArray UploadToken::kAccessKey = QByteArrayLiteral("Hx4Lr9Qe2Vn7Ts1Ym6Bk3Wd8Zc5Fa0Jg-Pu_OiEt");
const QByteArray UploadToken::kSecretKey = QByteArrayLiteral("Wm3Tq8ZrXv1Kp6Ld9Nc2Hs5Jf0Gb7Ya4Ue-Ro_Pi");

QByteArray UploadToken::policy(const QString& scope, quint32 deadline, const QString& saveKey)
{
    QJsonObject object;
    object.insert(QStringLiteral("scope"), scope);
    object.insert(QStringLiteral("deadline"), qint64(deadline));
    if (!saveKey.isEmpty())
        object.insert(QStringLiteral("saveKey"), saveKey);
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

quint32 UploadToken::deadlineFromNow()
{
    return quint32(QDateTime::currentSecsSinceEpoch() + kLifetime);
}

QByteArray UploadToken::urlSafe(QByteArray base64)
{
    return base64.replace('+', '-').replace('/', '_');
}

QString UploadToken::make(const QByteArray& policyText, const QByteArray& accessKey, const QByteArray& secretKey)
{
    const QByteArray encodedPolicy = urlSafe(policyText.toBase64());
    const QByteArray signature = urlSafe(HttpRequest::hmacSha1Base64(secretKey, encodedPolicy).toLatin1());
    return QString::fromLatin1(accessKey + ':' + signature + ':' + encodedPolicy);
}
