#include "Catalogue.h"
#include "FormCodec.h"
#include "PdbPackage.h"
#include "StandInRequest.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "Tools.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>

using Form = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Form)

class tst_StandInServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void formDecoding_data();
    void formDecoding();
    void multipart_data();
    void multipart();
    void signIn_data();
    void signIn();
    void catalogueCascade_data();
    void catalogueCascade();
    void templateFoundAndEnciphered();
    void everyTemplateReachable();
    void designStoreChecks_data();
    void designStoreChecks();
    void passwordChangeSignsOut();
    void resetUndoesChanges();
    void settingsOutliveTheServer();
    void stopRightAfterStart();

private:
    struct Answer
    {
        int status = 0;
        QByteArray body;
        QJsonObject json;
        QJsonValue data() const { return json.value("data"); }
        int code() const { return json.value("code").toInt(); }
    };
    Answer call(const QByteArray& method, const QString& path, const QByteArray& body = QByteArray(),
        const QByteArray& token = QByteArray(), const QByteArray& type = "application/x-www-form-urlencoded");
    Answer json(const QString& path, const QJsonObject& body, const QByteArray& token);
    void walkCatalogue(const QStringList& picked, QSet<int>* shown);
    Answer post(const QString& path, const QByteArray& body, const QByteArray& token = QByteArray())
    {
        return call("POST", "api/" + path, body, token);
    }

    std::unique_ptr<StandInSession> m_session;
    QByteArray m_token;
    QString m_base;
    QNetworkAccessManager m_manager;
};

void tst_StandInServer::initTestCase()
{
    m_session = std::make_unique<StandInSession>();
    QVERIFY(m_session->isRunning());
    m_token = m_session->token().toLatin1();
    m_base = m_session->server().baseUrl();
    QVERIFY(!m_token.isEmpty());
}

tst_StandInServer::Answer tst_StandInServer::call(const QByteArray& method, const QString& path, const QByteArray& body,
    const QByteArray& token, const QByteArray& type)
{
    QNetworkRequest request(QUrl(m_base + path));
    request.setRawHeader("Content-Type", type);
    if (!token.isEmpty())
        request.setRawHeader("token", token);
    QNetworkReply* reply = m_manager.sendCustomRequest(request, method, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    Answer answer;
    if (finished.wait(5000)) {
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        answer.json = QJsonDocument::fromJson(answer.body).object();
    }
    delete reply;
    return answer;
}

tst_StandInServer::Answer tst_StandInServer::json(const QString& path, const QJsonObject& body, const QByteArray& token)
{
    return call("POST", "api/" + path, QJsonDocument(body).toJson(), token, "application/json");
}

void tst_StandInServer::formDecoding_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Form>("form");
    QTest::newRow("plus is a blank") << QByteArray("a=1+2&b=%2B") << Form { { "a", "1 2" }, { "b", "+" } };
    QTest::newRow("utf-8") << QByteArray("%E4%B8%AD=%E6%96%87") << Form { { "中", "文" } };
    QTest::newRow("bare names") << QByteArray("d&=e&&f=") << Form { { "d", "" }, { "", "e" }, { "f", "" } };
    QTest::newRow("equals in value") << QByteArray("k=a=b") << Form { { "k", "a=b" } };
}

void tst_StandInServer::formDecoding()
{
    QFETCH(QByteArray, text);
    QFETCH(Form, form);
    QCOMPARE(standin::FormCodec::parse(text), form);
}

void tst_StandInServer::multipart_data()
{
    QTest::addColumn<QByteArray>("boundary");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<int>("cut"); // bytes missing at the end
    QTest::newRow("plain boundary") << QByteArray("XY") << QByteArray("multipart/form-data; boundary=XY") << 0;
    QTest::newRow("quoted boundary") << QByteArray("XY") << QByteArray("multipart/form-data; boundary=\"XY\"") << 0;
    QTest::newRow("unterminated") << QByteArray("XY") << QByteArray("multipart/form-data; boundary=XY") << 8;
    // Qt draws its boundaries at random; one in some thousands spells "json".
    QTest::newRow("boundary spelling json")
        << QByteArray("b_.oOo._QWJSOnM") << QByteArray("multipart/form-data; boundary=\"b_.oOo._QWJSOnM\"") << 0;
}

