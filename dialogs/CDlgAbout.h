#pragma once

#include "TranslatedDialog.h"

class QLabel;

// The about box: the program's mark, name and version.
class CDlgAbout : public TranslatedDialog
{
    Q_OBJECT
public:
    explicit CDlgAbout(QWidget* parent = nullptr);

protected:
    void retranslateUi() override;

private:
    QLabel* m_text;
};
