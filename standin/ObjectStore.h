#pragma once

#include "StandInReply.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace standin {

struct StandInRequest;

// The cloud object store: it takes multipart uploads that carry a signed
// token, checks the token as the store would (known access key, HMAC-SHA1
// signature over the policy text as received, deadline, bucket, object name
// allowed by the scope), keeps the objects in a folder and serves them back.
class ObjectStore
{
public:
    static const QByteArray kAccessKey;
    static const QByteArray kSecretKey;
    static const QStringList kBuckets;

    explicit ObjectStore(const QString& folder);

    // An upload to endpoint 1, 2 or 3; each serves its own buckets. On
    // success *stored names the object as "bucket/key".
    StandInReply upload(const StandInRequest& request, int endpoint, QString* stored = nullptr);
    // The buckets that an upload endpoint serves.
    static QStringList bucketsOf(int endpoint);
    // The newest object of that key in any bucket.
    StandInReply download(const QString& key) const;
    bool contains(const QString& bucket, const QString& key) const;
    QByteArray object(const QString& bucket, const QString& key) const;
    // The key of a design's object that a web API record names with a
    // leading "/", when both design buckets hold it; empty otherwise.
    QString designKey(const QString& objectName) const;

private:
    // True when the token is sound; the refusal otherwise.
    static bool checkToken(const QByteArray& token, QJsonObject* policy, StandInReply* refused);
    static StandInReply refusal(int status, const QString& error);
    static bool isSafeKey(const QString& key);
    QString path(const QString& bucket, const QString& key) const;

    QString m_folder;
};

} // namespace standin
