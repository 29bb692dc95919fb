#include "CSVGElementShape.h"
#include "CSVGView.h"
#include "HttpRequest.h"
#include "NestingDialog.h"
#include "NestingStandInServer.h"
#include "NumberField.h"
#include "OnlineNester.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QDialogButtonBox>
#include <QPushButton>
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
    void nestingIsOneStep_data();
    void nestingIsOneStep();
    void nestedDrawingIsCut_data();
    void nestedDrawingIsCut();

private:
    void load(CSVGView& view, const QByteArray& shapes, bool selectAll);
    void waitForReplies();
    // Nesting on the stand-in server, or locally, as the web API says; the
    // dialog, once the view opens it, run by drive, which returns its result.
    void setUpNesting(
        standin::NestingStandInServer& server, bool online, const std::function<int()>& drive, bool* driven);
    // The nesting dialog run as the user would at the given moment; its
    // result.
    int driveNesting(const QString& moment, CSVGDocument* document);

    StandInSession m_session;
    QStringList m_prompts;
};

namespace {
// Each piece's canvas box, in document order.
QVector<QRectF> boxes(CSVGDocument& document)
{
    QVector<QRectF> result;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; root && i < root->getChildCount(); ++i)
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i)))
            result << shape->getTransformedBoundingRect().toQRectF();
    return result;
}
} // namespace

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
    QTest::newRow("past the edge by 0.04 mm")
        << QByteArray("<rect x=\"10\" y=\"-0.04\" width=\"50\" height=\"40\"/>")
        << "Warning|A piece of 50.0 × 40.0 mm at (10.0, 0.0) mm crosses the page's edge.";
    QTest::newRow("only outside the page")
        << QByteArray("<rect x=\"10\" y=\"1600\" width=\"50\" height=\"40\"/>")
        << "Warning|No pieces to cut!\n\nPieces outside the page, which will not be cut: 1\n"
           "a piece of 50.0 × 40.0 mm at (10.0, 1600.0) mm";
    QTest::newRow("one piece") << QByteArray("<rect x=\"10\" y=\"10\" width=\"50\" height=\"50\"/>") << "Cutting|";
    QTest::newRow("a rounding past the edge")
        << QByteArray("<rect x=\"10\" y=\"-0.0006\" width=\"50\" height=\"40\"/>") << "Cutting|";
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

void tst_CSVGViewCut::setUpNesting(
    standin::NestingStandInServer& server, bool online, const std::function<int()>& drive, bool* driven)
{
    QVERIFY(server.start());
    QSettings().setValue("hpgl/NestingServer", QString("127.0.0.1:%1").arg(server.port()));
    QSettings().setValue("hpgl/NestingAccount", "nesting@example.com:482915");
    QSettings().setValue("hpgl/NestingInterval", 0.1);
    m_session.server().setCannedReply("/api/user/index", 200,
        QString(R"({"code":1,"msg":"","data":{"userinfo":{"allowtype":%1}}})").arg(online ? 1 : 0).toUtf8());
    Prompt::setHandler([this, drive, driven](Prompt::Kind kind, const QString& title, const QString& text) {
        if (kind != Prompt::Kind::Modal) {
            m_prompts << title + "|" + text;
            return QVariant(QMessageBox::Ok);
        }
        const int result = drive();
        *driven = true;
        return QVariant(result);
    });
}

// A wait that runs out is noted as a prompt, which the test expects none of.
int tst_CSVGViewCut::driveNesting(const QString& moment, CSVGDocument* document)
{
    NestingDialog* dialog = nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        dialog = dialog ? dialog : qobject_cast<NestingDialog*>(widget);
    if (!dialog)
        return QDialog::Rejected;
    bool closed = false;
    connect(dialog, &QDialog::finished, this, [&closed] { closed = true; });
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    if (moment == "as it arrives")
        connect(dialog->findChild<OnlineNester*>(), &OnlineNester::finished, cancel, &QPushButton::click);
    dialog->findChild<NumberField*>("width")->setValue(600);
    dialog->findChild<QPushButton*>("start")->click();
    const auto wait = [this](const QString& what, const std::function<bool()>& done) {
        if (!QTest::qWaitFor(done, 120000))
            m_prompts << "timed out: " + what;
    };
    if (moment == "before the reply" && dialog->findChild<OnlineNester*>())
        wait("job", [document] { return !document->getNestingJobId().isEmpty(); });
    if (moment == "ok" || moment == "after")
        wait("placements", [ok] { return ok->isEnabled(); });
    if (moment != "as it arrives")
        (moment == "ok" ? ok : cancel)->click();
    wait("closing", [&closed] { return closed; });
    return dialog->result();
}

// Four pieces and a hidden one on a drawing's page of 1250 x 700 mm, on a
// page 15 m long. Nesting them on a roll 600 mm wide is one step of the
// history, and Cancel at any moment leaves the drawing as it was.
void tst_CSVGViewCut::nestingIsOneStep_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("moment");
    QTest::newRow("local") << false << "ok";
    QTest::newRow("local, cancelled while placing") << false << "before the reply";
    QTest::newRow("local, cancelled after") << false << "after";
    QTest::newRow("online") << true << "ok";
    QTest::newRow("online, cancelled before the reply") << true << "before the reply";
    QTest::newRow("online, cancelled as it arrives") << true << "as it arrives";
    QTest::newRow("online, cancelled after") << true << "after";
}

