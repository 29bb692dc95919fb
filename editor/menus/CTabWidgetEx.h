#pragma once

#include <QTabWidget>

// The main window's document tabs.
class CTabWidgetEx : public QTabWidget
{
    Q_OBJECT
public:
    explicit CTabWidgetEx(QWidget* parent = nullptr);
};
