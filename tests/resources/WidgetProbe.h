#pragma once

#include <QObject>

// Stands in for a widget or window that the pages show and hide ("view",
// "databtn", "databtn1") and counts the calls.
class WidgetProbe : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int shown MEMBER m_shown)
    Q_PROPERTY(int hidden MEMBER m_hidden)
public:
    using QObject::QObject;

    Q_INVOKABLE void reset() { m_shown = m_hidden = 0; }
    Q_INVOKABLE void show() { ++m_shown; }
    Q_INVOKABLE void hide() { ++m_hidden; }

private:
    int m_shown = 0;
    int m_hidden = 0;
};