void tst_CSVGViewCut::nestingIsOneStep()
{
    QFETCH(bool, online);
    QFETCH(QString, moment);
    standin::NestingStandInServer nestingServer;
    CSVGView view(nullptr);
    bool driven = false;
    setUpNesting(
        nestingServer, online, [&] { return driveNesting(moment, view.getDocument()); }, &driven);
    load(view,
        "<rect x=\"50\" y=\"50\" width=\"120\" height=\"90\"/><rect x=\"400\" y=\"300\" width=\"200\" "
        "height=\"60\"/><rect x=\"900\" y=\"100\" width=\"80\" height=\"150\"/><circle cx=\"700\" cy=\"550\" "
        "r=\"70\"/><rect x=\"1100\" y=\"600\" width=\"100\" height=\"60\" display=\"none\"/>",
        false);
    CSVGDocument& document = *view.getDocument();
    view.setPageRect(QRectF(0, 0, 1250, 700));
    document.selectAll();
    // The size shown for the selection is that of what is drawn.
    QCOMPARE(document.getSelectionRect(), QRectF(50, 50, 930, 570));
    const QVector<QRectF> before = boxes(document);
    const size_t steps = document.getHistory().size();
    if (moment == "before the reply")
        nestingServer.setFault(standin::NestingStandInServer::Fault::Stalled);
    view.autoPlace();
    QTRY_VERIFY_WITH_TIMEOUT(driven, 120000);
    m_session.server().clearCannedReplies();
    QVERIFY2(m_prompts.isEmpty(), qPrintable(m_prompts.join('\n')));
    if (moment != "ok") {
        QCOMPARE(boxes(document), before);
        QCOMPARE(document.getHistory().size(), steps);
        return;
    }
    const QVector<QRectF> nested = boxes(document);
    QVERIFY(nested != before);
    for (int i = 0; i < 4; ++i)
        QVERIFY2(QRectF(0, 0, 1250, 700).contains(nested[i]), qPrintable(QString::number(i)));
    QCOMPARE(nested[4], before[4]);
    QCOMPARE(document.getHistory().size(), steps + 1);
    document.undo();
    QCOMPARE(boxes(document), before);
    document.redo();
    QCOMPARE(boxes(document), nested);
}

void tst_CSVGViewCut::nestedDrawingIsCut_data()
{
    QTest::addColumn<bool>("online");
    QTest::newRow("local") << false;
    QTest::newRow("online") << true;
}

// 48 turned rectangles, circles and triangles, some on the page's edges,
// nested on the widest roll that the page of 1520 mm takes: the nested
// pieces reach the page's top edge to within the placement's rounding, and
// the cut takes them all.
void tst_CSVGViewCut::nestedDrawingIsCut()
{
    QFETCH(bool, online);
    QSettings().setValue("autoplace/width", 100000);
    standin::NestingStandInServer nestingServer;
    CSVGView view(nullptr);
    bool driven = false;
    // Placed on the roll the dialog holds to the page, and accepted.
    setUpNesting(
        nestingServer, online,
        [this] {
            NestingDialog* dialog = nullptr;
            for (QWidget* widget : QApplication::allWidgets())
                dialog = dialog ? dialog : qobject_cast<NestingDialog*>(widget);
            QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            dialog->findChild<QPushButton*>("start")->click();
            if (!QTest::qWaitFor([ok] { return ok->isEnabled(); }, 120000))
                m_prompts << "timed out: placements";
            ok->click();
            return dialog->result();
        },
        &driven);
    QByteArray shapes;
    for (int i = 0; i < 48; ++i) {
        const int x = (i % 8) * 160;
        const int y = (i / 8) * 200;
        if (i % 3 == 0)
            shapes += QString::asprintf(
                "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" transform=\"rotate(%d %d %d)\"/>", x, y, 60 + i,
                40 + i % 7 * 9, i * 7, x, y)
                          .toUtf8();
        else if (i % 3 == 1)
            shapes
                += QString::asprintf("<circle cx=\"%d\" cy=\"%d\" r=\"%d\"/>", x + 50, y + 50, 20 + i % 5 * 7).toUtf8();
        else
            shapes += QString::asprintf(
                "<polygon points=\"%d,%d %d,%d %d,%d\"/>", x, y, x + 90 + i, y, x + 30, y + 70 + i % 4 * 11)
                          .toUtf8();
    }
    load(view, shapes, true);
    CSVGDocument& document = *view.getDocument();
    view.autoPlace();
    QTRY_VERIFY_WITH_TIMEOUT(driven, 120000);
    m_session.server().clearCannedReplies();
    QVERIFY2(m_prompts.isEmpty(), qPrintable(m_prompts.join('\n')));
    QRectF nested;
    for (const QRectF& box : boxes(document))
        nested |= box;
    QVERIFY2(nested.top() < 0.001, qPrintable(QString::number(nested.top())));
    QVERIFY(document.checkNoIntersection());
    for (int i = 0; i < document.getOwnerSvg()->getChildCount(); ++i)
        QVERIFY(document.isInsidePage(document.getOwnerSvg()->getChild(i)));
    QVERIFY2(m_prompts.isEmpty(), qPrintable(m_prompts.join('\n')));
}

ZOCUT_TEST_MAIN(tst_CSVGViewCut)
#include "tst_CSVGViewCut.moc"
