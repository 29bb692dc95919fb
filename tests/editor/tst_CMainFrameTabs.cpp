#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGScene.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "DlgCanvas.h"
#include "NumberField.h"
#include "Prompt.h"
#include "RefusedInputs.h"
#include "SimulatedCrash.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

// The window's tabs as a person meets them: the documents an earlier run
// left behind, new and opened documents, closing, and what the toolbars allow.
class tst_CMainFrameTabs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void recovery_data();
    void recovery();
    void newFileNumbering();
    void openAndDrop();
    void refusedFiles_data() { addRefusedInputRows(); }
    void refusedFiles();
    void refusedDesigns_data() { addRefusedInputRows(); }
    void refusedDesigns();
    void openedFileIsAutosaved();
    void closing_data();
    void closing();
    void closeQuestion_data();
    void closeQuestion();
    void unsavedDrawingsOutliveAQuit();
    void undoneChangeIsNotRecovered_data();
    void undoneChangeIsNotRecovered();
    void textsAfterLanguageChange();
    void actionStates();
    void unsavedMarkOutlivesAutosave();
    void closeAllAsksOnce_data();
    void closeAllAsksOnce();
    void aDesignOpensInOneTab();
    void namesShowAsWritten();
    void onePageForEveryTab_data();
    void onePageForEveryTab();

private:
    QStringList tabTexts(CMainFrame& frame) const;
    // Relative paths, those set aside included.
    QStringList autosaveFiles() const;
    void writeAutosave(const QString& name, const QByteArray& text) const;
    QString svgFile(const QString& name) const;
    QString writeFile(const QString& name, const QByteArray& bytes) const;

    QStringList m_prompts;
    int m_answer = 0;
    QTemporaryDir m_files;
};

void tst_CMainFrameTabs::init()
{
    QDir(CSVGView::autosaveFolder()).removeRecursively();
    m_prompts.clear();
    m_answer = 0;
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + "|" + text;
        return QVariant(m_answer);
    });
}

void tst_CMainFrameTabs::cleanup()
{
    Prompt::setHandler(nullptr);
}

QStringList tst_CMainFrameTabs::tabTexts(CMainFrame& frame) const
{
    QStringList texts;
    for (int i = 0; i < frame.tabWidget()->count(); ++i)
        texts << frame.tabWidget()->nameText(i);
    return texts;
}

