#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "CMainFrame.h"
#include "CSVGView.h"
#include "CTabWidgetEx.h"
#include "Prompt.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QDir>
#include <QMimeData>

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
    void closing_data();
    void closing();
    void textsAfterLanguageChange();
    void actionStates();
    void unsavedMarkOutlivesAutosave();

private:
    QStringList tabTexts(CMainFrame& frame) const;
    QStringList autosaveFiles() const { return QDir(CSVGView::autosaveFolder()).entryList(QDir::Files, QDir::Name); }
    void writeAutosave(const QString& name, const QByteArray& text) const;
    QString svgFile(const QString& name) const;

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
        texts << frame.tabWidget()->tabText(i);
    return texts;
}

void tst_CMainFrameTabs::writeAutosave(const QString& name, const QByteArray& text) const
{
    QFile file(QDir(CSVGView::autosaveFolder()).filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(BlowfishFileCipher(g_config.getCipherKey()).encrypt(text));
}

QString tst_CMainFrameTabs::svgFile(const QString& name) const
{
    const QString path = m_files.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("<svg xmlns=\"http://www.w3.org/2000/svg\"><rect width=\"10\" height=\"10\"/></svg>");
    return path;
}

void tst_CMainFrameTabs::recovery_data()
{
    QTest::addColumn<QStringList>("files"); // "name=content"
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("left"); // files left once the window is gone
    const QString svg = "<svg/>";
    QTest::newRow("none") << QStringList() << true << QStringList { "New File1", "╋" } << 0 << QStringList();
    QTest::newRow("two, continue") << QStringList { "a=" + svg, "b=" + svg } << true << QStringList { "b", "a", "╋" }
                                   << 0 << QStringList();
    // The next new document writes elsewhere than the file kept for later.
    QTest::newRow("cancel") << QStringList { "New File1=" + svg } << false << QStringList { "New File1", "╋" } << 0
                            << QStringList { "New File1" };
    QTest::newRow("not ours") << QStringList { "a=" + svg, "junk=PK\x03\x04" } << true << QStringList { "a", "╋" } << 0
                              << QStringList { "junk" };
}

void tst_CMainFrameTabs::recovery()
{
    QFETCH(QStringList, files);
    QFETCH(bool, accept);
    QFETCH(QStringList, tabs);
    QFETCH(int, current);
    QFETCH(QStringList, left);
    for (const QString& file : files)
        writeAutosave(file.section('=', 0, 0), file.section('=', 1).toUtf8());
    m_answer = accept ? QMessageBox::Yes : QMessageBox::Cancel;
    {
        CMainFrame frame;
        QCOMPARE(m_prompts.size(), files.isEmpty() ? 0 : 1);
        QCOMPARE(tabTexts(frame), tabs);
        QCOMPARE(frame.tabWidget()->currentIndex(), current);
        QCOMPARE(frame.currentView(), frame.tabWidget()->widget(current));
        // Restored documents stay recoverable while their views live.
        QCOMPARE(autosaveFiles().size(), files.size());
        if (!accept)
            QVERIFY(frame.currentView()->getAutosaveName() != "New File1");
    }
    QCOMPARE(autosaveFiles(), left);
}

// Titles follow the tab before the new-file tab; autosave names never repeat.
void tst_CMainFrameTabs::newFileNumbering()
{
    CMainFrame frame;
    frame.tabWidget()->setTabText(0, "New File3");
    frame.fileNew();
    QCOMPARE(frame.currentTabText(), QString("New File4"));
    frame.openFileInTab(svgFile("part.svg"));
    frame.fileNew();
    frame.fileNew();
    QCOMPARE(tabTexts(frame), (QStringList { "New File3", "New File4", "part.svg", "New File1", "New File2", "╋" }));
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
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&frame, &drop);
    frame.openFileInTab(part);
    QCOMPARE(tabTexts(frame), (QStringList { "New File1", "PART.SVG", "╋" }));
    QCOMPARE(frame.currentView()->getFilePath(), part);
    QVERIFY(frame.currentView()->getAutosaveName().isEmpty());
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

void tst_CMainFrameTabs::textsAfterLanguageChange()
{
    CMainFrame frame;
    QCOMPARE(frame.action(CMainFrame::SupperNesting)->text(), QString("Supper Nesting"));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&frame, &change);
    QCOMPARE(frame.action(CMainFrame::SupperNesting)->text(), QString("Nesting"));
    QCOMPARE(frame.action(CMainFrame::AlignLeftTop)->text(), QString("Left Top"));
}

// No document: nothing to edit. A tear line: only cutting, saving and the
// tear-line toggle on the editing toolbars.
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
    for (auto action : { CMainFrame::Save, CMainFrame::Cutting, CMainFrame::SeparationLine })
        QVERIFY(frame.action(action)->isEnabled());
    for (auto action : { CMainFrame::Rectangle, CMainFrame::Copy, CMainFrame::DeleteAction, CMainFrame::Pen })
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
    view->getDocument()->setModified(true);
    frame.updateActionStates();
    view->getDocument()->setModified(false);
    frame.updateActionStates();
    QCOMPARE(frame.currentTabText(), QString("part.svg*"));
    view->setSaved();
    frame.updateActionStates();
    QCOMPARE(frame.currentTabText(), QString("part.svg"));
}

ZOCUT_TEST_MAIN(tst_CMainFrameTabs)
#include "tst_CMainFrameTabs.moc"