void tst_StandInServer::multipart()
{
    QFETCH(QByteArray, boundary);
    QFETCH(QByteArray, contentType);
    QFETCH(int, cut);
    const QByteArray delimiter = "--" + boundary;
    const QByteArray body = delimiter + "\r\nContent-Disposition: form-data; name=\"token\"\r\n\r\nt:s:p\r\n" + delimiter
        + "\r\nContent-Disposition: form-data; name=\"file\";\r\n"
          "Content-Type: application/octet-stream\r\n\r\n\r\nbytes\r\n"
        + delimiter + "--\r\n";
    standin::StandInRequest request;
    request.headers.append(qMakePair(QByteArray("Content-Type"), contentType));
    request.body = body.left(body.size() - cut);
    request.decode();
    QCOMPARE(request.parts.size(), cut == 0 ? 2 : 1);
    if (cut != 0)
        return;
    QCOMPARE(request.parts.at(0).name + request.parts.at(1).name, QByteArray("tokenfile"));
    QCOMPARE(request.parts.at(1).body, QByteArray("\r\nbytes"));
    QCOMPARE(request.parts.at(1).contentType, QByteArray("application/octet-stream"));
}

void tst_StandInServer::signIn_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("msg");
    const QByteArray version = "&admin_id=80&version=6.4.0";
    QTest::newRow("signed in") << "account=13800000001&password=zocut123" + version << 1 << "Signed in";
    QTest::newRow("unknown account") << "account=1&password=zocut123" + version << 0 << "账户不正确";
    QTest::newRow("wrong password") << "account=13800000001&password=x" + version << 0 << "密码不正确";
    QTest::newRow("old version") << QByteArray("account=13800000001&password=zocut123&admin_id=80&version=5.9.9") << 0
                                 << "请使用最新版本";
    QTest::newRow("no version") << QByteArray("account=13800000001&password=zocut123&admin_id=80") << 0
                                << "Missing parameter: version";
}

void tst_StandInServer::signIn()
{
    QFETCH(QByteArray, body);
    QFETCH(int, code);
    QFETCH(QString, msg);
    const Answer answer = post("user/loginNewNNNN", body);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.code(), code);
    QCOMPARE(answer.json.value("msg").toString(), msg);
    if (code != 1)
        return;
    const QJsonObject info = answer.data().toObject().value("userinfo").toObject();
    QCOMPARE(info.value("id").toInt(), 1);
    QCOMPARE(info.value("report_auth").toInt(), 1);
    const QByteArray token = info.value("token").toString().toLatin1();
    QCOMPARE(post("user/index", QByteArray(), token).code(), 1);
}

void tst_StandInServer::catalogueCascade_data()
{
    QTest::addColumn<QString>("cate");
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("values");
    const auto row
        = [](const char* name, const QString& cate, const QString& keywords, const QString& lang, int code,
              const QStringList& values) { QTest::newRow(name) << cate << keywords << lang << code << values; };
    // The walk down the levels in Chinese and English is the home page's test.
    row("types in Korean", "type", "", "ko", 1, { "승용차", "SUV", "오토바이" });
    row("brands", "brand", "Car-", "en", 1, { "A Audi", "A Alfa Romeo", "B BMW" });
    row("wrong level", "model", "Car-", "en", 0, {});
    row("unknown language", "type", "", "fr", 0, {});
}

