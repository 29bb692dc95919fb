#include "DlgCanvas.h"

#include "CGlobalConfig.h"
#include "DialogLimits.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include <cmath>

DlgCanvas::DlgCanvas(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Canvas Settings"));
    auto* form = new QFormLayout(this);
    m_width = addSizeRow(tr("Width"), QStringLiteral("CanvasWidth"));
    m_height = addSizeRow(tr("Height"), QStringLiteral("CanvasHeight"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

// A setting that is not a number starts at the smallest size; spin boxes
// hold every other value inside their range.
QSpinBox* DlgCanvas::addSizeRow(const QString& label, const QString& key)
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