void tst_CMainFrameTabs::writeAutosave(const QString& name, const QByteArray& text) const
{
    QFile file(QDir(CSVGView::autosaveFolder()).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(BlowfishFileCipher(g_config.getCipherKey()).encrypt(text));
}

QStringList tst_CMainFrameTabs::autosaveFiles() const
{
    const QDir folder(CSVGView::autosaveFolder());
    QStringList files;
    for (QDirIterator it(folder.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << folder.relativeFilePath(it.next());
    files.sort();
    return files;
}

QString tst_CMainFrameTabs::svgFile(const QString& name) const
{
    return writeFile(name, "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"10\" height=\"10\"/></svg>");
}

QString tst_CMainFrameTabs::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

namespace {
// As a person drops: the drop follows the drag's entry.
void dropOn(QWidget* widget, QMimeData* data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
}

void tick(CSVGView* view)
{
    QTimerEvent event(view->autosaveTimerId());
    QCoreApplication::sendEvent(view, &event);
}

// A piece pasted in: a change that is not saved.
void edit(CSVGView* view)
{
    view->getDocument()->pasteSvgText(L"<rect width=\"5\" height=\"5\"/>");
    view->repaint();
}
} // namespace

void tst_CMainFrameTabs::recovery_data()
{
    QTest::addColumn<QStringList>("files"); // "name=content"
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("left"); // files left once the window is gone
    QTest::addColumn<int>("warnings"); // besides the question
    const QString svg = "<svg/>";
    const QString junk = "junk=PK\x03\x04";
    QTest::newRow("none") << QStringList() << true << QStringList { "New File1", "╋" } << 0 << QStringList() << 0;
    QTest::newRow("two, continue") << QStringList { "a=" + svg, "b=" + svg } << true << QStringList { "b*", "a*", "╋" }
                                   << 0 << QStringList() << 0;
    // The tab bears the drawing's name that the file name keeps.
    QTest::newRow("named") << QStringList { "full%2Esvg=" + svg, "x%3Cb%3E%25n%_2=" + svg } << true
                           << QStringList { "x<b>%n*", "full.svg*", "╋" } << 0 << QStringList() << 0;
    // Declined copies go; the next new document takes the freed name.
    QTest::newRow("cancel") << QStringList { "New File1=" + svg } << false << QStringList { "New File1", "╋" } << 0
                            << QStringList() << 0;
    // What cannot be read is kept aside, neither offered nor discarded.
    QTest::newRow("not ours") << QStringList { "a=" + svg, junk } << true << QStringList { "a*", "╋" } << 0
                              << QStringList { "unreadable/junk" } << 0;
    QTest::newRow("not ours, cancel") << QStringList { "a=" + svg, junk } << false << QStringList { "New File1", "╋" }
                                      << 0 << QStringList { "unreadable/junk" } << 0;
    QTest::newRow("no drawing inside") << QStringList { "a=plain text", "b=<html/>" } << true
                                       << QStringList { "New File1", "╋" } << 0
                                       << QStringList { "unreadable/a", "unreadable/b" } << 0;
    // A copy read only in part opens with a word about it.
    QTest::newRow("damaged") << QStringList { "a=<svg><rect width='5' height='5'/><g>" } << true
                             << QStringList { "a*", "╋" } << 0 << QStringList() << 1;
}

void tst_CMainFrameTabs::recovery()
{
    QFETCH(QStringList, files);
    QFETCH(bool, accept);
    QFETCH(QStringList, tabs);
    QFETCH(int, current);
    QFETCH(QStringList, left);
    QFETCH(int, warnings);
    for (const QString& file : files)
        writeAutosave(file.section('=', 0, 0), file.section('=', 1).toUtf8());
    m_answer = accept ? QMessageBox::Yes : QMessageBox::Cancel;
    const bool offered
        = std::any_of(files.begin(), files.end(), [](const QString& file) { return file.contains("<svg"); });
    {
        CMainFrame frame;
        QCOMPARE(m_prompts.size(), (offered ? 1 : 0) + warnings);
        QCOMPARE(tabTexts(frame), tabs);
        QCOMPARE(frame.tabWidget()->currentIndex(), current);
        QCOMPARE(frame.currentView(), frame.tabWidget()->widget(current));
        // Restored documents stay recoverable while their views live, and
        // closing one asks first: its copy is the only one.
        for (int i = 0; accept && offered && i + 1 < frame.tabWidget()->count(); ++i) {
            auto* view = qobject_cast<CSVGView*>(frame.tabWidget()->widget(i));
            QVERIFY(autosaveFiles().contains(view->getAutosaveName()));
            QVERIFY(view->hasUnsavedChanges());
        }
    }
    QCOMPARE(autosaveFiles(), left);
    CMainFrame again;
    QCOMPARE(m_prompts.size(), (offered ? 1 : 0) + warnings);
}

// New documents are numbered past every open one, wherever it stands;
// autosave names never repeat.
void tst_CMainFrameTabs::newFileNumbering()
{
    CMainFrame frame;
    frame.currentView()->setDisplayName("New File3");
    frame.fileNew();
    QCOMPARE(frame.currentTabText(), QString("New File4"));
    frame.openFileInTab(svgFile("part.svg"));
    frame.fileNew();
    frame.fileNew();
    QCOMPARE(tabTexts(frame), (QStringList { "New File3", "New File4", "part.svg", "New File5", "New File6", "╋" }));
    QSet<QString> names;
    for (int i : { 0, 1, 3, 4 })
        names << qobject_cast<CSVGView*>(frame.tabWidget()->widget(i))->getAutosaveName();
    QCOMPARE(names.size(), 4);
}

void tst_CMainFrameTabs::openAndDrop()
{
    CMainFrame frame;
    const QString part = svgFile("PART.SVG");
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(part), QUrl("http://127.0.0.1/x.svg"), QUrl::fromLocalFile(part + ".txt") });
    dropOn(&frame, &data);
    frame.openFileInTab(part);
    QCOMPARE(tabTexts(frame), (QStringList { "New File1", "PART.SVG", "╋" }));
    QCOMPARE(frame.currentView()->getFilePath(), part);
    QCOMPARE(frame.currentView()->getAutosaveName(), QString("PART%2ESVG"));
}

// No tab and a message naming the file and the reason; a damaged file
// opens as far as it was read, once.
void tst_CMainFrameTabs::refusedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(bool, damaged);
    CMainFrame frame;
    const QString path = writeFile("part.svg", bytes);
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(path) });
    dropOn(&frame, &data);
    QCOMPARE(frame.openFileInTab(path), damaged);
    const QStringList tabs = damaged ? QStringList { "New File1", "part.svg", "╋" } : QStringList { "New File1", "╋" };
    QCOMPARE(tabTexts(frame), tabs);
    QCOMPARE(m_prompts.size(), damaged ? 1 : 2);
    QVERIFY2(
        m_prompts.first().contains("part.svg") && m_prompts.first().contains(reason), qPrintable(m_prompts.first()));
    QCOMPARE(frame.currentView()->contentBoundingRect(), damaged ? QRectF(1, 1, 5, 5) : QRectF());
}

