#include "ApiReply.h"
#include "HttpRequest.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QNetworkReply>
#include <QTcpServer>

using Form = QList<QPair<QString, QString>>;

// What one request delivered to its callbacks, in order.
struct Outcome
{
    QStringList events;
    QString body;
    QString error;
    int code = 0;
    bool done() const { return events.contains(QStringLiteral("complete")); }
};

class tst_HttpRequest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void formValuesArriveIntact_data();
    void formValuesArriveIntact();
    void getCarriesParametersInQuery();
    void contentTypeRules_data();
    void contentTypeRules();
    void multiLineReplyJoined();
    void callbackAfterRequestDestroyed();
    void failuresReachFailHandler_data();
    void failuresReachFailHandler();
    void silentServerTimesOut();
    void hmacSha1Rfc2202_data();
    void hmacSha1Rfc2202();
    void envelope_data();
    void envelope();

private:
    static void watch(HttpRequest& request, Outcome* outcome);
    // Sends the request and waits for its outcome.
    static Outcome send(HttpRequest& request, int verb = HttpRequest::Post);
    QString api(const QString& path) const { return m_session->server().apiBase() + path; }
    std::unique_ptr<StandInSession> m_session;
};

void tst_HttpRequest::initTestCase()
{
    m_session = std::make_unique<StandInSession>();
    QVERIFY(m_session->isRunning());
}

void tst_HttpRequest::cleanup()
{
    m_session->server().clearCannedReplies();
    HttpRequest::setTimeoutMs(0);
}

void tst_HttpRequest::watch(HttpRequest& request, Outcome* outcome)
{
    request
        .setSuccessHandler([outcome](const QString& body) {
            outcome->events << QStringLiteral("success");
            outcome->body = body;
        })
        .setFailHandler([outcome](const QString& error, int code) {
            outcome->events << QStringLiteral("fail");
            outcome->error = error;
            outcome->code = code;
        })
        .setCompleteHandler([outcome]() { outcome->events << QStringLiteral("complete"); });
}

Outcome tst_HttpRequest::send(HttpRequest& request, int verb)
{
    Outcome outcome;
    watch(request, &outcome);
    request.execute(verb);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(outcome.done(), 5000); }();
    return outcome;
}

void tst_HttpRequest::formValuesArriveIntact_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plus") << "pass+word";
    QTest::newRow("ampersand and equals") << "a&b=c";
    QTest::newRow("percent") << "100% %41";
    QTest::newRow("blank") << "two words";
    QTest::newRow("base64") << "ab+/cd==";
    QTest::newRow("json") << "{\n    \"Note\": \"x+y\"\n}\n";
    QTest::newRow("cjk") << "中文 설정";
}

