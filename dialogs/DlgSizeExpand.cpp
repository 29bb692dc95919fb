#include "DlgSizeExpand.h"

#include "DialogLimits.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>

DlgSizeExpand::DlgSizeExpand(bool allowInward, QWidget* parent)
    : QDialog(parent)
    , m_distance(new QDoubleSpinBox(this))
    , m_inward(new QRadioButton(tr("Inward"), this))
    , m_overall(new QCheckBox(tr("Overall"), this))
{
    m_distance->setRange(DialogLimits::kMinExpand, DialogLimits::kMaxExpand);
    m_distance->setDecimals(2);
    m_distance->setValue(1.0);
    m_distance->setSuffix(QStringLiteral(" mm"));
    auto* outward = new QRadioButton(tr("Outward"), this);
    outward->setChecked(true);
    m_inward->setEnabled(allowInward);
    auto* direction = new QHBoxLayout;
    direction->addWidget(outward);
    direction->addWidget(m_inward);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Distance"), m_distance);
    form->addRow(tr("Direction"), direction);
    form->addRow(m_overall);
    form->addRow(buttons);
}

DlgSizeExpand::ExpandValue DlgSizeExpand::getExpandValue() const
{
    const double distance = m_distance->value();
    return { m_overall->isChecked(), m_inward->isChecked() ? -distance : distance };
}
