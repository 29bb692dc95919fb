#include "DlgCanvas.h"

#include "CGlobalConfig.h"
#include "DialogLimits.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

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
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
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

// A setting that is not a number starts at the smallest size; spin boxes
// hold every other value inside their range.
QSpinBox* DlgCanvas::addSizeRow(QLabel* label, const QString& key)
{
    auto* box = new QSpinBox(this);
    box->setRange(1, int(DialogLimits::kMaxLength));
    box->setSuffix(QStringLiteral(" mm"));
    const double value = g_config.getSetting(key).toDouble();
    box->setValue(std::isfinite(value) ? int(qBound(1.0, value, DialogLimits::kMaxLength)) : 1);
    static_cast<QFormLayout*>(layout())->addRow(label, box);
    return box;
}

QSize DlgCanvas::getCanvasSize() const
{
    return QSize(m_width->value(), m_height->value());
}
