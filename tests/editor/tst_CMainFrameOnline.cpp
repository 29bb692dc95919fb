#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "HttpRequest.h"
#include "OpenMyshare.h"
#include "PdbPackage.h"
#include "Prompt.h"
#include "RefusedInputs.h"
#include "SaveFile.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>

// What the main window sends to the online store and fetches from it: the
// rights of the account, designs saved and shared, imports with their
// report, and the batch packages of a template list.
class tst_CMainFrameOnline : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void rightsSwitchActions_data();
    void rightsSwitchActions();
    void saveFromViewStoresDocument();
    void shareCodeOpensInTab();
    void importIsReportedAfterUpload_data();
    void importIsReportedAfterUpload();
    void importRefusesWhatIsNoDrawing_data() { addRefusedInputRows(); }
    void importRefusesWhatIsNoDrawing();
    void batchFromTemplateList();
    void uploadWithoutFoldersTellsError();
    void emptyTemplateList_data();
    void emptyTemplateList();
    void picturesAndUploadOfChosenFiles();

private:
    QString writeFile(const QString& name, const QByteArray& bytes);

    StandInSession m_session;
    QScopedPointer<QTemporaryDir> m_folder;
    QStringList m_prompts;
    // The answer to the next file dialog; the handler for a modal dialog.
    QVariant m_chosen;
    std::function<int()> m_modal;
};

namespace {
const CMainFrame::Action kRighted[] = { CMainFrame::ImportFile, CMainFrame::ImagingSystem, CMainFrame::VectorEngine,
    CMainFrame::Color, CMainFrame::Note };

QString drawing(const QString& text)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\" viewBox=\"0 0 200 100\">"
           "<path d=\"M10 10 L190 10 L190 90 Z\"/><text x=\"20\" y=\"50\">"
        + text + "</text></svg>";
}
} // namespace

void tst_CMainFrameOnline::init()
{
    QVERIFY(m_session.isRunning());
    m_session.server().clearCannedReplies();
    m_folder.reset(new QTemporaryDir);
    m_prompts.clear();
    m_chosen.clear();
    m_modal = nullptr;
    QSettings().setValue("token", m_session.token());
    Prompt::setHandler([this](Prompt::Kind kind, const QString& title, const QString& text) {
        if (kind == Prompt::Kind::OpenFile)
            return m_chosen;
        if (kind == Prompt::Kind::Modal)
            return m_modal ? QVariant(m_modal()) : QVariant(QDialog::Rejected);
        m_prompts << title + "|" + text;
        return QVariant();
    });
}

void tst_CMainFrameOnline::cleanup()
{
    Prompt::setHandler(nullptr);
}

QString tst_CMainFrameOnline::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_folder->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// An action shows for any right but 0; a missing right hides it, a reply
// without rights leaves every action as it was.
void tst_CMainFrameOnline::rightsSwitchActions_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QVector<bool>>("shown"); // Import, 3D, Vector, Color, Note
    // "color_auth" is missing.
    QTest::newRow("mixed") << QByteArray(R"({"code":1,"data":{"userinfo":{"report_auth":0,"openimg_auth":1,)"
                                         R"("vector_auth":2,"note_auth":1}}})")
                           << QVector<bool> { false, true, true, false, true };
    QTest::newRow("no data") << QByteArray(R"({"code":1,"data":[]})") << QVector<bool>(5, true);
}

void tst_CMainFrameOnline::rightsSwitchActions()
{
    QFETCH(QByteArray, reply);
    QFETCH(QVector<bool>, shown);
    m_session.server().setCannedReply("/api/user/index", 200, reply);
    CMainFrame frame;
    for (CMainFrame::Action id : kRighted)
        frame.action(id)->setVisible(true);
    const int asked = m_session.server().requestCount("/api/user/index");
    frame.afterLogin();
    QTRY_COMPARE(m_session.server().requestCount("/api/user/index"), asked + 1);
    const auto visible = [&frame] {
        QVector<bool> now;
        for (CMainFrame::Action id : kRighted)
            now << frame.action(id)->isVisible();
        return now;
    };
    QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    QCOMPARE(visible(), shown);
    QVERIFY(m_prompts.isEmpty());
}

// "Save" stores the open document: its package gives back the document's
// very text, and its preview is the 300 by 300 picture.
void tst_CMainFrameOnline::saveFromViewStoresDocument()
{
    CMainFrame frame;
    const QString svg = drawing("引擎盖 & \"hood\"");
    QVERIFY(frame.openDesignData(svg.toUtf8().toBase64(), "hood"));
    CSVGView* view = frame.currentView();
    const QString text = QString::fromStdWString(view->getDocument()->toSvgText());
    m_modal = [view] {
        auto* dialog = view->findChild<SaveFile*>();
        dialog->findChild<QLineEdit*>("fileName")->setText("Hood 引擎盖");
        dialog->saveToApiFile();
        return int(QDialog::Accepted);
    };
    frame.action(CMainFrame::Save)->trigger();
    QTRY_COMPARE(m_prompts, QStringList("Success|Submitted successfully~"));
    const QString url = m_session.server().lastRequest("/api/template/saveNew").field("url");
    const QString image = m_session.server().lastRequest("/api/template/saveNew").field("image");
    QCOMPARE(PdbPackage::read(m_session.server().storedObject("morlandataf", url.mid(1))), text);
    QCOMPARE(QImage::fromData(m_session.server().storedObject("morlandatah", image.mid(1))).size(), QSize(300, 300));
}

