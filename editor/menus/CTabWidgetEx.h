#pragma once

#include <QTabWidget>

// The main window's document tabs. A tab shows its document's name as
// written: the tab bar would take an "&" in it for a keyboard accelerator.
class CTabWidgetEx : public QTabWidget
{
    Q_OBJECT
public:
    explicit CTabWidgetEx(QWidget* parent = nullptr);

    int insertNamedTab(int index, QWidget* page, const QString& name);
    void setNameText(int index, const QString& name);
    // The name as the tab shows it.
    QString nameText(int index) const;
};
