#pragma once

#include <QObject>

class QWidget;

// Keeps the editor's main window filling the top-level window below the
// strip that holds the page buttons, whatever size that window takes, and
// lets it refuse the window's close.
class EditorFace : public QObject
{
    Q_OBJECT
public:
    static const int kStripHeight = 80;

    EditorFace(QWidget* container, QWidget* editor);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QWidget* m_container;
    QWidget* m_editor;
};
