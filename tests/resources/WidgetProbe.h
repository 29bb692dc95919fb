#pragma once

#include <QObject>

// Stands in for a widget or window that the pages show and hide ("view",
// "databtn", "databtn1"), counts the calls and, as the view does, tells
// when it comes and goes.
class WidgetProbe : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int shown MEMBER m_shown)
    Q_PROPERTY(int hidden MEMBER m_hidden)
    Q_PROPERTY(bool visible READ isVisible NOTIFY visibleChanged)
public:
    using QObject::QObject;

    // Shown again without a word: the pages that heard it are gone.
    Q_INVOKABLE void reset()
    {
        m_shown = m_hidden = 0;
        m_visible = true;
    }
    Q_INVOKABLE void show()
    {
        ++m_shown;
        setVisible(true);
    }
    Q_INVOKABLE void hide()
    {
        ++m_hidden;
        setVisible(false);
    }
    bool isVisible() const { return m_visible; }

signals:
    void visibleChanged(bool visible);

private:
    void setVisible(bool visible)
    {
        if (visible == m_visible)
            return;
        m_visible = visible;
        emit visibleChanged(visible);
    }

    int m_shown = 0;
    int m_hidden = 0;
    bool m_visible = true;
};
