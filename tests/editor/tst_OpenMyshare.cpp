#include "HttpRequest.h"
#include "OpenMyshare.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QLineEdit>
#include <QPushButton>

// Opening a design that another account shared, by share code and password.
class tst_OpenMyshare : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void openShare_data();
    void openShare();

private:
    StandInSession m_session;
    QStringList m_prompts;
};

void tst_OpenMyshare::initTestCase()
{
    QVERIFY(m_session.isRunning());
    QSettings().setValue("token", m_session.token());
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return QVariant();
    });
}

void tst_OpenMyshare::openShare_data()
{
    QTest::addColumn<QString>("shareCode");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("canned"); // reply of "template/open"; "down": no server
    QTest::addColumn<QString>("prompt"); // its start; empty: the design is handed on
    const QString unreadable = "Warring|The server's reply could not be read.";
    const auto row
        = [](const char* tag, const char* code, const char* password, const char* canned, const QString& prompt) {
              QTest::newRow(tag) << code << password << QByteArray(canned) << prompt;
          };
    // The fixture shares every third saved version of the first account.
    row("shared", "SC001003", "4003", nullptr, "");
    row("wrong password", "SC001003", "4004", nullptr, "info|No record found~");
    row("marks and CJK", "SC&+=\"码", "密码&x=1", nullptr, "info|No record found~");
    row("empty password", "SC001003", "", nullptr, "info|Share code or password cannot be empty~");
    row("not JSON", "SC001003", "4003", "<html>502</html>", unreadable);
    row("code as text", "SC001003", "4003", R"({"code":"1","data":{"url":"http://127.0.0.1/x"}})", unreadable);
    row("no data", "SC001003", "4003", R"({"code":1,"data":[]})", unreadable);
    row("server down", "SC001003", "4003", "down", "Warring|Connection refused");
}

void tst_OpenMyshare::openShare()
{
    QFETCH(QString, shareCode);
    QFETCH(QString, password);
    QFETCH(QByteArray, canned);
    QFETCH(QString, prompt);
    m_prompts.clear();
    m_session.server().clearCannedReplies();
    const QByteArray base = qgetenv("ZOCUT_API_BASE");
    if (canned == "down")
        qputenv("ZOCUT_API_BASE", "http://127.0.0.1:1/api/");
    else if (!canned.isNull())
        m_session.server().setCannedReply("/api/template/open", 200, canned);
    const int asked = m_session.server().requestCount("/api/template/open");
    OpenMyshare dialog;
    dialog.findChild<QLineEdit*>("shareCode")->setText(shareCode);
    dialog.findChild<QLineEdit*>("password")->setText(password);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy sent(&dialog, &OpenMyshare::sendData);
    QTest::mouseClick(dialog.findChild<QPushButton*>("save"), Qt::LeftButton);
    qputenv("ZOCUT_API_BASE", base);

    if (!prompt.isEmpty()) {
        QTRY_COMPARE(m_prompts.size(), 1);
        QVERIFY2(m_prompts.first().startsWith(prompt), qPrintable(m_prompts.first()));
        QVERIFY(sent.isEmpty() && dialog.isVisible());
        QCOMPARE(m_session.server().requestCount("/api/template/open") - asked,
            password.isEmpty() || canned == "down" ? 0 : 1);
        if (canned.isNull() && !password.isEmpty()) {
            QCOMPARE(m_session.server().lastRequest("/api/template/open").form,
                (QList<QPair<QString, QString>> { { "share_code", shareCode }, { "password", password } }));
        }
        return;
    }
    QTRY_COMPARE(sent.count(), 1);
    QCOMPARE(sent.first().at(1).toString(), QString("Version 3"));
    QVERIFY(dialog.isHidden() && dialog.findChild<QLineEdit*>("shareCode")->text().isEmpty());
    // A full download address of the package.
    QString package;
    HttpRequest(sent.first().at(0).toString()).setSuccessHandler([&](const QString& body) { package = body; }).get();
    QTRY_VERIFY(!PdbPackage::read(package.toUtf8()).isEmpty());
}

ZOCUT_TEST_MAIN(tst_OpenMyshare)
#include "tst_OpenMyshare.moc"