void tst_StandInServer::catalogueCascade()
{
    QFETCH(QString, cate);
    QFETCH(QString, keywords);
    QFETCH(QString, lang);
    QFETCH(int, code);
    QFETCH(QStringList, values);
    const QJsonObject body { { "cate", cate }, { "keywords", keywords }, { "lang", lang } };
    QCOMPARE(json("template_new/category", body, QByteArray()).status, 401);
    const Answer answer = json("template_new/category", body, m_token);
    QCOMPARE(answer.code(), code);
    QStringList found;
    for (const QJsonValue& entry : answer.data().toArray()) {
        QVERIFY(entry.toObject().value("id").toInt() > 0);
        found << entry.toObject().value("val").toString();
    }
    QCOMPARE(found, values);
}

void tst_StandInServer::templateFoundAndEnciphered()
{
    Tools tools;
    const Answer motorcycle = json("template_new/index", { { "keywords", "Motorcycle" }, { "lang", "en" } }, m_token);
    const QJsonArray rows = motorcycle.data().toObject().value("data").toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).toObject().value("name2").toString(), QString("Motorcycle fender strip"));
    const QString storage = tools.mydecrypt(rows.at(0).toObject().value("code").toString().toLatin1());
    QCOMPARE(storage, QString("designs/bumper_strip"));
    // The design host serves the package and the preview under that name.
    const QString svg = PdbPackage::unpack(call("GET", storage + ".pdb?timestamp=1").body);
    QVERIFY(svg.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
    QVERIFY(svg.contains("<title>保险杠 Bumper strip</title>"));
    QVERIFY(!QImage::fromData(call("GET", storage + ".png").body, "PNG").isNull());
    QCOMPARE(call("GET", "designs/nothing.pdb").status, 404);
    const Answer none = json("template_new/index", { { "keywords", "Car-Z" }, { "lang", "en" } }, m_token);
    QCOMPARE(none.data().toObject().value("total").toInt(), 0);
}

// The data centre's way down: the entries below the picks while there are
// any, else the templates there, of which the page shows the first.
void tst_StandInServer::walkCatalogue(const QStringList& picked, QSet<int>* shown)
{
    const QString keywords = picked.isEmpty() ? QString() : picked.join('-') + '-';
    const QJsonObject below { { "cate", standin::Catalogue::kLevels.value(picked.size()) }, { "keywords", keywords },
        { "lang", "en" } };
    const QJsonArray entries
        = picked.size() < 6 ? json("template_new/category", below, m_token).data().toArray() : QJsonArray();
    for (const QJsonValue& entry : entries)
        walkCatalogue(picked + QStringList(entry.toObject().value("val").toString()), shown);
    if (!entries.isEmpty())
        return;
    const Answer found = json("template_new/index", { { "keywords", picked.join('-') }, { "lang", "en" } }, m_token);
    const QJsonArray rows = found.data().toObject().value("data").toArray();
    if (!rows.isEmpty())
        shown->insert(rows.first().toObject().value("id").toInt());
}

void tst_StandInServer::everyTemplateReachable()
{
    QFile file(":/standin/fixture.json");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QSet<int> all;
    for (const QJsonValue& entry : QJsonDocument::fromJson(file.readAll()).object().value("templates").toArray())
        all.insert(entry.toObject().value("id").toInt());
    QSet<int> shown;
    walkCatalogue({}, &shown);
    QCOMPARE(shown, all);
}

void tst_StandInServer::designStoreChecks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<int>("code"); // 401: the HTTP status
    QTest::addColumn<QString>("outcome"); // "msg", or the event noted
    const QByteArray design = "name=d&url=%2Fallcutorsave%2Fk.pdb&image=%2Fallcutorsave%2Fk.png";
    QTest::newRow("save, signed out") << "template/saveNew" << design << false << 401 << "Please login first";
    QTest::newRow("save before upload") << "template/saveNew" << design << true << 0
                                        << "The design's files are not in the store";
    QTest::newRow("report") << "template/report" << QByteArray("name=%E5%9B%BE.svg&url=http%3A%2F%2Fh%2Fa.svg") << true
                            << 1 << "reported 图.svg http://h/a.svg";
    QTest::newRow("report without address")
        << "template/report" << QByteArray("name=a.svg") << true << 0 << "Missing parameter: url";
}

