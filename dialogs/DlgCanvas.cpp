#include "DlgCanvas.h"

#include "CGlobalConfig.h"
#include "DialogLimits.h"
#include "NumberField.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include <cmath>

DlgCanvas::DlgCanvas(QWidget* parent)
    : TranslatedDialog(parent)
    , m_widthLabel(new QLabel(this))
    , m_heightLabel(new QLabel(this))
{
    auto* form = new QFormLayout(this);
    m_width = addSizeRow(m_widthLabel, QStringLiteral("CanvasWidth"));
    m_height = addSizeRow(m_heightLabel, QStringLiteral("CanvasHeight"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TranslatedDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    retranslateUi();
}

void DlgCanvas::retranslateUi()
{
    setWindowTitle(tr("Canvas Settings"));
    m_widthLabel->setText(tr("Width"));
    m_heightLabel->setText(tr("Height"));
}

// The page is what the settings hold, brought into the range a page can
// have (a setting that is not a number starts at the smallest), and shown
// so before anything is accepted.
NumberField* DlgCanvas::addSizeRow(QLabel* label, const QString& key)
{
    auto* field = new NumberField(this);
    field->setObjectName(key);
    field->setRange(1, DialogLimits::kMaxLength);
    field->setWholeNumbers(true);
    field->setUnit(NumberField::Unit::Millimetre);
    const double value = g_config.getSetting(key).toDouble();
    field->setValue(std::isfinite(value) ? std::trunc(qBound(1.0, value, DialogLimits::kMaxLength)) : 1.0);
    static_cast<QFormLayout*>(layout())->addRow(label, field);
    return field;
}

QSize DlgCanvas::getCanvasSize() const
{
    return QSize(int(m_width->value()), int(m_height->value()));
}

void DlgCanvas::setCanvasSize(const QSizeF& size)
{
    m_width->setValue(size.width());
    m_height->setValue(size.height());
}
