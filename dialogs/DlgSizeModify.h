#pragma once

#include "TranslatedDialog.h"

#include <QSizeF>

class QLabel;
class QLineEdit;

// Resizing the selection to a width and a height in millimetres.
class DlgSizeModify : public TranslatedDialog
{
    Q_OBJECT
public:
    DlgSizeModify(const QSizeF& size, QWidget* parent);

    // A field that is not a positive number, or that still shows its
    // starting value, gives that value whole (the field shows it rounded);
    // none goes beyond the longest length the editor accepts.
    QSizeF getResultSize() const;

protected:
    void retranslateUi() override;

private:
    QLineEdit* addSizeRow(QLabel* label, double value);
    static QString startText(double value);
    static double fieldValue(const QLineEdit* field, double start);

    QSizeF m_start;
    QLabel* m_widthLabel;
    QLabel* m_heightLabel;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
};
