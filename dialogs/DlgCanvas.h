#pragma once

#include "TranslatedDialog.h"

#include <QSize>

class NumberField;
class QLabel;

// The canvas size, in whole millimetres, starting from the settings
// "CanvasWidth" and "CanvasHeight" until the caller gives the page in use.
class DlgCanvas : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit DlgCanvas(QWidget* parent);

    QSize getCanvasSize() const;
    // Shows the page in use, so that OK alone keeps it.
    void setCanvasSize(const QSizeF& size);

protected:
    void retranslateUi() override;

private:
    NumberField* addSizeRow(QLabel* label, const QString& key);

    QLabel* m_widthLabel;
    QLabel* m_heightLabel;
    NumberField* m_width = nullptr;
    NumberField* m_height = nullptr;
};