// A design from the store or a share code is refused like a file: no tab,
// and the reason told.
void tst_CMainFrameTabs::refusedDesigns()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(bool, damaged);
    CMainFrame frame;
    frame.currentView()->getDocument()->parseSvgText(L"<svg><rect width=\"5\" height=\"5\"/></svg>", false, false);
    QCOMPARE(frame.openDesignData(bytes.toBase64(), "door"), damaged);
    const QStringList tabs = damaged ? QStringList { "New File1", "door", "╋" } : QStringList { "New File1", "╋" };
    QCOMPARE(tabTexts(frame), tabs);
    QCOMPARE(m_prompts.size(), 1);
    QVERIFY2(m_prompts.first().contains(reason), qPrintable(m_prompts.first()));
}

// A file's drawing, edited, is kept like a new one's and offered at the
// next start under the file's name.
void tst_CMainFrameTabs::openedFileIsAutosaved()
{
    m_answer = QMessageBox::Yes;
    CMainFrame frame;
    QVERIFY(frame.openFileInTab(svgFile("door.svg")));
    CSVGView* view = frame.currentView();
    QVERIFY(!view->hasUnsavedChanges());
    edit(view);
    tick(view);
    QCOMPARE(autosaveFiles(), QStringList("door%2Esvg"));
    CMainFrame restarted;
    QCOMPARE(tabTexts(restarted), (QStringList { "door.svg*", "╋" }));
    QCOMPARE(restarted.currentView()->contentBoundingRect(), view->contentBoundingRect());
}

void tst_CMainFrameTabs::closing_data()
{
    QTest::addColumn<int>("documents");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("closed");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("nesting"); // the closed tab's online nesting job runs, and closing is refused
    const QStringList three { "New File1", "New File2", "New File3", "╋" };
    QTest::newRow("only tab") << 1 << 0 << 0 << QStringList { "New File1", "╋" } << 0 << false;
    QTest::newRow("background tab") << 3 << 2 << 0 << QStringList { "New File2", "New File3", "╋" } << 1 << false;
    QTest::newRow("last tab") << 3 << 2 << 2 << QStringList { "New File1", "New File2", "╋" } << 1 << false;
    QTest::newRow("new-file tab") << 1 << 0 << 1 << QStringList { "New File1", "╋" } << 0 << false;
    QTest::newRow("last tab, nesting") << 3 << 2 << 2 << three << 2 << true;
}

