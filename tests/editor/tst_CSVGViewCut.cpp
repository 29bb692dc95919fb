#include "CSVGView.h"
#include "HttpRequest.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QSettings>

// The cut and nesting entries up to their dialogs, the questions answered
// and the web API played by the stand-in.
class tst_CSVGViewCut : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void plotStops_data();
    void plotStops();
    void miscellaneousPiecesAreSelected();
    void tabClosedBeforeReply();
    void nestingReply_data();
    void nestingReply();
    void preparationSameOnAnyThreadCount();

private:
    void load(CSVGView& view, const QByteArray& shapes, bool selectAll);
    void waitForReplies();

    StandInSession m_session;
    QStringList m_prompts;
};

void tst_CSVGViewCut::init()
{
    m_prompts.clear();
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return QVariant(0);
    });
    CSVGDocument::setWarningHook(
        [this](const QString& title, const QString& text) { m_prompts << title + "|" + text; });
    QSettings().setValue("token", m_session.token());
}

void tst_CSVGViewCut::cleanup()
{
    Prompt::setHandler(nullptr);
    CSVGDocument::setWarningHook(nullptr);
}

void tst_CSVGViewCut::load(CSVGView& view, const QByteArray& shapes, bool selectAll)
{
    view.loadData("<svg xmlns=\"http://www.w3.org/2000/svg\">" + shapes + "</svg>");
    if (selectAll)
        view.getDocument()->selectAll();
}

// The first reply has been handled once a later request has come back.
void tst_CSVGViewCut::waitForReplies()
{
    QTRY_COMPARE(m_session.server().requestCount("/api/user/index"), 1);
    bool done = false;
    HttpRequest marker(m_session.server().apiBase() + "user/index");
    marker.setCompleteHandler([&done] { done = true; });
    marker.post();
    QTRY_VERIFY(done);
}

void tst_CSVGViewCut::plotStops_data()
{
    QTest::addColumn<QByteArray>("shapes");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("nothing to cut") << QByteArray() << "Warning|No pieces to cut!";
    QTest::newRow("overlapping pair") << QByteArray("<rect x=\"10\" y=\"10\" width=\"50\" height=\"50\"/>"
                                                    "<rect x=\"30\" y=\"30\" width=\"50\" height=\"50\"/>")
                                      << "Warning|Some pieces has intersected!";
    QTest::newRow("across the page's edge")
        << QByteArray("<rect x=\"10\" y=\"1500\" width=\"50\" height=\"40\"/>")
        << "Warning|A piece of 50.0 × 40.0 mm at (10.0, 1500.0) mm crosses the page's edge.";
    QTest::newRow("one piece") << QByteArray("<rect x=\"10\" y=\"10\" width=\"50\" height=\"50\"/>") << "Cutting|";
}

void tst_CSVGViewCut::plotStops()
{
    QFETCH(QByteArray, shapes);
    QFETCH(QString, prompt);
    CSVGView view(nullptr);
    load(view, shapes, false);
    view.getDocument()->setModified(false);
    view.plot();
    QCOMPARE(m_prompts, QStringList(prompt));
    QVERIFY(!view.hasUnsavedChanges());
}

// A line keeps two points, a group and a tear line are skipped or nested
// whole, an empty path is left alone.
void tst_CSVGViewCut::miscellaneousPiecesAreSelected()
{
    CSVGView view(nullptr);
    load(view,
        "<line x1=\"0\" y1=\"0\" x2=\"50\" y2=\"0\"/><g><rect width=\"10\" height=\"10\"/></g>"
        "<path d=\"\"/><rect x=\"100\" width=\"30\" height=\"30\" tear_line=\"true\"/>",
        true);
    view.autoPlace();
    QCOMPARE(m_prompts, QStringList("Warning|Please handle the miscellaneous pieces first!"));
    const QVector<CSVGElement*> selection = view.getDocument()->getSelection();
    QCOMPARE(selection.size(), 1);
    QCOMPARE(selection[0]->getTagName(), std::wstring(L"line"));
    QCOMPARE(m_session.server().requestCount("/api/user/index"), 0);
}

void tst_CSVGViewCut::tabClosedBeforeReply()
{
    m_session.server().clearJournal();
    auto* view = new CSVGView(nullptr);
    load(*view, "<rect width=\"10\" height=\"10\"/>", true);
    view->autoPlace();
    delete view;
    waitForReplies();
    QVERIFY(m_prompts.isEmpty());
}

void tst_CSVGViewCut::nestingReply_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("not JSON") << 200 << QByteArray("<html>") << "";
    QTest::newRow("refused") << 500 << QByteArray("{}") << "Warring|";
    QTest::newRow("allowtype 1") << 200 << QByteArray(R"({"code":1,"msg":"","data":{"userinfo":{"allowtype":1}}})")
                                 << "Online nesting|";
    QTest::newRow("allowtype 0") << 200 << QByteArray(R"({"code":1,"msg":"","data":{"userinfo":{"allowtype":0}}})")
                                 << "Automatic nesting|";
}

void tst_CSVGViewCut::nestingReply()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, prompt);
    m_session.server().clearJournal();
    m_session.server().setCannedReply("/api/user/index", status, body);
    CSVGView view(nullptr);
    load(view, "<rect x=\"30\" y=\"30\" width=\"10\" height=\"10\"/>", true);
    view.getDocument()->setModified(false);
    view.autoPlace();
    waitForReplies();
    m_session.server().clearCannedReplies();
    QCOMPARE(m_prompts.join(';').section('|', 0, 0) + (m_prompts.isEmpty() ? "" : "|"), prompt);
    // Each dialog was cancelled: nothing moved.
    QCOMPARE(view.contentBoundingRect(), QRectF(30, 30, 10, 10));
    QVERIFY(!view.hasUnsavedChanges());
}

// Run under ThreadSanitizer too: the workers share nothing but their input.
void tst_CSVGViewCut::preparationSameOnAnyThreadCount()
{
    CSVGView view(nullptr);
    QByteArray shapes;
    for (int i = 0; i < 200; ++i) {
        shapes += i % 7 == 0 ? QString("<line x1=\"%1\" y1=\"0\" x2=\"%1\" y2=\"9\"/>").arg(i * 20).toUtf8()
                             : QString("<circle cx=\"%1\" cy=\"50\" r=\"8\"/>").arg(i * 20).toUtf8();
    }
    load(view, shapes, true);
    const QVector<CSVGElement*> selection = view.getDocument()->getSelection();
    const QList<CSVGElement*> alone = CSVGView::prepareNestingPieces(selection, 1);
    QCOMPARE(alone.size(), 29);
    QCOMPARE(CSVGView::prepareNestingPieces(selection, 4), alone);
}

ZOCUT_TEST_MAIN(tst_CSVGViewCut)
#include "tst_CSVGViewCut.moc"
