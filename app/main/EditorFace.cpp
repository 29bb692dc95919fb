#include "EditorFace.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

EditorFace::EditorFace(QWidget* container, QWidget* editor)
    : QObject(container)
    , m_container(container)
    , m_editor(editor)
{
    container->installEventFilter(this);
    place();
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

void EditorFace::place()
{
    m_editor->setGeometry(0, kStripHeight, m_container->width(), qMax(0, m_container->height() - kStripHeight));
}