// After any close the current view is the one the tab widget shows.
void tst_CMainFrameTabs::closing()
{
    QFETCH(int, documents);
    QFETCH(int, current);
    QFETCH(int, closed);
    QFETCH(QStringList, tabs);
    QFETCH(int, shown);
    QFETCH(bool, nesting);
    m_answer = QMessageBox::Cancel;
    CMainFrame frame;
    for (int i = 1; i < documents; ++i)
        frame.fileNew();
    frame.tabWidget()->setCurrentIndex(current);
    QPointer<QWidget> gone = frame.tabWidget()->widget(closed);
    if (nesting)
        frame.currentView()->getDocument()->setNestingJobId("job-1");
    frame.tabClose(closed);
    QCOMPARE(tabTexts(frame), tabs);
    QCOMPARE(frame.tabWidget()->currentIndex(), shown);
    QCOMPARE(frame.currentView(), frame.tabWidget()->currentWidget());
    QCOMPARE(gone.isNull(), closed < documents && !nesting);
    // The window asks the same question before it closes.
    QCloseEvent close;
    QApplication::sendEvent(&frame, &close);
    QCOMPARE(close.isAccepted(), !nesting);
    QCOMPARE(m_prompts.size(), nesting ? 2 : 0);
    frame.tabWidget()->setCurrentIndex(0);
    QCOMPARE(frame.currentView(), frame.tabWidget()->widget(0));
}

void tst_CMainFrameTabs::closeQuestion_data()
{
    QTest::addColumn<int>("documents");
    QTest::addColumn<int>("modified"); // the first ones
    QTest::addColumn<bool>("window"); // the window closes, else the last tab
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("modified tab, cancel") << 2 << 2 << false << int(QMessageBox::Cancel) << false;
    QTest::newRow("modified tab, continue") << 2 << 2 << false << int(QMessageBox::Yes) << true;
    QTest::newRow("unmodified tab") << 2 << 1 << false << int(QMessageBox::Cancel) << true;
    QTest::newRow("window, two modified, cancel") << 3 << 2 << true << int(QMessageBox::Cancel) << false;
    QTest::newRow("window, two modified, continue") << 3 << 2 << true << int(QMessageBox::Yes) << true;
    QTest::newRow("window, none modified") << 2 << 0 << true << int(QMessageBox::Cancel) << true;
}

// One question, for the tab or for all of the window's; Cancel keeps the
// tabs and their autosave files.
void tst_CMainFrameTabs::closeQuestion()
{
    QFETCH(int, documents);
    QFETCH(int, modified);
    QFETCH(bool, window);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    m_answer = answer;
    CMainFrame frame;
    for (int i = 1; i < documents; ++i)
        frame.fileNew();
    for (int i = 0; i < modified; ++i) {
        auto* view = qobject_cast<CSVGView*>(frame.tabWidget()->widget(i));
        edit(view);
        tick(view);
    }
    const QStringList saved = autosaveFiles();
    QCOMPARE(saved.size(), modified);
    const QStringList tabs = tabTexts(frame);
    const bool asked = window ? modified > 0 : modified == documents;
    if (window) {
        QCloseEvent close;
        QApplication::sendEvent(&frame, &close);
        QCOMPARE(close.isAccepted(), closed);
    } else {
        frame.tabClose(documents - 1);
        QCOMPARE(tabTexts(frame).size(), tabs.size() - (closed ? 1 : 0));
    }
    QCOMPARE(m_prompts.size(), asked ? 1 : 0);
    if (asked)
        QVERIFY(
            m_prompts.first().contains(modified > 1 && window ? "2 drawings have unsaved changes" : "unsaved changes"));
    if (!closed) {
        QCOMPARE(tabTexts(frame), tabs);
        QCOMPARE(autosaveFiles(), saved);
    } else if (!window) {
        QCOMPARE(autosaveFiles().size(), saved.size() - (modified == documents ? 1 : 0));
    }
}

// The pages end the program without asking after a password change: the
// unsaved drawing is offered at the next start, the unchanged one is not.
void tst_CMainFrameTabs::unsavedDrawingsOutliveAQuit()
{
    m_answer = QMessageBox::Yes;
    QRectF drawn;
    {
        CMainFrame frame;
        frame.fileNew();
        CSVGView* view = frame.currentView();
        edit(view);
        drawn = view->contentBoundingRect();
        frame.keepUnsavedDrawings();
    }
    QCOMPARE(autosaveFiles(), QStringList("New File2"));
    CMainFrame restarted;
    QCOMPARE(m_prompts.size(), 1);
    QCOMPARE(tabTexts(restarted), (QStringList { "New File2*", "╋" }));
    QCOMPARE(restarted.currentView()->contentBoundingRect(), drawn);
}