void tst_CMainFrameOnline::shareCodeOpensInTab()
{
    CMainFrame frame;
    frame.fileShare();
    OpenMyshare* dialog = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        dialog = dialog ? dialog : qobject_cast<OpenMyshare*>(widget);
    QVERIFY(dialog && dialog->isVisible());
    dialog->findChild<QLineEdit*>("shareCode")->setText("SC001003");
    dialog->findChild<QLineEdit*>("password")->setText("4003");
    QTest::mouseClick(dialog->findChild<QPushButton*>("save"), Qt::LeftButton);
    QTRY_COMPARE(frame.currentTabText(), QString("Version 3"));
    QVERIFY(!frame.currentView()->getScene()->items().isEmpty());
    QVERIFY(m_prompts.isEmpty());
    delete dialog;
}

void tst_CMainFrameOnline::importIsReportedAfterUpload_data()
{
    QTest::addColumn<bool>("refused");
    QTest::newRow("stored") << false;
    QTest::newRow("upload refused") << true;
}

// The file opens at once either way; only a stored file is reported, with
// the address at which the store gives it back.
void tst_CMainFrameOnline::importIsReportedAfterUpload()
{
    QFETCH(bool, refused);
    if (refused)
        m_session.server().setCannedReply("/upload/1/", 403, "{}");
    const QByteArray bytes = drawing("门").toUtf8();
    m_chosen = writeFile("门 & door+1.svg", bytes);
    const int uploads = m_session.server().requestCount("/upload/1/");
    const int reports = m_session.server().requestCount("/api/template/report");
    CMainFrame frame;
    frame.action(CMainFrame::ImportFile)->trigger();
    QCOMPARE(frame.currentTabText(), QString("门 & door+1.svg"));
    QTRY_COMPARE(m_session.server().requestCount("/upload/1/"), uploads + 1);
    if (refused) {
        QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
        QCOMPARE(m_session.server().requestCount("/api/template/report"), reports);
        return;
    }
    QTRY_VERIFY(m_session.server().events().last().startsWith("reported "));
    const QStringList events = m_session.server().events();
    QVERIFY(events.at(events.size() - 2).startsWith("stored morlandatah/uploads/svg/"));
    const QString url = m_session.server().lastRequest("/api/template/report").field("url");
    QCOMPARE(m_session.server().lastRequest("/api/template/report").field("name"), QString("门 & door+1.svg"));
    QByteArray fetched;
    HttpRequest(url).setSuccessHandler([&](const QString& body) { fetched = body.toUtf8(); }).get();
    QTRY_COMPARE(fetched, bytes);
}

// Nothing reaches the store: neither a file that is no drawing nor a
// damaged one, which opens as far as it goes.
void tst_CMainFrameOnline::importRefusesWhatIsNoDrawing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(bool, damaged);
    m_chosen = writeFile("part.svg", bytes);
    const int uploads = m_session.server().requestCount("/upload/1/");
    CMainFrame frame;
    frame.action(CMainFrame::ImportFile)->trigger();
    QCOMPARE(frame.currentTabText(), damaged ? QString("part.svg") : QString("New File1"));
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY2(
        m_prompts.first().contains("part.svg") && m_prompts.first().contains(reason), qPrintable(m_prompts.first()));
    QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    QCOMPARE(m_session.server().requestCount("/upload/1/"), uploads);
}

