#include "CDlgFill.h"

#include "CColorPickButton.h"
#include "CFillPreview.h"
#include "CGlobalConfig.h"
#include "CSVGXmlNode.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

CDlgFill::CDlgFill(const QString& title, QWidget* parent)
    : QDialog(parent)
    , m_id(g_config.newElementId())
    , m_form(new QFormLayout)
    , m_preview(new CFillPreview(this))
{
    setWindowTitle(title);
}

std::wstring CDlgFill::markup() const
{
    return buildServer().toXml();
}

CColorPickButton* CDlgFill::addColorRow(const QString& label, const QColor& color)
{
    auto* button = new CColorPickButton(color, this);
    connect(button, &CColorPickButton::colorChanged, this, &CDlgFill::refreshPreview);
    m_form->addRow(label, button);
    return button;
}

void CDlgFill::finishLayout()
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);
    refreshPreview();
}

void CDlgFill::refreshPreview()
{
    showPreview(m_preview);
}

void CDlgFill::setPaint(
    CSVGXmlNode& node, const std::wstring& colorName, const std::wstring& opacityName, const QColor& color)
{
    node.setAttribute(colorName, CGlobalConfig::qColorToText(color));
    node.setAttribute(opacityName, number(color.alphaF()));
}

std::wstring CDlgFill::number(double value)
{
    return CGlobalConfig::numberToText(value);
}
