#include "EditorFace.h"

#include "CMainFrame.h"
#include "CSVGView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {
// Until the window manager has framed the window its frame is not known:
// room is kept for a title bar as high as Windows 10 draws it at 96 dots
// per inch, more than other window managers take.
const int kTitleBarAllowance = 31;
} // namespace

EditorFace::EditorFace(QWidget* container, CMainFrame* editor, QWindow* pages)
    : QObject(container)
    , m_container(container)
    , m_editor(editor)
    , m_pages(pages)
{
    container->installEventFilter(this);
    place();
    if (pages) {
        editor->hide();
        connect(pages, &QWindow::visibleChanged, this, &EditorFace::followPages);
    }
}

// The editor is no window of its own: closing the window asks it first,
// and its refusal keeps the window open.
bool EditorFace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_container && event->type() == QEvent::Resize)
        place();
    // The frame is known, or the screen changes, once the window is shown
    // or moved.
    if (watched == m_container && (event->type() == QEvent::Show || event->type() == QEvent::Move))
        fitSmallestSize();
    if (watched == m_container && event->type() == QEvent::Close) {
        QCloseEvent close;
        QCoreApplication::sendEvent(m_editor, &close);
        if (!close.isAccepted()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void EditorFace::signedIn()
{
    m_signedIn = true;
    followPages();
}

void EditorFace::setSmallestSize(const QSize& size)
{
    m_smallest = size;
    fitSmallestSize();
}

// A window manager keeps a maximised window at its smallest size even
// where that runs off the screen: at 1024 x 660 a window asking for all of
// it would lose its title bar's height at the bottom, the status bar with
// it.
void EditorFace::fitSmallestSize()
{
    const QScreen* screen = m_container->screen();
    if (!m_smallest.isValid() || !screen)
        return;
    const QRect frame = m_container->frameGeometry();
    const QRect inside = m_container->geometry();
    QSize frameSize = frame.size() - inside.size();
    if (frameSize.height() <= 0)
        frameSize.setHeight(kTitleBarAllowance);
    m_container->setMinimumSize(
        m_smallest.boundedTo(screen->availableGeometry().size() - frameSize).expandedTo(QSize(0, 0)));
}

void EditorFace::place()
{
    m_editor->setGeometry(0, kStripHeight, m_container->width(), qMax(0, m_container->height() - kStripHeight));
}

// A hidden window's shortcuts and keys reach nothing: the sign-in page lies
// over an editor whose Ctrl+S would save into the last run's account.
// Hidden, not disabled: a message box that the editor shows meanwhile takes
// it as parent and must still be answered.
void EditorFace::followPages()
{
    const bool open = m_signedIn && m_pages && !m_pages->isVisible();
    if (open != m_editor->isHidden())
        return;
    if (!open) {
        QWidget* focus = QApplication::focusWidget();
        m_lastFocus = focus && m_editor->isAncestorOf(focus) ? focus : nullptr;
    }
    m_editor->setVisible(open);
    if (!open)
        return;
    if (m_lastFocus)
        m_lastFocus->setFocus();
    else if (CSVGView* canvas = m_editor->currentView())
        canvas->setFocus();
}
