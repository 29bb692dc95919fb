#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "Prompt.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimerEvent>

#include <memory>

#include <signal.h>

// The autosave file as recovery meets it: enciphered, whole after a crash at
// any moment, and never outside its folder.
namespace {
QByteArray drawing(int pieces, int offset = 0)
{
    QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"2000\" height=\"2000\">";
    for (int i = 0; i < pieces; ++i)
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"5\" height=\"5\"/>")
                   .arg(i % 100 + offset)
                   .arg(i / 100)
                   .toUtf8();
    return svg + "</svg>";
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray encipher(const QByteArray& bytes)
{
    return BlowfishFileCipher(g_config.getCipherKey()).encrypt(bytes);
}

QByteArray svgText(CSVGView& view)
{
    return QString::fromStdWString(view.getDocument()->toSvgText()).toUtf8();
}

void tick(CSVGView& view)
{
    QTimerEvent event(view.autosaveTimerId());
    QCoreApplication::sendEvent(&view, &event);
}

// The drawing's pieces pasted in: a change that is not saved.
void edit(CSVGView& view, const QByteArray& svg)
{
    view.getDocument()->pasteSvgText(QString::fromUtf8(svg).toStdWString());
}

QString autosaveFile(const QString& name)
{
    return QDir(CSVGView::autosaveFolder()).filePath(name);
}

// Child: two views of one name write their drawings alternately until the
// child is killed.
int runWriter()
{
    const QDir out(qEnvironmentVariable("ZOCUT_AUTOSAVE_OUT"));
    CSVGView views[2] = { CSVGView(nullptr), CSVGView(nullptr) };
    for (int i = 0; i < 2; ++i) {
        views[i].setAutosaveName(QStringLiteral("crash"));
        views[i].loadData(drawing(3000 - 500 * i, 7 * i));
        writeAll(out.filePath(QString::number(i)), svgText(views[i]));
        views[i].writeAutosave();
    }
    fputs("ready\n", stdout);
    fflush(stdout);
    for (int i = 0;; ++i)
        views[i % 2].writeAutosave();
}

// Child: a person edits a new document; the tick comes, then the program is
// killed.
int runEditor()
{
    CMainFrame frame;
    CSVGView* view = frame.currentView();
    edit(*view, drawing(40));
    tick(*view);
    writeAll(qEnvironmentVariable("ZOCUT_AUTOSAVE_OUT"), svgText(*view));
    fputs("ticked\n", stdout);
    fflush(stdout);
    return QCoreApplication::exec();
}

// Child: the next start, answering the recovery question.
int runRestart(bool accept)
{
    Prompt::setHandler([accept](Prompt::Kind, const QString&, const QString&) {
        return QVariant(accept ? QMessageBox::Yes : QMessageBox::Cancel);
    });
    CMainFrame frame;
    CSVGView* view = frame.currentView();
    if (accept) {
        writeAll(qEnvironmentVariable("ZOCUT_AUTOSAVE_OUT"), svgText(*view));
        return 0;
    }
    frame.fileNew();
    edit(*frame.currentView(), drawing(5));
    tick(*frame.currentView());
    tick(*frame.currentView());
    return 0;
}
} // namespace

class tst_CSVGViewAutosave : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void writesOnceWhileModified();
    void namesStayInsideTheFolder_data();
    void namesStayInsideTheFolder();
    void failedWriteIsRetried();
    void copyFollowsTheName();
    void killedWriterLeavesWholeCopy();
    void recoveryAfterKill();

private:
    QProcess* startChild(const QString& mode, const QString& out);
};

void tst_CSVGViewAutosave::init()
{
    QDir(CSVGView::autosaveFolder()).removeRecursively();
}

QProcess* tst_CSVGViewAutosave::startChild(const QString& mode, const QString& out)
{
    auto* child = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZOCUT_AUTOSAVE_OUT"), out);
    child->setProcessEnvironment(environment);
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->start(QCoreApplication::applicationFilePath(), { QStringLiteral("--child"), mode });
    return child;
}

