#pragma once

#include "TranslatedDialog.h"

#include <QSize>

class NumberField;
class QLabel;

// The canvas size, in whole millimetres, starting from the settings
// "CanvasWidth" and "CanvasHeight".
class DlgCanvas : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit DlgCanvas(QWidget* parent);

    QSize getCanvasSize() const;

protected:
    void retranslateUi() override;

private:
    NumberField* addSizeRow(QLabel* label, const QString& key);

    QLabel* m_widthLabel;
    QLabel* m_heightLabel;
    NumberField* m_width = nullptr;
    NumberField* m_height = nullptr;
};
