#include "DlgSizeExpand.h"

#include "DialogLimits.h"
#include "NumberField.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

DlgSizeExpand::DlgSizeExpand(bool allowInward, QWidget* parent)
    : TranslatedDialog(parent)
    , m_distance(new NumberField(this))
    , m_outward(new QRadioButton(this))
    , m_inward(new QRadioButton(this))
    , m_distanceLabel(new QLabel(this))
    , m_directionLabel(new QLabel(this))
{
    m_distance->setObjectName(QStringLiteral("distance"));
    m_distance->setRange(DialogLimits::kMinExpand, DialogLimits::kMaxExpand);
    m_distance->setUnit(NumberField::Unit::Millimetre);
    m_distance->setValue(1.0);
    m_outward->setChecked(true);
    m_inward->setEnabled(allowInward);
    auto* direction = new QHBoxLayout;
    direction->addWidget(m_outward);
    direction->addWidget(m_inward);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TranslatedDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(m_distanceLabel, m_distance);
    form->addRow(m_directionLabel, direction);
    form->addRow(buttons);
    retranslateUi();
}

void DlgSizeExpand::retranslateUi()
{
    m_distanceLabel->setText(tr("Distance"));
    m_directionLabel->setText(tr("Direction"));
    m_outward->setText(tr("Outward"));
    m_inward->setText(tr("Inward"));
}


DlgSizeExpand::ExpandValue DlgSizeExpand::getExpandValue() const
{
    const double distance = m_distance->value();
    return { false, m_inward->isChecked() ? -distance : distance };
}
