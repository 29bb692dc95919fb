#include "HttpRequest.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "SaveFile.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "Tools.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>

// Saving the open design to the account's store, against the stand-in.
class tst_SaveFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void savedDesignListsAndOpens();
    void outcome_data();
    void outcome();
    void quickSavesKeepTheirOwnPackages();

private:
    void start(SaveFile& dialog, const QString& name, const QString& svg, const char* button);
    QList<standin::StandInRequest> records();
    // The body of a finished request, empty after a failure.
    static QString finish(HttpRequest& request, bool post);

    StandInSession m_session;
    QString m_token;
    QStringList m_prompts;
};

namespace {
QString drawing(const QString& title)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\"><title>" + title
        + "</title><path d=\"M0 0L10 10\"/></svg>";
}
} // namespace

void tst_SaveFile::init()
{
    QVERIFY(m_session.isRunning());
    m_session.server().resetFixture();
    m_session.server().clearCannedReplies();
    m_session.server().clearJournal();
    m_token = m_session.token();
    QSettings().setValue("token", m_token);
    m_prompts.clear();
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return QVariant();
    });
}

void tst_SaveFile::cleanup()
{
    Prompt::setHandler(nullptr);
}

void tst_SaveFile::start(SaveFile& dialog, const QString& name, const QString& svg, const char* button)
{
    QImage preview(300, 300, QImage::Format_ARGB32);
    preview.fill(Qt::white);
    dialog.setDesign(svg, preview);
    dialog.findChild<QLineEdit*>("fileName")->setText(name);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

QList<standin::StandInRequest> tst_SaveFile::records()
{
    QList<standin::StandInRequest> found;
    for (const standin::StandInRequest& request : m_session.server().journal()) {
        if (request.path == "/api/template/saveNew")
            found << request;
    }
    return found;
}

QString tst_SaveFile::finish(HttpRequest& request, bool post)
{
    QString body;
    bool done = false;
    request.setSuccessHandler([&](const QString& text) { body = text, done = true; })
        .setFailHandler([&](const QString&, int) { done = true; });
    post ? request.post() : request.get();
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        return QString();
    return body;
}

// The record is written after its four objects are stored, lists among the
// account's saved versions, and its package gives back the very text.
void tst_SaveFile::savedDesignListsAndOpens()
{
    const QString name = "引擎盖 & hood+1=\"2\"";
    const QString svg = drawing("保险杠 — Ünïcode");
    SaveFile dialog;
    start(dialog, name, svg, "save");
    QVERIFY(dialog.isHidden());
    QTRY_COMPARE(m_prompts, QStringList("Success|Submitted successfully~"));

    const QString key = records().value(0).field("url").mid(1).chopped(4);
    QStringList stored;
    for (const char* bucket : { "morlandatah", "morlandataf" })
        stored << QString("stored %1/%2.pdb").arg(bucket, key) << QString("stored %1/%2.png").arg(bucket, key);
    QStringList events = m_session.server().events();
    QCOMPARE(events.takeLast(), "saved " + name);
    events.sort();
    stored.sort();
    QCOMPARE(events, stored);
    QCOMPARE(QImage::fromData(m_session.server().storedObject("morlandataf", key + ".png")).size(), QSize(300, 300));

    HttpRequest list(m_session.server().apiBase() + "template/myTemplateNew");
    list.addParam("keywords", name).addParam("limit", 20).addParam("page", 1).setHeader("token", m_token);
    const QJsonArray rows
        = QJsonDocument::fromJson(finish(list, true).toUtf8())["data"].toObject().value("data").toArray();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0)["name"].toString(), name);
    HttpRequest download(Tools().mydecrypt(rows.at(0)["turl"].toString().toLatin1()));
    QCOMPARE(PdbPackage::read(finish(download, false).toUtf8()), svg);
}