void tst_CMainFrameTabs::undoneChangeIsNotRecovered_data()
{
    QTest::addColumn<int>("nudges"); // one more than are undone
    QTest::newRow("back at the saved state") << 1;
    QTest::newRow("one of two undone") << 2;
}

// Saved, nudged, the copy written, the last nudge undone, killed before the
// next tick: the next start offers only what the drawing still held.
void tst_CMainFrameTabs::undoneChangeIsNotRecovered()
{
    QFETCH(int, nudges);
    m_answer = QMessageBox::Yes;
    auto frame = std::make_unique<CMainFrame>();
    QVERIFY(frame->openFileInTab(svgFile("part.svg")));
    CSVGView* view = frame->currentView();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QRectF held = view->contentBoundingRect();
    for (int i = 0; i < nudges; ++i) {
        held = view->contentBoundingRect();
        QTest::keyClick(view, Qt::Key_Right);
    }
    tick(view);
    QCOMPARE(autosaveFiles(), QStringList("part%2Esvg"));
    frame->undo();
    QCOMPARE(view->contentBoundingRect(), held);
    QCOMPARE(frame->currentTabText(), nudges == 1 ? QString("part.svg") : QString("part.svg*"));
    simulateCrash(frame, CSVGView::autosaveFolder());
    CMainFrame restarted;
    QCOMPARE(m_prompts.size(), nudges - 1);
    QCOMPARE(restarted.currentView()->contentBoundingRect(), nudges == 1 ? QRectF() : held);
}

void tst_CMainFrameTabs::textsAfterLanguageChange()
{
    CMainFrame frame;
    QCOMPARE(frame.action(CMainFrame::SupperNesting)->text(), QString("Supper Nesting"));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&frame, &change);
    QCOMPARE(frame.action(CMainFrame::SupperNesting)->text(), QString("Nesting"));
    QCOMPARE(frame.action(CMainFrame::AlignLeftTop)->text(), QString("Left Top"));
}

// No document: nothing to edit. A tear line: only cutting, saving, the
// tear-line toggle and Undo on the editing toolbars.
void tst_CMainFrameTabs::actionStates()
{
    CMainFrame frame;
    frame.tabcurrentChanged(-1);
    for (auto action : { CMainFrame::Save, CMainFrame::Cutting, CMainFrame::Rectangle, CMainFrame::Copy })
        QVERIFY(!frame.action(action)->isEnabled());

    frame.tabcurrentChanged(0);
    CSVGDocument* document = frame.currentView()->getDocument();
    document->newDocument();
    appendShape(document->getOwnerSvg(), "path", "d=M0 0 L10 0 L10 10 Z|tear_line=true");
    frame.updateActionStates();
    for (auto action : { CMainFrame::Save, CMainFrame::Cutting, CMainFrame::SeparationLine, CMainFrame::Undo })
        QVERIFY(frame.action(action)->isEnabled());
    for (auto action :
        { CMainFrame::Rectangle, CMainFrame::Copy, CMainFrame::DeleteAction, CMainFrame::Pen, CMainFrame::Redo })
        QVERIFY(!frame.action(action)->isEnabled());
    QVERIFY(frame.action(CMainFrame::SeparationLine)->isChecked());
    QVERIFY(frame.action(CMainFrame::Paste)->isEnabled());
}

// The autosave tick clears the document's modified flag without saving the
// file: the tab keeps its mark until a save.
void tst_CMainFrameTabs::unsavedMarkOutlivesAutosave()
{
    CMainFrame frame;
    frame.openFileInTab(svgFile("part.svg"));
    CSVGView* view = frame.currentView();
    edit(view);
    tick(view);
    QVERIFY(!view->getDocument()->isModified());
    frame.updateActionStates();
    QCOMPARE(frame.currentTabText(), QString("part.svg*"));
    view->setSaved();
    frame.updateActionStates();
    QCOMPARE(frame.currentTabText(), QString("part.svg"));
}

