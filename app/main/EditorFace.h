#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

class CMainFrame;
class QWidget;
class QWindow;

// Keeps the editor's main window filling the top-level window below the
// strip that holds the page buttons, whatever size that window takes, and
// lets it refuse the window's close. The window's smallest size is held to
// what its screen leaves once the window manager's frame is added, so that
// the window, its status bar included, fits a small screen. With the pages given, the editor is
// shown only once a user has signed in and while the pages leave it
// uncovered: under them, its keys and shortcuts reach nothing.
class EditorFace : public QObject
{
    Q_OBJECT
public:
    static const int kStripHeight = 80;

    EditorFace(QWidget* container, CMainFrame* editor, QWindow* pages = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;
    // The smallest size the window's content asks for; less where the
    // screen has less room.
    void setSmallestSize(const QSize& size);

public slots:
    void signedIn();

private:
    void place();
    void followPages();
    void fitSmallestSize();

    QWidget* m_container;
    CMainFrame* m_editor;
    QSize m_smallest;
    QPointer<QWindow> m_pages;
    bool m_signedIn = false;
    // Where the keys went when the pages came over the editor.
    QPointer<QWidget> m_lastFocus;
};
