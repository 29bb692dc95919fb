#pragma once

#include <QWidget>

// The last tab of the document tabs; making it current opens a new document.
class CNewFileView : public QWidget
{
    Q_OBJECT
public:
    explicit CNewFileView(QWidget* parent = nullptr);
};
