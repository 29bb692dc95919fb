#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "FixtureDesigns.h"
#include "HttpRequest.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QPlainTextEdit>
#include <QSettings>
#include <QTabWidget>

// The main window as the pages use it: rights after signing in, and designs
// that arrive from the design host.
class tst_CMainFrame : public QObject
{
    Q_OBJECT
public:
    explicit tst_CMainFrame(StandInSession& session)
        : m_session(session)
    {
    }

private slots:
    void init();
    void cleanup();
    void afterLoginReadsRightsWithStoredToken_data();
    void afterLoginReadsRightsWithStoredToken();
    void afterLoginRefusedTokenWarns();
    void designOpensAsNamedTab();
    void designWithPreview_data();
    void designWithPreview();
    void failedFetch_data();
    void failedFetch();

private:
    QTabWidget* tabs(CMainFrame& frame) const { return frame.findChild<QTabWidget*>("documents"); }
    QString designUrl(const QString& name) const { return m_session.server().baseUrl() + "designs/" + name; }

    StandInSession& m_session;
    QStringList m_prompts;
};

void tst_CMainFrame::init()
{
    QVERIFY(m_session.isRunning());
    m_session.server().clearCannedReplies();
    m_prompts.clear();
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return QVariant();
    });
    g_config.setUserRights(QJsonObject());
}

void tst_CMainFrame::cleanup()
{
    Prompt::setHandler(nullptr);
    HttpRequest::setTimeoutMs(0);
}

void tst_CMainFrame::afterLoginReadsRightsWithStoredToken_data()
{
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<int>("right");
    QTest::newRow("full rights") << "13800000001" << 1;
    QTest::newRow("limited") << "13800000002" << 0;
}

void tst_CMainFrame::afterLoginReadsRightsWithStoredToken()
{
    QFETCH(QString, mobile);
    QFETCH(int, right);
    const QString token = m_session.server().issueToken(mobile);
    QSettings().setValue("token", token);
    CMainFrame frame;
    frame.afterLogin();
    QTRY_VERIFY(!g_config.getUserRight("vector_auth").isNull());
    QCOMPARE(QString::fromLatin1(m_session.server().lastRequest("/api/user/index").header("token")), token);
    for (const char* key : { "report_auth", "openimg_auth", "vector_auth", "color_auth", "note_auth" })
        QCOMPARE(g_config.getUserRight(key).toInt(), right);
    QVERIFY(m_prompts.isEmpty());
}

void tst_CMainFrame::afterLoginRefusedTokenWarns()
{
    QSettings().setValue("token", "not-a-token");
    CMainFrame frame;
    frame.afterLogin();
    QTRY_COMPARE(m_prompts.size(), 1);
    QVERIFY(m_prompts.first().startsWith("Warring|"));
}

void tst_CMainFrame::designOpensAsNamedTab()
{
    CMainFrame frame;
    frame.sendfiledata(designUrl("hood.pdb?timestamp=1"), "Audi A4L hood");
    QTRY_COMPARE(tabs(frame)->count(), 1);
    QCOMPARE(tabs(frame)->tabText(0), QString("Audi A4L hood"));
    QCOMPARE(frame.windowTitle(), QString("Audi A4L hood"));
    const auto* document = qobject_cast<QPlainTextEdit*>(tabs(frame)->widget(0));
    QVERIFY(document);
    QCOMPARE(document->toPlainText(), standin::FixtureDesigns().svg("hood"));

    frame.sendfiledata(designUrl("mirror_cap.pdb"), "mirror");
    QTRY_COMPARE(tabs(frame)->count(), 2);
    QCOMPARE(tabs(frame)->currentIndex(), 1);
    QVERIFY(m_prompts.isEmpty());
}

void tst_CMainFrame::designWithPreview_data()
{
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("kept");
    QTest::newRow("given") << "http://127.0.0.1/p.png"
                           << "http://127.0.0.1/p.png";
    QTest::newRow("none") << ""
                          << ":/images/pre_model.png";
}

void tst_CMainFrame::designWithPreview()
{
    QFETCH(QString, preview);
    QFETCH(QString, kept);
    CMainFrame frame;
    frame.sendfiledataImage(designUrl("hood.pdb"), "saved hood", preview);
    QTRY_COMPARE(tabs(frame)->count(), 1);
    QCOMPARE(tabs(frame)->widget(0)->property("previewImage").toString(), kept);
}

void tst_CMainFrame::failedFetch_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QByteArray>("canned");
    QTest::addColumn<bool>("withPreview");
    QTest::addColumn<int>("prompts");
    QTest::newRow("missing package") << "nothing_here.pdb" << QByteArray() << false << 1;
    QTest::newRow("missing, saved version") << "nothing_here.pdb" << QByteArray() << true << 0;
    QTest::newRow("not a package") << "broken.pdb" << QByteArray("<html>Server busy</html>") << false << 1;
    QTest::newRow("empty package") << "broken.pdb" << QByteArray("abcdefghij") << false << 1;
}

void tst_CMainFrame::failedFetch()
{
    QFETCH(QString, design);
    QFETCH(QByteArray, canned);
    QFETCH(bool, withPreview);
    QFETCH(int, prompts);
    if (!canned.isNull())
        m_session.server().setCannedReply("/designs/" + design, 200, canned, "application/octet-stream");
    CMainFrame frame;
    if (withPreview)
        frame.sendfiledataImage(designUrl(design), "x", QString());
    else
        frame.sendfiledata(designUrl(design), "x");
    if (prompts > 0) {
        QTRY_COMPARE(m_prompts.size(), prompts);
        QVERIFY(m_prompts.first().startsWith("Warring|"));
    } else {
        QTest::qWait(500);
        QVERIFY(m_prompts.isEmpty());
    }
    QCOMPARE(tabs(frame)->count(), 0);
}

int main(int argc, char** argv)
{
    TestEnvironment environment;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
    QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    StandInSession session;
    tst_CMainFrame test(session);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CMainFrame.moc"
