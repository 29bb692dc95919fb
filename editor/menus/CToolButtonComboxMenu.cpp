#include "CToolButtonComboxMenu.h"

#include "CMenuCombox.h"

#include <QMouseEvent>

CToolButtonComboxMenu::CToolButtonComboxMenu(int kind, int index, QWidget* parent)
    : QToolButton(parent)
    , m_menu(std::make_unique<CMenuCombox>())
    , m_index(index)
    , m_kind(kind)
{
    m_menu->build(kind);
    connect(m_menu.get(), &CMenuCombox::OnSelect, this, &CToolButtonComboxMenu::Select);
    updateIcon();
}

CToolButtonComboxMenu::~CToolButtonComboxMenu() = default;

// The button shows 100 pixels of the strip, the menu 80.
void CToolButtonComboxMenu::updateIcon()
{
    const QImage image = CMenuCombox::stripImage(m_kind != 0 ? 1 : 0);
    if (m_index < 0 || m_index >= CMenuCombox::stripCount(image)) {
        setIcon(QIcon());
        return;
    }
    const int height = CMenuCombox::kStripHeight;
    setIcon(QIcon(QPixmap::fromImage(image.copy(0, height * m_index, 100, height))));
}

void CToolButtonComboxMenu::Select(int index)
{
    m_index = index;
    updateIcon();
    emit OnSelected(m_index);
}

void CToolButtonComboxMenu::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->pos()))
        m_menu->exec(mapToGlobal(QPoint(0, height())));
}
