#include "DesignUpload.h"
#include "HttpRequest.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "UploadToken.h"

#include <QDateTime>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>

#include <functional>

class tst_HttpUpload : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void uploadIsVerifiedAndStored_data();
    void uploadIsVerifiedAndStored();
    void refusedTokens_data();
    void refusedTokens();
    void timestampedKey();
    void tempFileChosenByKeyName_data();
    void tempFileChosenByKeyName();
    void unreadableFileFails();
    void designUploadNeverAnswered();

private:
    struct Result
    {
        bool done = false;
        bool success = false;
        QString text;
        int code = 0;
    };
    static void watch(HttpRequest& request, Result* result);
    // Starts an upload to the store's endpoint and waits for its outcome.
    Result upload(int endpoint, const std::function<void(HttpRequest&)>& start);
    QString writeFile(const QString& name, const QByteArray& content) const;
    // Posts a hand-made form to the first endpoint, as a client with its own
    // idea of the token would; returns the HTTP status and the store's error.
    QPair<int, QString> postForm(const QByteArray& token, const QByteArray& key, bool withFile);

    std::unique_ptr<StandInSession> m_session;
    QTemporaryDir m_folder;
};

void tst_HttpUpload::initTestCase()
{
    m_session = std::make_unique<StandInSession>();
    QVERIFY(m_session->isRunning());
    // The temporary uploads read the system's temporary folder.
    QVERIFY(QDir().mkpath(m_folder.path() + "/tmp"));
    qputenv("TMPDIR", QFile::encodeName(m_folder.path() + "/tmp"));
}

void tst_HttpUpload::watch(HttpRequest& request, Result* result)
{
    request.setSuccessHandler([result](const QString& body) {
               *result = { true, true, body, 0 };
           })
        .setFailHandler([result](const QString& error, int code) {
            *result = { true, false, error, code };
        });
}

tst_HttpUpload::Result tst_HttpUpload::upload(int endpoint, const std::function<void(HttpRequest&)>& start)
{
    Result result;
    HttpRequest request(m_session->server().uploadEndpoint(endpoint));
    watch(request, &result);
    start(request);
    [&] { QTRY_VERIFY(result.done); }();
    return result;
}

QString tst_HttpUpload::writeFile(const QString& name, const QByteArray& content) const
{
    QFile file(m_folder.path() + "/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return file.fileName();
}

void tst_HttpUpload::uploadIsVerifiedAndStored_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("policyNeedsUrlSafeText");
    QTest::newRow("ascii") << "T001.pdb" << false;
    QTest::newRow("cjk") << "模板一号.pdb" << true;
    QTest::newRow("question, greater, tilde") << "a?>~b.pdb" << true;
}

// The token's policy carries "+" or "/" in standard Base64 for some names; a
// store that checks the text it receives accepts the upload all the same.
void tst_HttpUpload::uploadIsVerifiedAndStored()
{
    QFETCH(QString, name);
    QFETCH(bool, policyNeedsUrlSafeText);
    const QByteArray policy = UploadToken::policy("morlandata:" + name, UploadToken::deadlineFromNow()).toBase64();
    QCOMPARE(policy.contains('+') || policy.contains('/'), policyNeedsUrlSafeText);

    const QByteArray content = "abcdefghij" + QByteArray("<svg/>").toBase64() + "\n";
    const QString path = writeFile(name, content);
    QVERIFY(!path.isEmpty());
    const Result result = upload(1, [&](HttpRequest& request) { request.uploadFile(path); });
    QVERIFY2(result.success, qPrintable(result.text));
    QCOMPARE(QJsonDocument::fromJson(result.text.toUtf8()).object().value("key").toString(), name);
    QCOMPARE(m_session->server().storedObject("morlandata", name), content);

    const standin::StandInRequest received = m_session->server().lastRequest("/upload/1/");
    QCOMPARE(received.parts.size(), 3);
    QCOMPARE(received.parts.at(0).name, QByteArray("token"));
    QCOMPARE(received.part("key")->body, name.toUtf8());
    QCOMPARE(received.part("file")->contentType, QByteArray("application/octet-stream"));
}

void tst_HttpUpload::refusedTokens_data()
{
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    const quint32 later = UploadToken::deadlineFromNow();
    const QByteArray name = "模板一号.pdb";
    const QByteArray policy = UploadToken::policy("morlandata:" + QString::fromUtf8(name), later);
    QTest::newRow("sound") << UploadToken::make(policy).toLatin1() << name << true << 200 << QString();
    QTest::newRow("wrong secret") << UploadToken::make(policy, UploadToken::kAccessKey, "guess").toLatin1() << name
                                  << true << 401 << "bad token";
    QTest::newRow("wrong access key") << UploadToken::make(policy, "guess").toLatin1() << name << true << 401
                                      << "bad token";
    // Signed over the standard Base64 while the URL-safe text is sent.
    const QByteArray standard = policy.toBase64();
    const QByteArray signedStandard = UploadToken::urlSafe(UploadToken::kAccessKey + ':'
        + HttpRequest::hmacSha1Base64(UploadToken::kSecretKey, standard).toLatin1() + ':' + standard);
    QTest::newRow("signature over other text") << signedStandard << name << true << 401 << "bad token";
    const QByteArray expired = UploadToken::policy(
        "morlandata:" + QString::fromUtf8(name), quint32(QDateTime::currentSecsSinceEpoch() - 10));
    QTest::newRow("expired") << UploadToken::make(expired).toLatin1() << name << true << 401 << "token out of date";
    QTest::newRow("key outside scope") << UploadToken::make(policy).toLatin1() << QByteArray("other.pdb") << true << 403
                                       << "key doesn't match with scope";
    QTest::newRow("no file") << UploadToken::make(policy).toLatin1() << name << false << 400 << "file is missing";
    QTest::newRow("bucket of another endpoint")
        << UploadToken::make(UploadToken::policy("morlandataf", later)).toLatin1() << name << true << 400
        << "bucket not served at this endpoint";
    QTest::newRow("key leaves the bucket") << UploadToken::make(UploadToken::policy("morlandata", later)).toLatin1()
                                           << QByteArray("../x") << true << 400 << "invalid key";
}

