#include "CMainFrame.h"
#include "CSVGView.h"
#include "EditorFace.h"
#include "Prompt.h"
#include "TestEnvironment.h"

// The editor lives inside the program's window: closing the window asks
// the editor first, and its refusal keeps the window open.
class tst_EditorFace : public QObject
{
    Q_OBJECT
private slots:
    void closeAsksTheEditor_data();
    void closeAsksTheEditor();
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
    editor->currentView()->getDocument()->setModified(true);
    QCOMPARE(window.close(), answer == QMessageBox::Yes);
    QCOMPARE(window.isVisible(), answer != QMessageBox::Yes);
    QCOMPARE(asked, QStringList("The drawing has unsaved changes. Close it anyway?"));
    Prompt::setHandler(nullptr);
}

ZOCUT_TEST_MAIN(tst_EditorFace)
#include "tst_EditorFace.moc"
