#include "EditorFace.h"

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

bool EditorFace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_container && event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(watched, event);
}

void EditorFace::place()
{
    m_editor->setGeometry(0, kStripHeight, m_container->width(), qMax(0, m_container->height() - kStripHeight));
}
