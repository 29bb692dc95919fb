#include "CDlgFill.h"

#include "CColorPickButton.h"
#include "CFillPreview.h"
#include "CGlobalConfig.h"
#include "CSVGXmlNode.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

CDlgFill::CDlgFill(QWidget* parent)
    : TranslatedDialog(parent)
    , m_id(g_config.newElementId())
    , m_form(new QFormLayout)
    , m_preview(new CFillPreview(this))
{
}

std::wstring CDlgFill::markup() const
{
    return buildServer().toXml();
}

QLabel* CDlgFill::addRow(QWidget* field)
{
    auto* label = new QLabel(this);
    m_form->addRow(label, field);
    return label;
}

CColorPickButton* CDlgFill::newColorButton(const QColor& color)
{
    auto* button = new CColorPickButton(color, this);
    connect(button, &CColorPickButton::colorChanged, this, &CDlgFill::refreshPreview);
    return button;
}

void CDlgFill::setItemTexts(QComboBox* box, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        if (i < box->count())
            box->setItemText(i, texts[i]);
        else
            box->addItem(texts[i]);
    }
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
