#pragma once

#include <QDialog>

// The about box: the program's mark, name and version.
class CDlgAbout : public QDialog
{
    Q_OBJECT
public:
    explicit CDlgAbout(QWidget* parent = nullptr);
};
