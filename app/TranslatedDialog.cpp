#include "TranslatedDialog.h"

#include <QEvent>

void TranslatedDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}
