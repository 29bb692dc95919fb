#include "CMainFrame.h"
#include "CSVGView.h"
#include "EditorFace.h"
#include "Prompt.h"
#include "TestEnvironment.h"

#include <QScreen>
#include <QStatusBar>
#include <QWindow>

namespace {
// Counts the times a widget is shown.
class ShowCount : public QObject
{
public:
    int shown = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        shown += event->type() == QEvent::Show ? 1 : 0;
        return false;
    }
};
} // namespace

// The editor lives inside the program's window: closing the window asks
// the editor first, and its refusal keeps the window open.
class tst_EditorFace : public QObject
{
    Q_OBJECT
private slots:
    void closeAsksTheEditor_data();
    void closeAsksTheEditor();
    void noInputUnderThePages();
    void fitsASmallScreen();
};

void tst_EditorFace::closeAsksTheEditor_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("cancel") << int(QMessageBox::Cancel);
    QTest::newRow("continue") << int(QMessageBox::Yes);
}

void tst_EditorFace::closeAsksTheEditor()
{
    QFETCH(int, answer);
    QStringList asked;
    Prompt::setHandler([&](Prompt::Kind, const QString&, const QString& text) {
        asked << text;
        return QVariant(answer);
    });
    QWidget window;
    auto* editor = new CMainFrame(&window);
    new EditorFace(&window, editor);
    window.show();
    editor->currentView()->getDocument()->pasteSvgText(L"<rect width=\"5\" height=\"5\"/>");
    QCOMPARE(window.close(), answer == QMessageBox::Yes);
    QCOMPARE(window.isVisible(), answer != QMessageBox::Yes);
    QCOMPARE(asked, QStringList("The drawing has unsaved changes. Close it anyway?"));
    Prompt::setHandler(nullptr);
}

// Ctrl+S (which would save into the account of the last run) and Delete
// reach nothing until a sign-in, nor while the pages cover the editor; once
// it is uncovered they ask their questions.
void tst_EditorFace::noInputUnderThePages()
{
    QStringList asked;
    Prompt::setHandler([&](Prompt::Kind, const QString& title, const QString&) {
        asked << title;
        return QVariant(int(QDialog::Rejected));
    });
    QWidget window;
    // A child of the window, no window of its own, as in the program.
    auto* editor = new CMainFrame;
    editor->setParent(&window);
    // The pages lie over the window, embedded in it, as in the program.
    auto* pages = new QWindow;
    QWidget::createWindowContainer(pages, &window)->setGeometry(0, 0, 1200, 800);
    auto* face = new EditorFace(&window, editor, pages);
    ShowCount editorShows;
    editor->installEventFilter(&editorShows);
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // Not even for a moment before a sign-in.
    QCOMPARE(editorShows.shown, 0);
    const auto keys = [&] {
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_Delete);
    };
    keys();
    pages->hide();
    keys();
    face->signedIn();
    pages->show();
    keys();
    QCOMPARE(asked, QStringList());
    pages->hide();
    QVERIFY(editor->isVisible());
    keys();
    QCOMPARE(asked, QStringList({ "SaveFile", "Warning" }));
    Prompt::setHandler(nullptr);
}

// On a screen with less room than the window's smallest size (the offscreen
// screen is 800 x 600), a window manager that keeps that size would push the
// window off the screen: the smallest size leaves room for the frame, and
// the editor's status bar shows inside the window.
void tst_EditorFace::fitsASmallScreen()
{
    QWidget window;
    auto* editor = new CMainFrame;
    editor->setParent(&window);
    editor->show();
    auto* face = new EditorFace(&window, editor);
    face->setSmallestSize(QSize(1024, 660));
    window.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize screen = window.screen()->availableGeometry().size();
    const QSize frame = window.frameGeometry().size() - window.size();
    QVERIFY(frame.height() > 0);
    const QSize smallest = window.minimumSize() + frame;
    QVERIFY2(smallest.width() <= screen.width() && smallest.height() <= screen.height(),
        qPrintable(QString("%1 x %2 with its frame").arg(smallest.width()).arg(smallest.height())));
    const QStatusBar* bar = editor->statusBar();
    QVERIFY(bar->isVisible());
    QVERIFY(window.rect().contains(QRect(bar->mapTo(&window, QPoint()), bar->size())));
}

ZOCUT_TEST_MAIN(tst_EditorFace)
#include "tst_EditorFace.moc"
