#pragma once

#include <QDialog>
#include <QSizeF>

class QLineEdit;

// Resizing the selection to a width and a height in millimetres.
class DlgSizeModify : public QDialog
{
    Q_OBJECT
public:
    DlgSizeModify(const QSizeF& size, QWidget* parent);

    // A field that is not a positive number keeps its starting value; none
    // goes beyond the longest length the editor accepts.
    QSizeF getResultSize() const;

private:
    QLineEdit* addSizeRow(const QString& label, double value);
    static double fieldValue(const QLineEdit* field, double start);

    QSizeF m_start;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
};
