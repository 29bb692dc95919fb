#include "CColorPickButton.h"

#include "CMenuColor.h"

#include <QPainter>
#include <QPixmap>

CColorPickButton::CColorPickButton(const QColor& color, QWidget* parent)
    : QToolButton(parent)
    , m_menu(new CMenuColor(0, this))
{
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    setIconSize(QSize(40, 16));
    setColor(color);
    connect(m_menu, &CMenuColor::colorSelected, this, [this](const QColor& picked) {
        if (picked.isValid())
            setColor(picked);
    });
}

void CColorPickButton::setColor(const QColor& color)
{
    m_color = color;
    QPixmap swatch(iconSize());
    swatch.fill(Qt::white);
    QPainter painter(&swatch);
    painter.setPen(Qt::gray);
    painter.setBrush(color);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    emit colorChanged(m_color);
}
