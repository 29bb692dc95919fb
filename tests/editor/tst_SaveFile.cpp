#include "CMainFrame.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "HttpRequest.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "SaveFile.h"
#include "SimulatedCrash.h"
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
    void cleanup() { Prompt::setHandler(nullptr); }
    void savedDesignListsAndOpens();
    void outcome_data();
    void outcome();
    void quickSavesKeepTheirOwnPackages();
    void storedDrawingIsSaved_data();
    void storedDrawingIsSaved();
    void storedDrawingIsNotRecovered();
    void storedFileIsThatDesign();

private:
    void start(SaveFile& dialog, const QString& name, const QString& svg, const char* button);
    QList<standin::StandInRequest> records();
    // The account's saved versions found by that name, as the page lists them.
    QJsonArray savedRows(const QString& name);

    StandInSession m_session;
    QString m_token;
    QStringList m_prompts;
};

static QString drawing(const QString& title)
{
    return "<svg viewBox=\"0 0 10 10\"><title>" + title + "</title><path d=\"M0 0L10 10\"/></svg>";
}

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

QJsonArray tst_SaveFile::savedRows(const QString& name)
{
    QString body;
    HttpRequest list(m_session.server().apiBase() + "template/myTemplateNew");
    list.addParam("keywords", name).addParam("limit", 20).addParam("page", 1).setHeader("token", m_token);
    list.setSuccessHandler([&](const QString& text) { body = text; }).post();
    if (!QTest::qWaitFor([&] { return !body.isEmpty(); }, 30000))
        return QJsonArray();
    return QJsonDocument::fromJson(body.toUtf8())["data"]["data"].toArray();
}

QList<standin::StandInRequest> tst_SaveFile::records()
{
    QList<standin::StandInRequest> found;
    for (const standin::StandInRequest& request : m_session.server().journal())
        if (request.path == "/api/template/saveNew")
            found << request;
    return found;
}

// The record follows its four stored objects, lists among the account's
// saved versions, and its package gives back the very text; reopened, its
// tab bears the name as typed, markup and path characters and all.
void tst_SaveFile::savedDesignListsAndOpens()
{
    const QString name = "../../etc/<b>x</b>%n 引擎盖 & hood+1=\"2\"";
    const QString svg = drawing("保险杠 — Ünïcode");
    SaveFile dialog;
    start(dialog, name, svg, "save");
    QVERIFY(dialog.isHidden());
    QTRY_COMPARE(m_prompts, QStringList("Success|Submitted successfully~"));

    const QString key = records().value(0).field("url").mid(1).chopped(4);
    QStringList stored;
    for (const QString bucket : { "morlandatah", "morlandataf" })
        stored << "stored " + bucket + "/" + key + ".pdb"
               << "stored " + bucket + "/" + key + ".png";
    QStringList events = m_session.server().events();
    QCOMPARE(events.takeLast(), "saved " + name);
    events.sort();
    stored.sort();
    QCOMPARE(events, stored);

    const QJsonArray rows = savedRows(name);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0)["name"].toString(), name);
    QString body;
    const QString package = Tools().mydecrypt(rows.at(0)["turl"].toString().toLatin1());
    HttpRequest(package).setSuccessHandler([&](const QString& text) { body = text; }).get();
    QTRY_COMPARE(PdbPackage::read(body.toUtf8()), svg);
    CMainFrame frame;
    frame.sendfiledataImage(package, name, QString());
    QTRY_COMPARE(frame.currentTabText(), name);
}

void tst_SaveFile::outcome_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cannedPath");
    QTest::addColumn<QByteArray>("cannedBody");
    QTest::addColumn<QString>("prompt"); // its start
    QTest::addColumn<QStringList>("fields"); // of the record; empty: none sent
    const QStringList fields { "name", "url", "image" };
    const QString success = "Success|Submitted successfully~";
    const QString unreadable = "Failed|The server's reply could not be read.";
    const auto row = [](const char* tag, const char* button, const char* name, const char* path, const char* body,
                         const QString& prompt, const QStringList& fields) {
        QTest::newRow(tag) << QByteArray(button) << name << path << QByteArray(body) << prompt << fields;
    };
    row("new name", "save", "Door", "", "", success, fields);
    row("name taken", "save", "Version 1", "", "", "Failed|The file name already exists", fields);
    row("overwrite", "cover", "Version 1", "", "", success, fields + QStringList("force"));
    row("upload refused", "cover", "Door", "/upload/2/", "{}", "Failed|", {});
    row("reply not JSON", "save", "Door", "/api/template/saveNew", "<html>busy</html>", unreadable, fields);
    row("code as text", "save", "Door", "/api/template/saveNew", "{\"code\":\"1\"}", unreadable, fields);
}

