#include "CTabWidgetEx.h"

namespace {
QString literal(QString name)
{
    return name.replace(QLatin1Char('&'), QLatin1String("&&"));
}
} // namespace

CTabWidgetEx::CTabWidgetEx(QWidget* parent)
    : QTabWidget(parent)
{
}

int CTabWidgetEx::insertNamedTab(int index, QWidget* page, const QString& name)
{
    return insertTab(index, page, literal(name));
}

void CTabWidgetEx::setNameText(int index, const QString& name)
{
    setTabText(index, literal(name));
}

QString CTabWidgetEx::nameText(int index) const
{
    return tabText(index).replace(QLatin1String("&&"), QLatin1String("&"));
}
