#include "ApiReply.h"
#include "CutRecord.h"
#include "HttpRequest.h"
#include "PdbPackage.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "Tools.h"

#include <QJsonArray>
#include <QTcpServer>

class tst_CutRecord : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void listsAndReopens();
    void storeDown();

private:
    QString fetch(const QString& url, const QList<QPair<QString, QString>>& form = {});
    void save(const QString& svg, const QString& name);

    StandInSession m_session;
    QList<QPair<bool, QString>> m_outcomes;
};

void tst_CutRecord::init()
{
    for (const auto& variable : m_session.server().environment())
        qputenv(variable.first.constData(), variable.second.toUtf8());
    QSettings().setValue("token", m_session.token());
    m_outcomes.clear();
}

QString tst_CutRecord::fetch(const QString& url, const QList<QPair<QString, QString>>& form)
{
    QString body;
    bool done = false;
    HttpRequest request(url);
    for (const auto& field : form)
        request.addParam(field.first, field.second);
    request.setHeader("token", QSettings().value("token").toString())
        .setSuccessHandler([&](const QString& text) {
            body = text;
            done = true;
        })
        .setFailHandler([&](const QString&, int) { done = true; });
    form.isEmpty() ? request.get() : request.post();
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        return QString();
    return body;
}

void tst_CutRecord::save(const QString& svg, const QString& name)
{
    QImage preview(64, 32, QImage::Format_RGB32);
    preview.fill(Qt::blue);
    CutRecord::save(svg, preview, name, 1234567.0,
        [this](bool saved, const QString& message) { m_outcomes << qMakePair(saved, message); });
    QTRY_COMPARE_WITH_TIMEOUT(m_outcomes.size(), 1, 20000);
}

void tst_CutRecord::listsAndReopens()
{
    const QString svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0L10 10\"/></svg>";
    save(svg, "Door");
    QCOMPARE(m_outcomes.first(), qMakePair(true, QString()));

    const ApiReply reply = ApiReply::parse(fetch(m_session.server().apiBase() + "template/cutlogNew",
        { { "keywords", "" }, { "limit", "20" }, { "page", "1" } }));
    const QJsonObject row = reply.data().toObject().value("data").toArray().first().toObject();
    QCOMPARE(row.value("name").toString(), QString("Door"));
    QCOMPARE(row.value("area").toString(), QString("1.23"));
    Tools tools;
    const QString package = fetch(tools.mydecrypt(row.value("turl").toString().toUtf8()));
    QCOMPARE(PdbPackage::unpack(package.toUtf8()), svg);
    QVERIFY(tools.mydecrypt(row.value("image").toString().toUtf8()).endsWith(".png"));
}

void tst_CutRecord::storeDown()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    qputenv("ZOCUT_UPLOAD_ENDPOINT_2", QString("http://127.0.0.1:%1/").arg(closed.serverPort()).toUtf8());
    closed.close();
    m_session.server().clearJournal();
    save("<svg/>", "Hood");
    QCOMPARE(m_outcomes.first().first, false);
    QVERIFY2(
        m_outcomes.first().second.startsWith("The cut record was not saved: "), qPrintable(m_outcomes.first().second));
    QCOMPARE(m_session.server().requestCount("/api/template/cutlogSave"), 0);
}

ZOCUT_TEST_MAIN(tst_CutRecord)

#include "tst_CutRecord.moc"
