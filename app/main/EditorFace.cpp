#include "EditorFace.h"

#include "CMainFrame.h"
#include "CSVGView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QWidget>
#include <QWindow>

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