// What the design store checks before it records or opens anything.
void tst_StandInServer::designStoreChecks()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(bool, signedIn);
    QFETCH(int, code);
    QFETCH(QString, outcome);
    const Answer answer = post(path, body, signedIn ? m_token : QByteArray());
    QCOMPARE(code == 401 ? answer.status : answer.code(), code);
    const QStringList events = m_session->server().events();
    QCOMPARE(code == 1 ? events.value(events.size() - 1) : answer.json.value("msg").toString(), outcome);
}

void tst_StandInServer::passwordChangeSignsOut()
{
    const QByteArray token = m_session->server().issueToken("13800000002").toLatin1();
    QCOMPARE(post("user/changepwd", "oldpassword=limited456&newpassword=a&renewpassword=A", token).code(), 0);
    QCOMPARE(post("user/changepwd", "oldpassword=x&newpassword=a&renewpassword=a", token).json.value("msg"),
        QJsonValue("The old password is wrong"));
    QCOMPARE(post("user/changepwd", "oldpassword=limited456&newpassword=n%2B1&renewpassword=n%2B1", token).code(), 1);
    QCOMPARE(post("user/index", QByteArray(), token).status, 401);
    QCOMPARE(post("user/loginNewNNNN", "account=13800000002&password=n%2B1&admin_id=80&version=6.4.0").code(), 1);
}

void tst_StandInServer::resetUndoesChanges()
{
    const QByteArray token = m_session->server().issueToken("13800000001").toLatin1();
    const QByteArray firstPage = "keywords=&limit=20&page=1";
    QCOMPARE(post("template/del", "id=1045", token).code(), 1);
    QCOMPARE(post("template/share", "id=1044&type=share", token).code(), 1);
    QCOMPARE(post("user/changepwd", "oldpassword=zocut123&newpassword=x&renewpassword=x", token).code(), 1);

    m_session->server().resetFixture();
    const QByteArray again = m_session->server().issueToken("13800000001").toLatin1();
    const Answer page = post("template/myTemplateNew", firstPage, again);
    QCOMPARE(page.data().toObject().value("total").toInt(), 45);
    const QJsonArray rows = page.data().toObject().value("data").toArray();
    QCOMPARE(rows.at(0).toObject().value("id").toInt(), 1045);
    QCOMPARE(rows.at(1).toObject().value("status").toString(), QString("hidden"));
    QCOMPARE(post("template/myTemplateNew", firstPage, m_token).status, 401);
    QCOMPARE(post("user/loginNewNNNN", "account=13800000001&password=zocut123&admin_id=80&version=6.4.0").code(), 1);
    m_token = again;
}

void tst_StandInServer::settingsOutliveTheServer()
{
    const QByteArray content = QUrl::toPercentEncoding("{\"PlotSpeed\": 5, \"Note\": \"a+b\"}");
    QCOMPARE(post("common/setSettingConfigbyid", "id=80&content=" + content).code(), 1);
    QCOMPARE(post("common/setSettingConfigbyid", "id=80&content=%5B%5D").code(), 0);
    QCOMPARE(post("common/getSettingConfigbyid", "id=81").json.value("msg").toString(), QString("Unknown id"));

    // The settings are the whole reply, also for a server started later on
    // the same data folder.
    standin::StandInServer later(m_session->dataFolder());
    QVERIFY(later.start());
    m_base = later.baseUrl();
    const Answer answer = post("common/getSettingConfigbyid", "id=80");
    m_base = m_session->server().baseUrl();
    QCOMPARE(answer.json, QJsonObject({ { "PlotSpeed", 5 }, { "Note", "a+b" } }));
}

ZOCUT_TEST_MAIN(tst_StandInServer)
void tst_StandInServer::stopRightAfterStart()
{
    // A stop that comes before the server's loop has begun must still end it.
    for (int round = 0; round < 20; ++round) {
        standin::StandInServer server(m_session->dataFolder());
        QVERIFY(server.start());
        server.stop();
    }
}

#include "tst_StandInServer.moc"
