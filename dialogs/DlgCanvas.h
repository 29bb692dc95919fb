#pragma once

#include <QDialog>
#include <QSize>

class QSpinBox;

// The canvas size, in millimetres, starting from the settings "CanvasWidth"
// and "CanvasHeight".
class DlgCanvas : public QDialog
{
    Q_OBJECT
public:
    explicit DlgCanvas(QWidget* parent);

    QSize getCanvasSize() const;

private:
    QSpinBox* addSizeRow(const QString& label, const QString& key);

    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
};
