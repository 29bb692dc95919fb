#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "HttpRequest.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QSettings>
#include <QTabWidget>

// The main window as the pages use it: rights after signing in, and designs
// that arrive from the design host.
class tst_CMainFrame : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void afterLoginReadsRightsWithStoredToken_data();
    void afterLoginReadsRightsWithStoredToken();
    void designOpensAsNamedTab();
    void fetchWithPreview_data();
    void fetchWithPreview();

private:
    QTabWidget* tabs(CMainFrame& frame) const { return frame.tabWidget(); }
    QString designUrl(const QString& name) { return m_session.server().baseUrl() + "designs/" + name; }

    StandInSession m_session;
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
    QTest::addColumn<QString>("token");
    QTest::addColumn<int>("right"); // -1: refused with a warning
    QTest::newRow("full rights") << m_session.server().issueToken("13800000001") << 1;
    QTest::newRow("limited") << m_session.server().issueToken("13800000002") << 0;
    QTest::newRow("refused token") << "not-a-token" << -1;
}

void tst_CMainFrame::afterLoginReadsRightsWithStoredToken()
{
    QFETCH(QString, token);
    QFETCH(int, right);
    QSettings().setValue("token", token);
    CMainFrame frame;
    frame.afterLogin();
    QTRY_COMPARE(QString::fromLatin1(m_session.server().lastRequest("/api/user/index").header("token")), token);
    if (right < 0) {
        QTRY_COMPARE(m_prompts.size(), 1);
        QVERIFY(m_prompts.first().startsWith("Warring|"));
        return;
    }
    QTRY_VERIFY(!g_config.getUserRight("vector_auth").isNull());
    for (const char* key : { "report_auth", "openimg_auth", "vector_auth", "color_auth", "note_auth" })
        QCOMPARE(g_config.getUserRight(key).toInt(), right);
    QCOMPARE(frame.action(CMainFrame::ImportFile)->isVisible(), right == 1);
    QVERIFY(m_prompts.isEmpty());
}

void tst_CMainFrame::designOpensAsNamedTab()
{
    CMainFrame frame;
    frame.resize(800, 600);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    // The first design takes the empty "New File1", the next a tab of its own.
    frame.sendfiledata(designUrl("hood.pdb?timestamp=1"), "Audi A4L hood");
    QTRY_COMPARE(frame.currentTabText(), QString("Audi A4L hood"));
    QCOMPARE(tabs(frame)->count(), 2);
    QCOMPARE(frame.currentView(), tabs(frame)->widget(0));
    // Drawn and fitted into the canvas.
    CSVGView* view = frame.currentView();
    const QRectF pieces = view->getScene()->getItemsRect();
    QVERIFY(!pieces.isNull());
    QVERIFY(view->viewport()->rect().contains(view->mapFromScene(pieces).boundingRect()));

    frame.sendfiledata(designUrl("mirror_cap.pdb"), "mirror");
    QTRY_COMPARE(tabs(frame)->count(), 3);
    QCOMPARE(frame.currentTabText(), QString("mirror"));
    QCOMPARE(frame.currentView(), tabs(frame)->widget(1));
    // Picked again, with the page's new time stamp: its tab.
    frame.sendfiledata(designUrl("hood.pdb?timestamp=2"), "Audi A4L hood");
    QTRY_COMPARE(frame.currentView(), view);
    QCOMPARE(tabs(frame)->count(), 3);
    QVERIFY(m_prompts.isEmpty());
}

// A saved version brings its preview, or falls back to the shipped one; its
// failure tells nothing, as the page that asked reports it.
void tst_CMainFrame::fetchWithPreview_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QByteArray>("canned");
    QTest::addColumn<QString>("preview"); // null: fetched without a preview
    QTest::addColumn<QString>("kept"); // the window's preview; empty: no design
    QTest::addColumn<int>("prompts");
    const auto row = [](const char* name, const QString& design, const QByteArray& canned, const QString& preview,
                         const QString& kept,
                         int prompts) { QTest::newRow(name) << design << canned << preview << kept << prompts; };
    row("given", "hood.pdb", {}, "http://127.0.0.1/p.png", "http://127.0.0.1/p.png", 0);
    row("none", "hood.pdb", {}, "", ":/images/pre_model.png", 0);
    // The stand-in's preview, an SVG picture that shows itself, shows nothing.
    row("shows itself", "hood.pdb", {}, "self.svg", "self.svg", 0);
    row("missing package", "nothing_here.pdb", {}, QString(), "", 1);
    row("missing, saved version", "nothing_here.pdb", {}, "", "", 0);
    row("not a package", "broken.pdb", "<html>Server busy</html>", QString(), "", 1);
    row("empty package", "broken.pdb", "abcdefghij", QString(), "", 1);
}

void tst_CMainFrame::fetchWithPreview()
{
    QFETCH(QString, design);
    QFETCH(QByteArray, canned);
    QFETCH(QString, preview);
    QFETCH(QString, kept);
    QFETCH(int, prompts);
    if (!canned.isNull())
        m_session.server().setCannedReply("/designs/" + design, 200, canned, "application/octet-stream");
    QTemporaryDir folder;
    if (preview == "self.svg") {
        const QByteArray svg = selfShowingSvg(folder.filePath(preview));
        m_session.server().setCannedReply("/" + preview, 200, svg, "image/svg+xml");
        preview = kept = m_session.server().baseUrl() + preview;
    }
    CMainFrame frame;
    if (preview.isNull())
        frame.sendfiledata(designUrl(design), "x");
    else
        frame.sendfiledataImage(designUrl(design), "x", preview);
    if (!kept.isEmpty()) {
        QTRY_COMPARE(frame.currentTabText(), QString("x"));
        QCOMPARE(frame.previewAddress(), kept);
        // The shipped preview is read directly; the unreachable one leaves
        // the label empty.
        const auto* label = qobject_cast<QLabel*>(frame.previewDock()->widget());
        QVERIFY(label);
        QCOMPARE(label->pixmap(Qt::ReturnByValue).isNull(), kept.startsWith("http"));
    } else if (prompts > 0) {
        QTRY_COMPARE(m_prompts.size(), prompts);
        QVERIFY(m_prompts.first().startsWith("Warring|"));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    }
    QCOMPARE(m_prompts.size(), prompts);
    QCOMPARE(frame.currentTabText(), kept.isEmpty() ? QString("New File1") : QString("x"));
}

ZOCUT_TEST_MAIN(tst_CMainFrame)
#include "tst_CMainFrame.moc"
