#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>

class QNetworkAccessManager;
struct HttpRequestPrivate;

// One request to the web API or the cloud object store. Build it with the
// setters, send it once, and drop it: the outcome arrives later, from the
// event loop, in the callbacks, even when this object is gone by then.
class HttpRequest
{
public:
    enum Verb { Get = 0, Post = 1, Put = 2, Delete = 3 };

    // A request that moves no data for this long fails with
    // QNetworkReply::TimeoutError.
    static const int kTimeoutMs = 30000;
    // Failure code of an upload whose file cannot be read.
    static const int kFileOpenError = -1;

    // Tests shorten the time-out; 0 or less restores kTimeoutMs.
    static void setTimeoutMs(int milliseconds);
    static int timeoutMs();
    // Requests sent whose outcome has not been handled yet. A request that
    // its callbacks send is counted before theirs ends, so none under way
    // means that a chain of requests has run to its end: tests wait for
    // that before they check that nothing more followed.
    static int underWayCount();

    explicit HttpRequest(const QString& url);
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    HttpRequest& addParam(const QString& name, const QVariant& value);
    HttpRequest& setHeader(const QString& name, const QString& value);
    // POST, PUT and DELETE then carry this JSON text instead of the form.
    HttpRequest& setJson(const QString& json);
    // Codec of the reply text; UTF-8 by default.
    HttpRequest& setCharset(const QString& charset);
    HttpRequest& setDebug(bool debug);
    // Sends through the caller's manager instead of one of its own.
    HttpRequest& setManager(QNetworkAccessManager* manager);
    HttpRequest& setSuccessHandler(std::function<void(const QString& body)> handler);
    HttpRequest& setFailHandler(std::function<void(const QString& errorString, int errorCode)> handler);
    HttpRequest& setCompleteHandler(std::function<void()> handler);

    void get();
    void post();
    void execute(int verb);

    // Uploads into the cloud object store at this request's address.
    // The file under its own name into the bucket "morlandata".
    void uploadFile(const QString& filePath);
    // The file under keyPrefix + a time stamp, "_", five random letters, "."
    // and the last three characters of its name.
    void uploadFileTimestamped(const QString& filePath, const QString& scope, const QString& keyPrefix);
    // The temporary folder's "test.pdb" (keyName ending in "pdb") or
    // "test.png" under keyPrefix + keyName.
    void uploadTempFile(
        const QString& keyName, const QString& scope, const QString& keyPrefix, const QString& unused = QString());
    // As uploadTempFile, reading "test.pdb" or "test.png" from the caller's
    // own folder, which no other save shares.
    void uploadTempFileFrom(
        const QString& folder, const QString& keyName, const QString& scope, const QString& keyPrefix);

    static QString hmacSha1Base64(const QByteArray& key, const QByteArray& message);

private:
    struct FilePart
    {
        QString path;
        QString failureName;
        QByteArray disposition;
    };
    void upload(const FilePart& file, const QByteArray& policy, const QByteArray& keyPart);

    HttpRequestPrivate* d;
};
