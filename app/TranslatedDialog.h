#pragma once

#include <QDialog>

// A dialog that speaks the interface language: retranslateUi() sets every
// text it shows. Each dialog calls it once it is built, and it runs again
// whenever the language changes while the dialog is open. It opens wide
// enough to show its title whole, and closes with OK only once each of its
// number fields holds an allowed value.
class TranslatedDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

    QSize sizeHint() const override;
    // The width the window manager's title bar needs for the title and the
    // frame's icon and buttons.
    int titleWidth() const;

public slots:
    // A number field whose text is refused says why and keeps the dialog open.
    void accept() override;

protected:
    virtual void retranslateUi() = 0;
    void changeEvent(QEvent* event) override;
};
