#include "CMenuCombox.h"

#include <QGridLayout>
#include <QToolButton>
#include <QWidgetAction>

namespace {
constexpr int kStripWidth = 80;
}

CMenuCombox::CMenuCombox()
    : QMenu(nullptr)
{
}

QImage CMenuCombox::stripImage(int kind)
{
    if (kind == 0)
        return QImage(QStringLiteral(":/images/linewidth.png"));
    if (kind == 1)
        return QImage(QStringLiteral(":/images/linetype.png"));
    return QImage();
}

void CMenuCombox::build(int kind)
{
    m_widget = new QWidget(this);
    auto* grid = new QGridLayout(m_widget);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(5);
    const QImage image = stripImage(kind);
    const QSize stripSize(kStripWidth, kStripHeight);
    for (int i = 0; i < stripCount(image); ++i) {
        const QPixmap strip = QPixmap::fromImage(image.copy(QRect(QPoint(0, kStripHeight * i), stripSize)));
        auto* action = new QAction(QIcon(strip), QString(), m_widget);
        action->setData(i);
        connect(action, &QAction::triggered, this, &CMenuCombox::OnSelected);
        auto* button = new QToolButton(m_widget);
        button->setFixedSize(stripSize);
        button->setIconSize(stripSize);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        button->setDefaultAction(action);
        grid->addWidget(button, i, 0);
    }
    m_action = new QWidgetAction(this);
    m_action->setDefaultWidget(m_widget);
    addAction(m_action);
}

void CMenuCombox::OnSelected()
{
    const auto* action = qobject_cast<QAction*>(sender());
    bool ok = false;
    const int index = action ? action->data().toInt(&ok) : 0;
    emit OnSelect(ok ? index : 0);
    hide();
}