QPair<int, QString> tst_HttpUpload::postForm(const QByteArray& token, const QByteArray& key, bool withFile)
{
    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    const auto add = [form](const QByteArray& name, const QByteArray& body) {
        QHttpPart part;
        part.setRawHeader("Content-Disposition", "form-data; name=\"" + name + "\"");
        part.setBody(body);
        form->append(part);
    };
    add("token", token);
    add("key", key);
    if (withFile)
        add("file", "content");
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.post(QNetworkRequest(QUrl(m_session->server().uploadEndpoint(1))), form);
    form->setParent(reply);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!finished.wait(5000))
        return { 0, QString() };
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString error = QJsonDocument::fromJson(reply->readAll()).object().value("error").toString();
    delete reply;
    return { status, error };
}

void tst_HttpUpload::refusedTokens()
{
    QFETCH(QByteArray, token);
    QFETCH(QByteArray, key);
    QFETCH(bool, withFile);
    QFETCH(int, status);
    QFETCH(QString, error);
    QCOMPARE(postForm(token, key, withFile), qMakePair(status, error));
}

// The key ends in the last three characters of the name, also of a shorter one.
void tst_HttpUpload::timestampedKey()
{
    for (const auto& [name, extension] :
        { qMakePair(QString("drawing.svg"), QString("svg")), qMakePair(QString("ab"), QString("ab")) }) {
        const QString path = writeFile(name, "<svg/>");
        const Result result = upload(
            1, [&](HttpRequest& request) { request.uploadFileTimestamped(path, "morlandatah", "uploads/svg/"); });
        QVERIFY2(result.success, qPrintable(result.text));
        const QString key = QJsonDocument::fromJson(result.text.toUtf8()).object().value("key").toString();
        QVERIFY2(QRegularExpression("^uploads/svg/\\d{8}_\\d{6}_[a-z]{5}\\." + extension + "$").match(key).hasMatch(),
            qPrintable(key));
        QCOMPARE(m_session->server().storedObject("morlandatah", key), QByteArray("<svg/>"));
    }
}

void tst_HttpUpload::tempFileChosenByKeyName_data()
{
    QTest::addColumn<QString>("keyName");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("pdb") << "k1.pdb" << QByteArray("package");
    QTest::newRow("upper-case PDB") << "k2.PDB" << QByteArray("preview");
    QTest::newRow("png") << "k3.png" << QByteArray("preview");
}

void tst_HttpUpload::tempFileChosenByKeyName()
{
    QFETCH(QString, keyName);
    QFETCH(QByteArray, content);
    QVERIFY(!writeFile("tmp/test.pdb", "package").isEmpty());
    QVERIFY(!writeFile("tmp/test.png", "preview").isEmpty());
    const Result result = upload(
        2, [&](HttpRequest& request) { request.uploadTempFile(keyName, "morlandataf", "allcutorsave/", "unused"); });
    QVERIFY2(result.success, qPrintable(result.text));
    QCOMPARE(m_session->server().storedObject("morlandataf", "allcutorsave/" + keyName), content);
    // Its file part names itself with a trailing ";", which the store accepts.
    const standin::StandInRequest received = m_session->server().lastRequest("/upload/2/");
    QVERIFY(received.body.contains("Content-Disposition: form-data; name=\"file\";\r\n"));
}

void tst_HttpUpload::unreadableFileFails()
{
    const int before = m_session->server().requestCount("/upload/1/");
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Open file failed: missing\\.pdb "));
    Result result;
    {
        HttpRequest request(m_session->server().uploadEndpoint(1));
        watch(request, &result);
        request.uploadFile(m_folder.path() + "/missing.pdb");
    }
    QVERIFY(!result.done);
    QTRY_VERIFY(result.done);
    QVERIFY(!result.success);
    QCOMPARE(result.code, HttpRequest::kFileOpenError);
    QVERIFY(result.text.startsWith("Open file failed: missing.pdb"));
    QCOMPARE(m_session->server().requestCount("/upload/1/"), before);
}

// A store that takes the connection and never answers: the design's folder
// stays while its upload is under way and goes, without a report, when the
// upload is deleted, as the application object deletes it at its end.
void tst_HttpUpload::designUploadNeverAnswered()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    for (const char* endpoint : { "ZOCUT_UPLOAD_ENDPOINT_1", "ZOCUT_UPLOAD_ENDPOINT_2" })
        qputenv(endpoint, QString("http://127.0.0.1:%1/").arg(silent.serverPort()).toUtf8());
    bool reported = false;
    QString package;
    QObject* upload = DesignUpload::start(
        "k", "abc", QImage(4, 4, QImage::Format_RGB32), [&](const QStringList&) { reported = true; }, &package);
    QVERIFY(upload);
    QCOMPARE(upload->parent(), QCoreApplication::instance());
    QTRY_VERIFY(silent.hasPendingConnections());
    QVERIFY(QFileInfo::exists(package));
    delete upload;
    QVERIFY(!QFileInfo::exists(QFileInfo(package).path()));
    QCoreApplication::processEvents();
    QVERIFY(!reported);
}

ZOCUT_TEST_MAIN(tst_HttpUpload)
#include "tst_HttpUpload.moc"
