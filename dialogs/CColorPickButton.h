#pragma once

#include <QColor>
#include <QToolButton>

class CMenuColor;

// A button that shows one colour and changes it through the colour menu.
class CColorPickButton : public QToolButton
{
    Q_OBJECT
public:
    CColorPickButton(const QColor& color, QWidget* parent);

    QColor color() const { return m_color; }
    CMenuColor* colorMenu() const { return m_menu; }

signals:
    void colorChanged(QColor color);

private:
    void setColor(const QColor& color);

    CMenuColor* m_menu = nullptr;
    QColor m_color;
};