// In order, with repeated names and empty values kept.
void tst_HttpRequest::formValuesArriveIntact()
{
    QFETCH(QString, value);
    HttpRequest request(api("common/getAdminParams"));
    request.addParam("admin_id", 80).addParam("b", "2").addParam("value " + value, value).addParam("b", 3);
    request.addParam("empty", QString());
    QCOMPARE(send(request).events, QStringList({ "success", "complete" }));
    const standin::StandInRequest received = m_session->server().lastRequest("/api/common/getAdminParams");
    QCOMPARE(received.form,
        (Form { { "admin_id", "80" }, { "b", "2" }, { "value " + value, value }, { "b", "3" }, { "empty", "" } }));
    QVERIFY(!received.body.contains('+'));
    QCOMPARE(received.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
}

void tst_HttpRequest::getCarriesParametersInQuery()
{
    HttpRequest plain(m_session->server().baseUrl() + "designs/hood.pdb");
    send(plain, HttpRequest::Get);
    QCOMPARE(m_session->server().lastRequest("/designs/hood.pdb").target, QByteArray("/designs/hood.pdb"));

    HttpRequest request(m_session->server().baseUrl() + "designs/hood.png?timestamp=17");
    request.addParam("r", "a+b&c");
    send(request, HttpRequest::Get);
    const standin::StandInRequest received = m_session->server().lastRequest("/designs/hood.png");
    QCOMPARE(received.form, (Form { { "timestamp", "17" }, { "r", "a+b&c" } }));
    QVERIFY(received.body.isEmpty());
}

void tst_HttpRequest::contentTypeRules_data()
{
    QTest::addColumn<int>("verb");
    QTest::addColumn<bool>("json");
    QTest::addColumn<QString>("callerHeader");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("body");
    const QByteArray form = "a=%2B";
    QTest::newRow("get keeps the caller's") << 0 << false << "Content-Type" << QByteArray("text/plain") << QByteArray();
    QTest::newRow("post form") << 1 << false << "Content-Type" << QByteArray("application/x-www-form-urlencoded")
                               << form;
    QTest::newRow("post form, lower-case name")
        << 1 << false << "content-type" << QByteArray("application/x-www-form-urlencoded") << form;
    QTest::newRow("post json") << 1 << true << "Content-Type" << QByteArray("application/json; charset=utf-8")
                               << QByteArray("{\"a\":\"+\"}");
    QTest::newRow("put form") << 2 << false << "Content-Type" << QByteArray("application/x-www-form-urlencoded")
                              << form;
    QTest::newRow("delete json") << 3 << true << "Content-Type" << QByteArray("application/json; charset=utf-8")
                                 << QByteArray();
}

void tst_HttpRequest::contentTypeRules()
{
    QFETCH(int, verb);
    QFETCH(bool, json);
    QFETCH(QString, callerHeader);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, body);
    HttpRequest request(api("echo/contentType"));
    request.setHeader(callerHeader, "text/plain").addParam("a", "+");
    if (json)
        request.setJson("{\"a\":\"+\"}");
    send(request, verb);
    const standin::StandInRequest received = m_session->server().lastRequest("/api/echo/contentType");
    QCOMPARE(received.method, QByteArray(QList<const char*> { "GET", "POST", "PUT", "DELETE" }.at(verb)));
    QCOMPARE(received.header("Content-Type"), expected);
    QCOMPARE(received.body, body);
}

void tst_HttpRequest::multiLineReplyJoined()
{
    m_session->server().setCannedReply("/api/lines", 200, "{\r\n  \"code\": 1,\n  \"msg\": \"a\"\n}\n");
    m_session->server().setCannedReply("/api/empty", 200, "");
    HttpRequest lines(api("lines"));
    const QString body = send(lines).body;
    QCOMPARE(body, QString("{  \"code\": 1,  \"msg\": \"a\"}"));
    QCOMPARE(ApiReply::parse(body).code(), 1);
    HttpRequest empty(api("empty"));
    const Outcome outcome = send(empty);
    QCOMPARE(outcome.events, QStringList({ "success", "complete" }));
    QVERIFY(outcome.body.isEmpty());
}

void tst_HttpRequest::callbackAfterRequestDestroyed()
{
    Outcome outcome;
    {
        HttpRequest request(api("common/getAdminParams"));
        request.addParam("admin_id", 80);
        watch(request, &outcome);
        request.post();
    }
    QVERIFY(outcome.events.isEmpty());
    QTRY_VERIFY(outcome.done());
    QCOMPARE(outcome.events, QStringList({ "success", "complete" }));
    QCOMPARE(ApiReply::parse(outcome.body).data().toObject().value("language").toString(), QString("1,2,3,4,5,6"));
}

void tst_HttpRequest::failuresReachFailHandler_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("verb");
    QTest::addColumn<int>("code");
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString down = QString("http://127.0.0.1:%1/api/user/index").arg(closed.serverPort());
    closed.close();
    QTest::newRow("404") << "nothing/here" << 0 << int(QNetworkReply::ContentNotFoundError);
    QTest::newRow("500") << "broken" << 1 << int(QNetworkReply::InternalServerError);
    QTest::newRow("no token") << "user/index" << 1 << int(QNetworkReply::AuthenticationRequiredError);
    QTest::newRow("server down") << down << 1 << int(QNetworkReply::ConnectionRefusedError);
    QTest::newRow("not an address") << "unknown://host/x" << 1 << int(QNetworkReply::ProtocolUnknownError);
    QTest::newRow("unsupported verb") << "common/checkUpdate" << 7 << int(QNetworkReply::ProtocolInvalidOperationError);
}