void tst_CSVGViewAutosave::writesOnceWhileModified()
{
    const QString path = autosaveFile("New File1");
    {
        CSVGView view(nullptr);
        view.setAutosaveName("New File1");
        view.loadData(drawing(3));
        view.getDocument()->setModified(false);
        tick(view);
        QVERIFY(!QFile::exists(path));

        edit(view, drawing(1, 50));
        tick(view);
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes, encipher(svgText(view)));
        QVERIFY(!bytes.contains("<svg"));
        QCOMPARE(BlowfishFileCipher(g_config.getCipherKey()).decrypt(bytes), svgText(view));

        QFile::remove(path);
        tick(view);
        QVERIFY(!QFile::exists(path));
        edit(view, drawing(1, 60));
        tick(view);
        QVERIFY(QFile::exists(path));
        // Back at the drawing as it was saved, nothing is left to recover.
        view.getDocument()->undo();
        view.getDocument()->undo();
        tick(view);
        QVERIFY(!QFile::exists(path));
    }
    QVERIFY(!QFile::exists(path));

    CSVGView opened(nullptr);
    edit(opened, drawing(2));
    tick(opened);
    QVERIFY(QDir(CSVGView::autosaveFolder()).isEmpty());
    QVERIFY(!opened.getDocument()->isModified());
}

void tst_CSVGViewAutosave::namesStayInsideTheFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("directWrites"); // by a view given the name as it is
    QTest::newRow("parent") << "../victim" << false;
    QTest::newRow("folder") << "a/b" << false;
    QTest::newRow("dots") << ".." << false;
    QTest::newRow("separator only") << "/" << false;
    QTest::newRow("control characters") << "a\nb\x01" << true;
    QTest::newRow("longer than a file name") << QString(300, QChar(0x4e2d)) << false;
}

// Names come from the server. Two designs of one name in the window keep
// two files inside the folder; nothing is written or removed outside it.
void tst_CSVGViewAutosave::namesStayInsideTheFolder()
{
    QFETCH(QString, name);
    QFETCH(bool, directWrites);
    const QString victim = QDir(CSVGView::autosaveFolder()).absoluteFilePath("../victim");
    writeAll(victim, "keep");
    {
        CMainFrame frame;
        QVERIFY(frame.openDesignData(drawing(2).toBase64(), name));
        QVERIFY(frame.openDesignData(drawing(2).toBase64(), name));
        QSet<QString> names;
        for (int i = 0; i < frame.tabWidget()->count(); ++i) {
            if (auto* view = qobject_cast<CSVGView*>(frame.tabWidget()->widget(i))) {
                edit(*view, drawing(1));
                tick(*view);
                names << view->getAutosaveName();
            }
        }
        const QStringList files = QDir(CSVGView::autosaveFolder()).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(files.begin(), files.end()), names);
        QCOMPARE(names.size(), 2);
        for (const QString& file : files)
            QVERIFY(file.toUtf8().size() <= 255 && !file.contains('.'));

        CSVGView direct(nullptr);
        direct.setAutosaveName(name);
        edit(direct, drawing(1));
        QCOMPARE(direct.writeAutosave(), directWrites);
    }
    QCOMPARE(readAll(victim), QByteArray("keep"));
    QFile::remove(victim);
}

// A folder that cannot be written keeps the document modified; the next
// tick after the folder is fixed writes.
void tst_CSVGViewAutosave::failedWriteIsRetried()
{
    const QString folder = CSVGView::autosaveFolder();
    QDir(folder).removeRecursively();
    writeAll(folder, "a file where the folder belongs");
    CSVGView view(nullptr);
    view.setAutosaveName("New File1");
    edit(view, drawing(2));
    tick(view);
    QVERIFY(view.getDocument()->isModified());
    QFile::remove(folder);
    tick(view);
    QVERIFY(!view.getDocument()->isModified());
    QCOMPARE(readAll(autosaveFile("New File1")), encipher(svgText(view)));
}