void tst_SaveFile::outcome_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cannedPath");
    QTest::addColumn<int>("cannedStatus");
    QTest::addColumn<QByteArray>("cannedBody");
    QTest::addColumn<QString>("prompt"); // its start
    QTest::addColumn<QStringList>("fields"); // of the record; empty: none sent
    const QStringList stored { "name", "url", "image" };
    const QStringList forced { "name", "url", "image", "force" };
    QTest::newRow("new name") << QByteArray("save") << "Door"
                              << "" << 0 << QByteArray() << "Success|Submitted successfully~" << stored;
    QTest::newRow("name taken") << QByteArray("save") << "Version 1"
                                << "" << 0 << QByteArray() << "Failed|The file name already exists" << stored;
    QTest::newRow("overwrite") << QByteArray("cover") << "Version 1"
                               << "" << 0 << QByteArray() << "Success|Submitted successfully~" << forced;
    QTest::newRow("upload refused") << QByteArray("cover") << "Door"
                                    << "/upload/2/" << 403 << QByteArray("{\"error\":\"no\"}") << "Failed|"
                                    << QStringList();
    QTest::newRow("reply not JSON") << QByteArray("save") << "Door"
                                    << "/api/template/saveNew" << 200 << QByteArray("<html>busy</html>")
                                    << "Failed|The server's reply could not be read." << stored;
    QTest::newRow("code as text") << QByteArray("save") << "Door"
                                  << "/api/template/saveNew" << 200 << QByteArray("{\"code\":\"1\"}")
                                  << "Failed|The server's reply could not be read." << stored;
}

// "Success" only for a stored record; "force" only from overwriting, after
// the three fields in their order; no record without all four objects.
void tst_SaveFile::outcome()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, name);
    QFETCH(QString, cannedPath);
    QFETCH(int, cannedStatus);
    QFETCH(QByteArray, cannedBody);
    QFETCH(QString, prompt);
    QFETCH(QStringList, fields);
    if (!cannedPath.isEmpty())
        m_session.server().setCannedReply(cannedPath, cannedStatus, cannedBody);
    SaveFile dialog;
    start(dialog, name, drawing("door"), button);
    QTRY_COMPARE(m_prompts.size(), 1);
    QVERIFY2(m_prompts.first().startsWith(prompt), qPrintable(m_prompts.first()));

    const QList<standin::StandInRequest> sent = records();
    QCOMPARE(sent.size(), fields.isEmpty() ? 0 : 1);
    if (fields.isEmpty())
        return;
    QStringList names;
    for (const auto& item : sent.first().form)
        names << item.first;
    QCOMPARE(names, fields);
    QCOMPARE(sent.first().field("name"), name);
    QCOMPARE(sent.first().field("force"), QString(button == "cover" ? "1" : ""));
    const QString key
        = button == "cover" ? "\\d{12}[a-z]{10}" : "[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}";
    QVERIFY(QRegularExpression("^/allcutorsave/" + key + "\\.pdb$").match(sent.first().field("url")).hasMatch());
    QCOMPARE(sent.first().field("image"), sent.first().field("url").chopped(3) + "png");
    QCOMPARE(QString::fromLatin1(sent.first().header("token")), m_token);
}

// Each save reads its own files, even when the next save starts before the
// first one's uploads are out.
void tst_SaveFile::quickSavesKeepTheirOwnPackages()
{
    SaveFile first;
    SaveFile second;
    start(first, "first", drawing("one"), "save");
    start(second, "second", drawing("two"), "save");
    QTRY_COMPARE(m_prompts.size(), 2);
    QCOMPARE(m_prompts.count("Success|Submitted successfully~"), 2);
    for (const standin::StandInRequest& record : records()) {
        const QByteArray package = m_session.server().storedObject("morlandatah", record.field("url").mid(1));
        QCOMPARE(PdbPackage::read(package), drawing(record.field("name") == "first" ? "one" : "two"));
    }
    QCOMPARE(records().size(), 2);
}

ZOCUT_TEST_MAIN(tst_SaveFile)
#include "tst_SaveFile.moc"
