#pragma once

#include "TranslatedDialog.h"

#include <QSizeF>

class NumberField;
class QLabel;

// Resizing the selection to a width and a height in millimetres.
class DlgSizeModify : public TranslatedDialog
{
    Q_OBJECT
public:
    DlgSizeModify(const QSizeF& size, QWidget* parent);

    // The sizes typed; a field still showing its starting value gives that
    // value whole (the field shows it to 0.001 mm).
    QSizeF getResultSize() const;

protected:
    void retranslateUi() override;

private:
    NumberField* addSizeRow(QLabel* label, double value);

    QLabel* m_widthLabel;
    QLabel* m_heightLabel;
    NumberField* m_width = nullptr;
    NumberField* m_height = nullptr;
};
