#include "DlgSizeModify.h"

#include "DialogLimits.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <cmath>

namespace {
// A start that is not a size at all (an empty selection's text) counts as
// nothing rather than reaching the document.
double sane(double value)
{
    return std::isfinite(value) ? qBound(-DialogLimits::kMaxLength, value, DialogLimits::kMaxLength) : 0.0;
}
} // namespace

DlgSizeModify::DlgSizeModify(const QSizeF& size, QWidget* parent)
    : TranslatedDialog(parent)
    , m_start(sane(size.width()), sane(size.height()))
    , m_widthLabel(new QLabel(this))
    , m_heightLabel(new QLabel(this))
{
    auto* form = new QFormLayout(this);
    m_width = addSizeRow(m_widthLabel, m_start.width());
    m_height = addSizeRow(m_heightLabel, m_start.height());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    retranslateUi();
}

void DlgSizeModify::retranslateUi()
{
    setWindowTitle(tr("Scale"));
    m_widthLabel->setText(tr("Width"));
    m_heightLabel->setText(tr("Height"));
}

QLineEdit* DlgSizeModify::addSizeRow(QLabel* label, double value)
{
    auto* field = new QLineEdit(startText(value), this);
    static_cast<QFormLayout*>(layout())->addRow(label, field);
    return field;
}

QSizeF DlgSizeModify::getResultSize() const
{
    return QSizeF(fieldValue(m_width, m_start.width()), fieldValue(m_height, m_start.height()));
}

QString DlgSizeModify::startText(double value)
{
    return QString::number(value, 'g', 6);
}

// Fields are filled locale-free; what the user types may follow the locale.
double DlgSizeModify::fieldValue(const QLineEdit* field, double start)
{
    double value = 0.0;
    if (field->text() == startText(start) || !DialogLimits::readNumber(field->text(), &value) || value <= 0.0)
        return start;
    return std::min(value, DialogLimits::kMaxLength);
}