// One copy under the drawing's name only: a design opened into a tab
// emptied after its copy was written leaves none (it is saved), and a copy that
// cannot be renamed leaves none under the old name but the unsaved work
// under the new one.
void tst_CSVGViewAutosave::copyFollowsTheName()
{
    {
        CMainFrame frame;
        CSVGView* view = frame.currentView();
        edit(*view, drawing(2));
        tick(*view);
        QVERIFY(QFile::exists(autosaveFile("New File1")));
        // Emptied, the new drawing is back at its first state: its copy
        // goes at once, and the design opens into it.
        view->getDocument()->selectAll();
        view->OnDel();
        QVERIFY(!QFile::exists(autosaveFile("New File1")));
        QVERIFY(frame.openDesignData(drawing(3).toBase64(), "Door", "http://127.0.0.1/door.pdb"));
        QCOMPARE(frame.currentView(), view);
        QCOMPARE(QDir(CSVGView::autosaveFolder()).entryList(QDir::Files), QStringList());
    }
    CSVGView view(nullptr);
    view.setAutosaveName("a");
    edit(view, drawing(2));
    tick(view);
    writeAll(autosaveFile("b"), "taken");
    view.renameAutosave("b");
    QCOMPARE(QDir(CSVGView::autosaveFolder()).entryList(QDir::Files), QStringList("b"));
    QCOMPARE(readAll(autosaveFile("b")), encipher(svgText(view)));
}

void tst_CSVGViewAutosave::killedWriterLeavesWholeCopy()
{
    QTemporaryDir out;
    // What a writer killed in an earlier run left behind.
    writeAll(autosaveFile("crash.Ab12Cd"), encipher(drawing(1).left(20)));
    for (int round = 0; round < 50; ++round) {
        QProcess* writer = startChild("writer", out.path());
        QVERIFY(writer->waitForReadyRead(60000));
        QThread::msleep(QRandomGenerator::global()->bounded(40));
        ::kill(static_cast<pid_t>(writer->processId()), SIGKILL);
        QVERIFY(writer->waitForFinished(10000));
        delete writer;

        const QFileInfoList offered = CSVGView::recoverableAutosaveFiles();
        QCOMPARE(offered.size(), 1);
        const QByteArray text = BlowfishFileCipher(g_config.getCipherKey()).decrypt(readAll(offered[0].filePath()));
        QVERIFY2(text == readAll(out.filePath("0")) || text == readAll(out.filePath("1")),
            qPrintable(QString::number(round)));
    }
}

// A real program is killed after a tick; at the next start Cancel discards
// the copy (it is not offered again), Continue restores the edit.
void tst_CSVGViewAutosave::recoveryAfterKill()
{
    QTemporaryDir out;
    for (const char* answer : { "cancel", "continue" }) {
        QProcess* editor = startChild("editor", out.filePath("edit"));
        QVERIFY(editor->waitForReadyRead(60000));
        ::kill(static_cast<pid_t>(editor->processId()), SIGKILL);
        QVERIFY(editor->waitForFinished(10000));
        QVERIFY(!readAll(autosaveFile("New File1")).isEmpty());
        if (QByteArray(answer) == "continue")
            break;
        QProcess* cancel = startChild(answer, QString());
        QVERIFY(cancel->waitForFinished(60000));
        QCOMPARE(cancel->exitCode(), 0);
        QVERIFY(CSVGView::recoverableAutosaveFiles().isEmpty());
    }

    QProcess* restart = startChild("continue", out.filePath("restored"));
    QVERIFY(restart->waitForFinished(60000));
    QCOMPARE(restart->exitCode(), 0);
    QCOMPARE(readAll(out.filePath("restored")), readAll(out.filePath("edit")));
}

int main(int argc, char** argv)
{
    const bool child = argc == 3 && QByteArray(argv[1]) == "--child";
    std::unique_ptr<TestEnvironment> environment(child ? nullptr : new TestEnvironment);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
    QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    if (child) {
        const QByteArray mode = argv[2];
        if (mode == "writer")
            return runWriter();
        if (mode == "editor")
            return runEditor();
        return runRestart(mode == "continue");
    }
    tst_CSVGViewAutosave test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_CSVGViewAutosave.moc"