// "Success" only for a stored record; "force" only from overwriting, after
// the three fields in their order; no record without all four objects.
void tst_SaveFile::outcome()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, name);
    QFETCH(QString, cannedPath);
    QFETCH(QByteArray, cannedBody);
    QFETCH(QString, prompt);
    QFETCH(QStringList, fields);
    if (!cannedPath.isEmpty())
        m_session.server().setCannedReply(cannedPath, cannedPath.startsWith("/upload") ? 403 : 200, cannedBody);
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
    QCOMPARE(sent.first().field("force"), QString(button == "cover" ? "1" : ""));
    const QString key = button == "cover" ? "\\d{12}[a-z]{10}" : "[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}";
    QVERIFY(QRegularExpression("^/allcutorsave/" + key + "\\.pdb$").match(sent.first().field("url")).hasMatch());
    QCOMPARE(sent.first().field("image"), sent.first().field("url").chopped(3) + "png");
    QCOMPARE(QString::fromLatin1(sent.first().header("token")), m_token);
}

// Each save uploads its own files, even when the next one starts before the
// first one's uploads are out.
void tst_SaveFile::quickSavesKeepTheirOwnPackages()
{
    SaveFile first;
    SaveFile second;
    start(first, "one", drawing("one"), "save");
    start(second, "two", drawing("two"), "save");
    QTRY_COMPARE(m_prompts.count("Success|Submitted successfully~"), 2);
    QCOMPARE(records().size(), 2);
    for (const standin::StandInRequest& record : records()) {
        const QByteArray package = m_session.server().storedObject("morlandatah", record.field("url").mid(1));
        QCOMPARE(PdbPackage::read(package), drawing(record.field("name")));
    }
}

void tst_SaveFile::storedDrawingIsSaved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stored");
    QTest::newRow("stored") << "Door" << true;
    QTest::newRow("name taken") << "Version 1" << false;
}

// "Save" in the window: once the store holds the drawing, its tab loses the
// "*" and closing it asks nothing; a refused save leaves both.
void tst_SaveFile::storedDrawingIsSaved()
{
    QFETCH(QString, name);
    QFETCH(bool, stored);
    CMainFrame frame;
    CSVGView* view = frame.currentView();
    QVERIFY(view->getDocument()->pasteSvgText(drawing("door").toStdWString()));
    view->repaint();
    QCOMPARE(frame.currentTabText(), QString("New File1*"));
    Prompt::setHandler([&](Prompt::Kind kind, const QString& title, const QString& text) {
        if (kind != Prompt::Kind::Modal) {
            m_prompts << title + "|" + text;
            return QVariant();
        }
        auto* dialog = view->findChild<SaveFile*>();
        dialog->findChild<QLineEdit*>("fileName")->setText(name);
        dialog->show();
        QTest::mouseClick(dialog->findChild<QPushButton*>("save"), Qt::LeftButton);
        return QVariant(int(QDialog::Accepted));
    });
    frame.fileSave();
    QTRY_COMPARE(m_prompts.size(), 1);
    QCOMPARE(m_prompts.first().startsWith("Success"), stored);
    QCOMPARE(frame.currentTabText(), stored ? name : QString("New File1*"));
    m_prompts.clear();
    frame.tabClose(0);
    QCOMPARE(m_prompts.size(), stored ? 0 : 1);
}

namespace {
void tick(CSVGView* view)
{
    QTimerEvent event(view->autosaveTimerId());
    QCoreApplication::sendEvent(view, &event);
}

void edit(CSVGView* view)
{
    view->getDocument()->pasteSvgText(drawing("piece").toStdWString());
    tick(view);
}
} // namespace

