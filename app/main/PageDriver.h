#pragma once

#include <QObject>
#include <QString>

class QQuickView;

// Lets an automated run of the whole program drive it as a person would.
// Linked only into the test build of the program (zocut-driven), through
// its driver hooks, and active there only when the environment variable
// ZOCUT_PAGE_DRIVER names a QML file: that file is created beside the pages
// (it sees what they see), and every modal question is written to the log
// and answered as closed instead of waiting for a person, unless the file
// has named the next file to choose or the answer to give; the file also
// sees "widgets", which tells where the editor's buttons and canvas are on
// the screen and what the drawing holds, "audit", which checks the canvases
// against their documents, "prompts", this class, and "channel", the line
// to the test that runs the program (null unless ZOCUT_DRIVER_CHANNEL names
// one). Without the variable nothing here does anything.
class PageDriver : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    static bool isEnabled();
    static void answerPromptsInLog();
    static void start(QQuickView& view);

    // The next file dialog chooses this name in the working folder.
    Q_INVOKABLE void chooseFile(const QString& name);
    // How every later question is answered: message boxes with this
    // QMessageBox::StandardButton (0: closed without a choice), modal dialogs
    // with this result (negative: the dialog runs for real, the default).
    Q_INVOKABLE void answerWith(int button, int dialogResult);

private:
    static QString path();
};
