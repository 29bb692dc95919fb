#include "CTabWidgetEx.h"

CTabWidgetEx::CTabWidgetEx(QWidget* parent)
    : QTabWidget(parent)
{
}
