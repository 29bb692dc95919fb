#include "DlgSizeModify.h"

#include "DialogLimits.h"
#include "NumberField.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

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
    , m_widthLabel(new QLabel(this))
    , m_heightLabel(new QLabel(this))
{
    auto* form = new QFormLayout(this);
    m_width = addSizeRow(m_widthLabel, sane(size.width()));
    m_height = addSizeRow(m_heightLabel, sane(size.height()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TranslatedDialog::accept);
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

NumberField* DlgSizeModify::addSizeRow(QLabel* label, double value)
{
    auto* field = new NumberField(this);
    field->setRange(DialogLimits::kMinLength, DialogLimits::kMaxLength);
    field->setUnit(NumberField::Unit::Millimetre);
    field->setValue(value, DialogLimits::kLengthDecimals);
    static_cast<QFormLayout*>(layout())->addRow(label, field);
    return field;
}

QSizeF DlgSizeModify::getResultSize() const
{
    return QSizeF(m_width->value(), m_height->value());
}

