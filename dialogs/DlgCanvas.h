#pragma once

#include "TranslatedDialog.h"

#include <QSize>

class QLabel;
class QSpinBox;

// The canvas size, in millimetres, starting from the settings "CanvasWidth"
// and "CanvasHeight".
class DlgCanvas : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit DlgCanvas(QWidget* parent);

    QSize getCanvasSize() const;

protected:
    void retranslateUi() override;

private:
    QSpinBox* addSizeRow(QLabel* label, const QString& key);

    QLabel* m_widthLabel;
    QLabel* m_heightLabel;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
};