// A list written on Windows, with a missing drawing, an empty code, a code
// that leaves the folders and an older, longer package; the window's current
// view stays the one the person works in.
void tst_CMainFrameOnline::batchFromTemplateList()
{
    const QString door = drawing("Türen — 车门");
    QVERIFY(!writeFile("svg/door.svg", door.toUtf8()).isEmpty());
    QVERIFY(!writeFile("svg/hood.svg", drawing("hood").toUtf8()).isEmpty());
    QVERIFY(!writeFile("evil.svg", drawing("evil").toUtf8()).isEmpty());
    QVERIFY(!writeFile("pdbpng/door.pdb", QByteArray(100000, 'x')).isEmpty());
    QDir(m_folder->path()).mkpath("pdb");
    QDir(m_folder->path()).mkpath("png");
    m_chosen = writeFile("list.csv",
        "code,type1,type2,brand1,brand2,series1,series2,model1,model2,year1,year2,submodel1,submodel2\r\n"
        "door,c,car,b,奥迪,s,A4L,m,M,2020,2020,sub,前门\r\n"
        "hood\r\n"
        "missing,suv\r\n"
        ",x\r\n"
        "../evil,x\r\n");
    CMainFrame frame;
    CSVGView* current = frame.currentView();
    QSignalSpy generated(&frame, &CMainFrame::newsendtoupload);
    frame.newuploadFiles();
    QCOMPARE(generated.size(), 1);
    const QJsonArray rows = QJsonDocument::fromJson(generated.at(0).at(0).toString().toUtf8()).array();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0)["submodel2"].toString(), QString("前门"));
    QCOMPARE(rows.at(1)["code"].toString(), QString("hood"));
    QCOMPARE(rows.at(2)["type1"].toString(), QString("suv"));
    QCOMPARE(rows.at(2)["submodel2"].toString(), QString(""));

    QFile package(m_folder->filePath("pdbpng/door.pdb"));
    QVERIFY(package.open(QIODevice::ReadOnly));
    const QByteArray bytes = package.readAll();
    QVERIFY(bytes.endsWith('\n'));
    QCOMPARE(PdbPackage::read(bytes), door);
    QVERIFY(!QImage(m_folder->filePath("pdbpng/hood.png")).isNull());
    const QStringList made = QDir(m_folder->filePath("pdbpng")).entryList(QDir::Files);
    QCOMPARE(made, QStringList({ "door.pdb", "door.png", "hood.pdb", "hood.png" }));
    QVERIFY(!QFile::exists(m_folder->filePath("evil.pdb")));

    QSignalSpy told(&frame, &CMainFrame::sendtoupload);
    frame.uploadFiles();
    QStringList statuses;
    for (const QList<QVariant>& signal : told)
        statuses << signal.at(0).toString() + "|" + signal.at(1).toString();
    QCOMPARE(statuses,
        QStringList({ "door.svg|success", "hood.svg|success", "missing.svg,无法生成！|error",
            "../evil.svg,无法生成！|error" }));
    QCOMPARE(QDir(m_folder->filePath("pdb")).entryList(QDir::Files), QStringList({ "door.pdb", "hood.pdb" }));
    QCOMPARE(QDir(m_folder->filePath("png")).entryList(QDir::Files), QStringList({ "door.png", "hood.png" }));
    QCOMPARE(frame.currentView(), current);
    QCOMPARE(frame.tabWidget()->count(), 2);
    QVERIFY(frame.findChildren<QProgressDialog*>().isEmpty());
}

// Nothing is made for the list when its folders are missing, and it is
// told so.
void tst_CMainFrameOnline::uploadWithoutFoldersTellsError()
{
    QVERIFY(!writeFile("svg/door.svg", drawing("door").toUtf8()).isEmpty());
    m_chosen = writeFile("list.csv", "code\ndoor\n");
    CMainFrame frame;
    QSignalSpy told(&frame, &CMainFrame::sendtoupload);
    frame.uploadFiles();
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.at(0), QVariantList({ "door.svg,无法生成！", "error" }));
}

void tst_CMainFrameOnline::emptyTemplateList_data()
{
    QTest::addColumn<QByteArray>("list"); // null: no such file
    QTest::newRow("header only") << QByteArray("code,type1\n");
    QTest::newRow("cannot be read") << QByteArray();
}

void tst_CMainFrameOnline::emptyTemplateList()
{
    QFETCH(QByteArray, list);
    m_chosen = list.isNull() ? m_folder->filePath("none.csv") : writeFile("list.csv", list);
    CMainFrame frame;
    QSignalSpy generated(&frame, &CMainFrame::newsendtoupload);
    frame.newuploadFiles();
    QCOMPARE(generated.value(0).value(0).toString(), QString("[]"));
}

// The pictures of drawings named in a list, and chosen files uploaded as
// they are.
void tst_CMainFrameOnline::picturesAndUploadOfChosenFiles()
{
    const QString first = writeFile("a.svg", drawing("a").toUtf8());
    const QString second = writeFile("b.x.svg", drawing("b").toUtf8());
    CMainFrame frame;
    frame.fileSaveQita(first + ",," + second);
    QVERIFY(!QImage(m_folder->filePath("a.png")).isNull());
    QVERIFY(!QImage(m_folder->filePath("b.x.png")).isNull());

    m_chosen = QStringList { m_folder->filePath("a.png"), writeFile("c.pdb", "abcdefghijQUJD") };
    frame.uploadFilesQiniu();
    QTRY_COMPARE(m_session.server().storedObject("morlandata", "c.pdb"), QByteArray("abcdefghijQUJD"));
    QCOMPARE(QImage::fromData(m_session.server().storedObject("morlandata", "a.png")).isNull(), false);
}

ZOCUT_TEST_MAIN(tst_CMainFrameOnline)
#include "tst_CMainFrameOnline.moc"