void tst_HttpRequest::failuresReachFailHandler()
{
    QFETCH(QString, address);
    QFETCH(int, verb);
    QFETCH(int, code);
    m_session->server().setCannedReply("/api/broken", 500, "{\"code\":1}");
    Outcome outcome;
    HttpRequest request(address.contains("://") ? address : api(address));
    watch(request, &outcome);
    const int underWay = HttpRequest::underWayCount();
    request.execute(verb);
    // Also a request refused at once reports later, from the event loop,
    // and is under way until then.
    QVERIFY(outcome.events.isEmpty());
    QCOMPARE(HttpRequest::underWayCount(), underWay + 1);
    QTRY_VERIFY(outcome.done());
    QCOMPARE(outcome.events, QStringList({ "fail", "complete" }));
    QCOMPARE(outcome.code, code);
    QVERIFY(!outcome.error.isEmpty());
    QTRY_COMPARE(HttpRequest::underWayCount(), 0);
}

void tst_HttpRequest::silentServerTimesOut()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    HttpRequest::setTimeoutMs(300);
    HttpRequest request(QString("http://127.0.0.1:%1/api/common/checkUpdate").arg(silent.serverPort()));
    const Outcome outcome = send(request);
    QCOMPARE(outcome.events, QStringList({ "fail", "complete" }));
    QCOMPARE(outcome.code, int(QNetworkReply::TimeoutError));
}

void tst_HttpRequest::hmacSha1Rfc2202_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("1") << QByteArray(20, '\x0b') << QByteArray("Hi There")
                       << QByteArray("b617318655057264e28bc0b6fb378c8ef146be00");
    QTest::newRow("2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                       << QByteArray("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    QTest::newRow("3") << QByteArray(20, '\xaa') << QByteArray(50, '\xdd')
                       << QByteArray("125d7342b9ac11cd91a39af48aa17b4f63f175d3");
    QTest::newRow("4") << QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10111213141516171819")
                       << QByteArray(50, '\xcd') << QByteArray("4c9007f4026250c6bc8414f9bf50c86c2d7235da");
    QTest::newRow("5") << QByteArray(20, '\x0c') << QByteArray("Test With Truncation")
                       << QByteArray("4c1a03424b55e07fe7f27be1d58bb9324a9a5a04");
    QTest::newRow("6, long key") << QByteArray(80, '\xaa')
                                 << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
                                 << QByteArray("aa4ae5e15272d00e95705637ce8a3b55ed402112");
    QTest::newRow("7, long key") << QByteArray(80, '\xaa')
                                 << QByteArray("Test Using Larger Than Block-Size Key and Larger Than One "
                                               "Block-Size Data")
                                 << QByteArray("e8e99d0f45237d786d6bbaa7965c7808bbff1a91");
}

void tst_HttpRequest::hmacSha1Rfc2202()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, digest);
    QCOMPARE(HttpRequest::hmacSha1Base64(key, data), QString::fromLatin1(QByteArray::fromHex(digest).toBase64()));
}

void tst_HttpRequest::envelope_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("isObject");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    QTest::newRow("success") << "{\"code\":1,\"msg\":\"ok\",\"data\":[]}" << true << 1 << "ok";
    QTest::newRow("refusal") << "{\"code\":0,\"msg\":\"账户不正确\"}" << true << 0 << "账户不正确";
    QTest::newRow("code as text") << "{\"code\":\"1\"}" << true << 0 << "";
    QTest::newRow("code as double") << "{\"code\":1.0}" << true << 1 << "";
    QTest::newRow("no code") << "{\"msg\":\"x\"}" << true << 0 << "x";
    QTest::newRow("not json") << "<html>" << false << 0 << "";
    QTest::newRow("array") << "[1]" << false << 0 << "";
}

void tst_HttpRequest::envelope()
{
    QFETCH(QString, body);
    QFETCH(bool, isObject);
    QFETCH(int, code);
    QFETCH(QString, msg);
    const ApiReply reply = ApiReply::parse(body);
    QCOMPARE(reply.isObject(), isObject);
    QCOMPARE(reply.code(), code);
    QCOMPARE(reply.isSuccess(), code == 1);
    QCOMPARE(reply.msg(), msg);
}

ZOCUT_TEST_MAIN(tst_HttpRequest)
#include "tst_HttpRequest.moc"
