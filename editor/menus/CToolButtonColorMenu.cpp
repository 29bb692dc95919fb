#include "CToolButtonColorMenu.h"

#include "CMenuColor.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace {
QString baseImagePath(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral(":/images/textcolor.png");
    case 1:
        return QStringLiteral(":/images/linecolor.png");
    case 2:
        return QStringLiteral(":/images/fillcolor.png");
    default:
        return QString();
    }
}
} // namespace

CToolButtonColorMenu::CToolButtonColorMenu(int kind, const QColor& color, QWidget* parent)
    : QToolButton(parent)
    , m_kind(kind)
    , m_color(color)
{
    // Without a parent the menu is this button's, so that it goes with it.
    m_menu = new CMenuColor(kind == 2 ? 1 : 0, parent ? parent : this);
    setIcon(makeIcon(m_color));
    connect(m_menu, SIGNAL(colorSelected(QColor)), this, SLOT(OnColorSelect(QColor)));
    connect(m_menu, SIGNAL(colorSelectedRadient(std::wstring)), this, SLOT(OncolorSelectedRadient(std::wstring)));
    connect(m_menu, SIGNAL(colorSelectedPattern(std::wstring)), this, SLOT(OncolorSelectedPattern(std::wstring)));
    connect(m_menu, SIGNAL(colorSelectedPicture(std::wstring)), this, SLOT(OncolorSelectedPicture(std::wstring)));
}

QIcon CToolButtonColorMenu::makeIcon(const QColor& color)
{
    const QString path = baseImagePath(m_kind);
    QImage image;
    if (!path.isEmpty()) {
        image.load(path);
        setIconSize(QSize(32, 24));
    }
    if (image.isNull())
        return QIcon();
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRect(0, 20, 20, 4);
    painter.end();
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal, QIcon::Off);
    return icon;
}

void CToolButtonColorMenu::OnColorSelect(QColor color)
{
    m_color = color;
    setIcon(makeIcon(m_color));
    emit ColorSelected(m_color);
}

void CToolButtonColorMenu::OncolorSelectedRadient(std::wstring markup)
{
    emit colorSelectedRadient(markup);
}

void CToolButtonColorMenu::OncolorSelectedPattern(std::wstring markup)
{
    emit colorSelectedPattern(markup);
}

void CToolButtonColorMenu::OncolorSelectedPicture(std::wstring markup)
{
    emit colorSelectedPicture(markup);
}

void CToolButtonColorMenu::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->pos()))
        return;
    if (event->pos().x() >= kArrowLeft)
        m_menu->exec(mapToGlobal(QPoint(0, height())));
    else
        OnColorSelect(m_color);
}
