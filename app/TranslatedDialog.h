#pragma once

#include <QDialog>

// A dialog that speaks the interface language: retranslateUi() sets every
// text it shows. Each dialog calls it once it is built, and it runs again
// whenever the language changes while the dialog is open.
class TranslatedDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    virtual void retranslateUi() = 0;
    void changeEvent(QEvent* event) override;
};
