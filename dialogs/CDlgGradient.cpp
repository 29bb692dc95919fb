#include "CDlgGradient.h"

#include "CColorPickButton.h"
#include "CFillPreview.h"
#include "CSVGXmlNode.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QtMath>

#include <cmath>

CDlgGradient::CDlgGradient(QWidget* parent)
    : CDlgFill(parent)
    , m_type(new QComboBox(this))
    , m_start(newColorButton(Qt::white))
    , m_end(newColorButton(QColor(0, 0, 255)))
    , m_angle(new QSpinBox(this))
{
    m_typeLabel = addRow(m_type);
    m_startLabel = addRow(m_start);
    m_endLabel = addRow(m_end);
    m_angle->setRange(0, 359);
    m_angle->setWrapping(true);
    m_angle->setSuffix(QStringLiteral("\u00B0"));
    m_angleLabel = addRow(m_angle);
    retranslateUi();
    connect(m_type, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int type) {
        m_angle->setEnabled(type == 0);
        refreshPreview();
    });
    connect(m_angle, QOverload<int>::of(&QSpinBox::valueChanged), this, &CDlgGradient::refreshPreview);
    finishLayout();
}

void CDlgGradient::retranslateUi()
{
    setWindowTitle(tr("Gradient"));
    setItemTexts(m_type, { tr("Linear"), tr("Radial") });
    m_typeLabel->setText(tr("Type"));
    m_startLabel->setText(tr("Start color"));
    m_endLabel->setText(tr("End color"));
    m_angleLabel->setText(tr("Angle"));
}

std::wstring CDlgGradient::getGradientSvg() const
{
    return markup();
}

// Coordinates are fractions of the filled piece's box, the default units.
CSVGXmlNode CDlgGradient::buildServer() const
{
    const bool linear = m_type->currentIndex() == 0;
    CSVGXmlNode server(linear ? L"linearGradient" : L"radialGradient");
    server.setAttribute(L"id", serverId());
    if (linear) {
        const double angle = qDegreesToRadians(double(m_angle->value()));
        const double dx = std::cos(angle) / 2;
        const double dy = std::sin(angle) / 2;
        server.setAttribute(L"x1", number(0.5 - dx));
        server.setAttribute(L"y1", number(0.5 - dy));
        server.setAttribute(L"x2", number(0.5 + dx));
        server.setAttribute(L"y2", number(0.5 + dy));
    } else {
        server.setAttribute(L"cx", L"0.5");
        server.setAttribute(L"cy", L"0.5");
        server.setAttribute(L"r", L"0.5");
    }
    for (const CColorPickButton* stop : { m_start, m_end }) {
        CSVGXmlNode node(L"stop");
        node.setAttribute(L"offset", stop == m_start ? L"0" : L"1");
        setPaint(node, L"stop-color", L"stop-opacity", stop->color());
        server.children.append(node);
    }
    return server;
}

void CDlgGradient::showPreview(CFillPreview* preview) const
{
    const std::wstring svg = L"<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 120 60\"><defs>" + markup()
        + L"</defs><rect width=\"120\" height=\"60\" fill=\"url(#" + serverId() + L")\"/></svg>";
    preview->setSvg(QString::fromStdWString(svg).toUtf8());
}