// Stored, a drawing bears the name it is stored under and leaves no copy to
// recover: after a crash the next start offers only what changed since,
// under that name. A design from the store offers its own name, so that
// Overwrite needs no typing.
void tst_SaveFile::storedDrawingIsNotRecovered()
{
    auto frame = std::make_unique<CMainFrame>();
    QStringList offered;
    Prompt::setHandler([&](Prompt::Kind kind, const QString& title, const QString& text) {
        if (kind != Prompt::Kind::Modal) {
            m_prompts << title + "|" + text;
            return QVariant(int(QMessageBox::Yes));
        }
        auto* dialog = frame->currentView()->findChild<SaveFile*>();
        auto* name = dialog->findChild<QLineEdit*>("fileName");
        offered << name->text();
        if (name->text().isEmpty())
            name->setText("Door");
        dialog->show();
        QTest::mouseClick(dialog->findChild<QPushButton*>(offered.last().isEmpty() ? "save" : "cover"), Qt::LeftButton);
        return QVariant(int(QDialog::Accepted));
    });
    edit(frame->currentView());
    QVERIFY(frame->openDesignData(drawing("v1").toUtf8().toBase64(), "Version 1", "http://127.0.0.1/v1.pdb"));
    edit(frame->currentView());
    QCOMPARE(QDir(CSVGView::autosaveFolder()).entryList(QDir::Files),
        QStringList({ "New File1", "Version 1%@", "Version 1%@.address" }));
    for (int tab : { 0, 1 }) {
        frame->tabWidget()->setCurrentIndex(tab);
        frame->fileSave();
        QTRY_COMPARE(m_prompts.count("Success|Submitted successfully~"), tab + 1);
    }
    QCOMPARE(offered, QStringList({ "", "Version 1" }));
    QCOMPARE(frame->tabWidget()->nameText(0) + "|" + frame->tabWidget()->nameText(1), QString("Door|Version 1"));
    QCOMPARE(QDir(CSVGView::autosaveFolder()).entryList(QDir::Files), QStringList());

    edit(qobject_cast<CSVGView*>(frame->tabWidget()->widget(0)));
    edit(qobject_cast<CSVGView*>(frame->tabWidget()->widget(1)));
    simulateCrash(frame, CSVGView::autosaveFolder());
    CMainFrame restarted;
    QCOMPARE(
        restarted.tabWidget()->nameText(0) + "|" + restarted.tabWidget()->nameText(1), QString("Version 1*|Door*"));
    // Recovered, each still offers the name it is stored under.
    offered.clear();
    Prompt::setHandler([&](Prompt::Kind, const QString&, const QString&) {
        offered << restarted.currentView()->findChild<SaveFile*>()->findChild<QLineEdit*>("fileName")->text();
        return QVariant(int(QDialog::Rejected));
    });
    for (int tab : { 0, 1 }) {
        restarted.tabWidget()->setCurrentIndex(tab);
        restarted.fileSave();
    }
    QCOMPARE(offered, QStringList({ "Version 1", "Door" }));
}

// Saved to the store, a file's tab is that design: it does not read the file
// again under the design's name, and the design opened from the saved
// versions shows that tab. Before, Reload asks about reloading.
void tst_SaveFile::storedFileIsThatDesign()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("long.svg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(drawing("long").toUtf8()) > 0);
    file.close();
    CMainFrame frame;
    QVERIFY(frame.openFileInTab(path));
    CSVGView* view = frame.currentView();
    edit(view);
    Prompt::setHandler([&](Prompt::Kind kind, const QString& title, const QString& text) {
        if (kind != Prompt::Kind::Modal) {
            m_prompts << title + "|" + text;
            return QVariant(int(QMessageBox::Cancel));
        }
        auto* dialog = view->findChild<SaveFile*>();
        dialog->findChild<QLineEdit*>("fileName")->setText("long200");
        dialog->show();
        QTest::mouseClick(dialog->findChild<QPushButton*>("save"), Qt::LeftButton);
        return QVariant(int(QDialog::Accepted));
    });
    QVERIFY(!view->reloadFile());
    QCOMPARE(m_prompts, QStringList("Warning|The drawing has unsaved changes. Reload the file anyway?"));
    frame.fileSave();
    edit(view); // while the upload goes
    QTRY_COMPARE(m_prompts.size(), 2);
    QVERIFY(view->getFilePath().isEmpty());
    // Undone past the stored design, the drawing is the file's again.
    frame.undo();
    frame.undo();
    QCOMPARE(frame.currentTabText(), QString("long200*"));
    frame.tabWidget()->setCurrentIndex(0);
    QVERIFY(!view->reloadFile());

    const QString package = Tools().mydecrypt(savedRows("long200").at(0)["turl"].toString().toLatin1());
    frame.sendfiledataImage(package + "?r=2", "long200", QString());
    QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    QCOMPARE(frame.tabWidget()->count(), 3);
    QCOMPARE(frame.currentView(), view);
    QCOMPARE(m_prompts.size(), 2);
}

ZOCUT_TEST_MAIN(tst_SaveFile)
#include "tst_SaveFile.moc"