void tst_CMainFrameTabs::closeAllAsksOnce_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("cancel") << int(QMessageBox::Cancel);
    QTest::newRow("continue") << int(QMessageBox::Yes);
}

// New drawings, a file and a design named with markup and path characters,
// each changed: every tab shows its name as typed and its "*", and closing
// all of them asks once, as the window does.
void tst_CMainFrameTabs::closeAllAsksOnce()
{
    QFETCH(int, answer);
    const QString name = "../../etc/<b>x</b>%n";
    CMainFrame frame;
    frame.fileNew();
    frame.fileNew();
    frame.openFileInTab(svgFile("part.svg"));
    QVERIFY(frame.openDesignData(QByteArray("<svg><rect width='5' height='5'/></svg>").toBase64(), name));
    for (int i = 0; i < 5; ++i)
        edit(qobject_cast<CSVGView*>(frame.tabWidget()->widget(i)));
    const QStringList tabs { "New File1*", "New File2*", "New File3*", "part.svg*", name + "*", "╋" };
    QCOMPARE(tabTexts(frame), tabs);
    QTextDocument toolTip;
    toolTip.setHtml(frame.tabWidget()->tabToolTip(4));
    QCOMPARE(toolTip.toPlainText(), name);
    m_answer = answer;
    QAction all;
    all.setData(2);
    frame.OnCloseAllTab(&all);
    QCOMPARE(m_prompts, QStringList("Warning|5 drawings have unsaved changes. Close them anyway?"));
    QCOMPARE(tabTexts(frame), answer == QMessageBox::Cancel ? tabs : QStringList({ "New File1", "╋" }));
}

// Opening a design that is open shows its tab; another design of the same
// name gets a name of its own, which its recovery copy keeps.
void tst_CMainFrameTabs::aDesignOpensInOneTab()
{
    m_answer = QMessageBox::Yes;
    const QByteArray door = QByteArray("<svg><rect width='5' height='5'/></svg>").toBase64();
    auto frame = std::make_unique<CMainFrame>();
    // Each fetch from the pages carries a cache query of its own: saved
    // versions "r", the data centre "timestamp".
    QVERIFY(frame->openDesignData(door, "New File4", "http://127.0.0.1/a.pdb?r=1"));
    QVERIFY(frame->openDesignData(door, "New File4", "http://127.0.0.1/b.pdb?timestamp=1"));
    QVERIFY(frame->openDesignData(door, "New File4", "http://127.0.0.1/b.pdb?timestamp=2"));
    QCOMPARE(frame->tabWidget()->currentIndex(), 1);
    QVERIFY(frame->openDesignData(door, "New File4", "http://127.0.0.1/a.pdb?r=2"));
    QCOMPARE(tabTexts(*frame), (QStringList { "New File4", "New File4 (2)", "╋" }));
    QCOMPARE(frame->tabWidget()->currentIndex(), 0);
    for (int i = 0; i < 2; ++i) {
        auto* view = qobject_cast<CSVGView*>(frame->tabWidget()->widget(i));
        edit(view);
        tick(view);
    }
    simulateCrash(frame, CSVGView::autosaveFolder());
    {
        // Recovered, a design still shows its tab; its copy goes whole.
        CMainFrame restarted;
        QVERIFY(restarted.openDesignData(door, "New File4", "http://127.0.0.1/a.pdb?r=3"));
        QCOMPARE(tabTexts(restarted), (QStringList { "New File4 (2)*", "New File4*", "╋" }));
        QCOMPARE(restarted.tabWidget()->currentIndex(), 1);
    }
    QCOMPARE(QDir(CSVGView::autosaveFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

namespace {
// Answers the next message box that runs for real, once it shows.
void readNextBox(QLabel* copy)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, copy] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
        copy->setTextFormat(label->textFormat());
        copy->setText(label->text());
        box->accept();
        poll->deleteLater();
    });
    poll->start(10);
}

QStringList menuTexts(CMainFrame& frame, int tab)
{
    QTabBar* bar = frame.tabWidget()->tabBar();
    frame.OncustomContextMenuRequested(bar->tabRect(tab).center());
    QStringList texts;
    for (QMenu* menu : frame.findChildren<QMenu*>()) {
        if (!menu->isVisible())
            continue;
        for (const QAction* action : menu->actions())
            texts << action->text();
        menu->close();
    }
    texts.removeAll(QString());
    return texts;
}
} // namespace

