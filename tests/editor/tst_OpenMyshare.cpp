#include "OpenMyshare.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>

// Opening a design that another account shared, by share code and password.
class tst_OpenMyshare : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void openShare_data();
    void openShare();
    void cancelEmptiesAndHides();

private:
    OpenMyshare* shown(const QString& shareCode, const QString& password);

    StandInSession m_session;
    QStringList m_prompts;
    std::unique_ptr<OpenMyshare> m_dialog;
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

void tst_OpenMyshare::cleanup()
{
    m_session.server().clearCannedReplies();
    m_prompts.clear();
    m_dialog.reset();
}

OpenMyshare* tst_OpenMyshare::shown(const QString& shareCode, const QString& password)
{
    m_dialog = std::make_unique<OpenMyshare>();
    m_dialog->findChild<QLineEdit*>("shareCode")->setText(shareCode);
    m_dialog->findChild<QLineEdit*>("password")->setText(password);
    m_dialog->show();
    if (!QTest::qWaitForWindowExposed(m_dialog.get()))
        return nullptr;
    return m_dialog.get();
}

void tst_OpenMyshare::openShare_data()
{
    QTest::addColumn<QString>("shareCode");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("canned"); // reply of "template/open"
    QTest::addColumn<QString>("prompt"); // empty: the design is handed on
    const QString unreadable = "Warring|The server's reply could not be read.";
    // The fixture shares every third saved version of the first account.
    QTest::newRow("shared") << "SC001003"
                            << "4003" << QByteArray() << "";
    QTest::newRow("wrong password") << "SC001003"
                                    << "4004" << QByteArray() << "info|No record found~";
    QTest::newRow("marks and CJK") << "SC&+=\"码"
                                   << "密码&x=1" << QByteArray() << "info|No record found~";
    QTest::newRow("empty password") << "SC001003"
                                    << "" << QByteArray() << "info|Share code or password cannot be empty~";
    QTest::newRow("not JSON") << "SC001003"
                              << "4003" << QByteArray("<html>502</html>") << unreadable;
    QTest::newRow("code as text") << "SC001003"
                                  << "4003" << QByteArray(R"({"code":"1","data":{"url":"http://127.0.0.1/x"}})")
                                  << unreadable;
    QTest::newRow("no data") << "SC001003"
                             << "4003" << QByteArray(R"({"code":1,"data":[]})") << unreadable;
    QTest::newRow("server down") << "SC001003"
                                 << "4003" << QByteArray("down") << "Warring|Connection refused";
}

void tst_OpenMyshare::openShare()
{
    QFETCH(QString, shareCode);
    QFETCH(QString, password);
    QFETCH(QByteArray, canned);
    QFETCH(QString, prompt);
    const QByteArray base = qgetenv("ZOCUT_API_BASE");
    if (canned == "down")
        qputenv("ZOCUT_API_BASE", "http://127.0.0.1:1/api/");
    else if (!canned.isNull())
        m_session.server().setCannedReply("/api/template/open", 200, canned);
    const int before = m_session.server().requestCount("/api/template/open");
    OpenMyshare* dialog = shown(shareCode, password);
    QVERIFY(dialog);
    QSignalSpy sent(dialog, &OpenMyshare::sendData);
    QTest::mouseClick(dialog->findChild<QPushButton*>("save"), Qt::LeftButton);
    qputenv("ZOCUT_API_BASE", base);

    if (!prompt.isEmpty()) {
        QTRY_COMPARE(m_prompts.size(), 1);
        QVERIFY2(m_prompts.first().startsWith(prompt), qPrintable(m_prompts.first()));
        QCOMPARE(sent.count(), 0);
        QVERIFY(dialog->isVisible());
        const bool asked = !password.isEmpty() && canned != "down";
        QCOMPARE(m_session.server().requestCount("/api/template/open"), before + (asked ? 1 : 0));
        if (asked && canned.isNull()) {
            const standin::StandInRequest request = m_session.server().lastRequest("/api/template/open");
            QCOMPARE(request.form,
                (QList<QPair<QString, QString>> { { "share_code", shareCode }, { "password", password } }));
        }
        return;
    }
    QTRY_COMPARE(sent.count(), 1);
    QCOMPARE(sent.first().at(1).toString(), QString("Version 3"));
    QVERIFY(dialog->isHidden());
    QVERIFY(dialog->findChild<QLineEdit*>("shareCode")->text().isEmpty());
    // The address is the package's full download address.
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(sent.first().at(0).toString())));
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait(10000));
    QVERIFY(!PdbPackage::read(reply->readAll()).isEmpty());
    delete reply;
}

void tst_OpenMyshare::cancelEmptiesAndHides()
{
    OpenMyshare* dialog = shown("SC001003", "4003");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<QPushButton*>("save_2"), Qt::LeftButton);
    QVERIFY(dialog->isHidden());
    QVERIFY(dialog->findChild<QLineEdit*>("password")->text().isEmpty());
}

ZOCUT_TEST_MAIN(tst_OpenMyshare)
#include "tst_OpenMyshare.moc"
