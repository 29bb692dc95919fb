#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The signed token that lets one upload into the cloud object store: the
// access key, the signature and the policy that limits the upload (bucket or
// bucket:key, deadline, optional object name), joined by ":".
class UploadToken
{
public:
    static const QByteArray kAccessKey;
    static const QByteArray kSecretKey;
    // Seconds for which a policy stays valid.
    static const int kLifetime = 3600;

    // The policy as indented JSON text (keys sorted: "deadline", "saveKey",
    // "scope"); without saveKey when it is empty.
    static QByteArray policy(const QString& scope, quint32 deadline, const QString& saveKey = QString());
    // A deadline kLifetime seconds from now.
    static quint32 deadlineFromNow();

    // The token for a policy. The policy's Base64 goes out in the URL-safe
    // alphabet, and the signature is made over exactly that text, so that a
    // store which checks what it receives accepts it.
    static QString make(const QByteArray& policyText, const QByteArray& accessKey = kAccessKey,
        const QByteArray& secretKey = kSecretKey);

    static QByteArray urlSafe(QByteArray base64);
};