// A name shows as written on its tab and in a message: "&" makes no
// accelerator, markup no formatting. A design is no file: its tab's menu
// offers no file commands, which a file's tab does.
void tst_CMainFrameTabs::namesShowAsWritten()
{
    const QString name = "<b>bold</b><i>x</i> &amp; <img src=x> ../a&b";
    const QByteArray damaged = "<svg><rect width='5' height='5'/><rect x='9' wid";
    Prompt::setHandler(nullptr);
    CMainFrame frame;
    frame.show();
    QLabel message;
    readNextBox(&message);
    QVERIFY(frame.openDesignData(damaged.toBase64(), name));
    QCOMPARE(message.textFormat(), Qt::PlainText);
    QVERIFY2(message.text().startsWith(name + " is opened as far"), qPrintable(message.text()));
    QVERIFY(frame.openFileInTab(svgFile("a&b.svg")));
    for (int tab : { 0, 1 }) {
        QCOMPARE(QKeySequence::mnemonic(frame.tabWidget()->tabBar()->tabText(tab)), QKeySequence());
        QTextDocument toolTip;
        toolTip.setHtml(frame.tabWidget()->tabToolTip(tab));
        QVERIFY(toolTip.toPlainText().contains(tab == 0 ? name : "a&b.svg"));
    }
    QCOMPARE(tabTexts(frame), (QStringList { name, "a&b.svg", "╋" }));
    const QStringList close { "Close Document", "Close All Document", "Close Right Document" };
    QCOMPARE(menuTexts(frame, 0), close);
    QCOMPARE(
        menuTexts(frame, 1), close + QStringList({ "Open directory", "Open with default program", "Reload file" }));
}

// A piece at x 1500 to 1700 mm in the first tab, the page set in a second:
// the Canvas dialog opens with the page in use, and in both tabs the page
// drawn is the one the cut checks, with the piece outside it or not; OK
// alone then changes nothing.
void tst_CMainFrameTabs::onePageForEveryTab_data()
{
    QTest::addColumn<QSize>("page");
    QTest::addColumn<int>("outside");
    QTest::newRow("the piece outside the new page") << QSize(1000, 600) << 1;
    QTest::newRow("the piece inside the new page") << QSize(3000, 600) << 0;
}

void tst_CMainFrameTabs::onePageForEveryTab()
{
    QFETCH(QSize, page);
    CMainFrame frame;
    CSVGView* first = frame.currentView();
    first->getDocument()->parseSvgText(
        L"<svg xmlns=\"http://www.w3.org/2000/svg\"><rect x=\"1500\" y=\"100\" width=\"200\" height=\"100\"/></svg>",
        false, false);
    frame.fileNew();
    CSVGView* second = frame.currentView();
    QSize shown;
    QSize typed = page;
    Prompt::setHandler([&](Prompt::Kind, const QString&, const QString&) {
        auto* dialog = frame.findChild<DlgCanvas*>();
        shown = dialog->getCanvasSize();
        if (typed.isValid()) {
            dialog->findChild<NumberField*>("CanvasWidth")->setText(QString::number(typed.width()));
            dialog->findChild<NumberField*>("CanvasHeight")->setText(QString::number(typed.height()));
        }
        return QVariant(1);
    });
    for (int round = 0; round < 2; ++round) {
        frame.canvasSettings();
        QCOMPARE(shown, round == 0 ? QSize(15000, 1520) : page);
        for (CSVGView* view : { first, second }) {
            QCOMPARE(view->getScene()->getPageRect(), QRectF(QPointF(), page));
            QCOMPARE(view->getDocument()->getMappedPageRect().toQRectF(), QRectF(QPointF(), page));
        }
        QTEST(first->getDocument()->piecesOutsidePage().size(), "outside");
        typed = QSize();
    }
}

ZOCUT_TEST_MAIN(tst_CMainFrameTabs)
#include "tst_CMainFrameTabs.moc"
