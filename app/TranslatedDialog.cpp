#include "TranslatedDialog.h"

#include "NumberField.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>

namespace {
// The frame's icon and caption buttons beside the title, as Windows 10
// draws them at 96 dots per inch: three buttons' width, 46 px each.
constexpr int kFrameButtons = 3 * 46;
} // namespace

QSize TranslatedDialog::sizeHint() const
{
    QSize hint = QDialog::sizeHint();
    hint.setWidth(qMax(hint.width(), titleWidth()));
    return hint;
}

int TranslatedDialog::titleWidth() const
{
    const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    return metrics.horizontalAdvance(windowTitle()) + kFrameButtons * logicalDpiX() / 96;
}

void TranslatedDialog::accept()
{
    if (NumberField::refuseInvalid(this).isEmpty())
        QDialog::accept();
}

void TranslatedDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    // A title set, or translated, while the dialog is open widens it too.
    if (event->type() == QEvent::WindowTitleChange && isVisible() && width() < titleWidth())
        resize(titleWidth(), height());
    QDialog::changeEvent(event);
}
