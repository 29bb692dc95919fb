#include "CDlgPattern.h"

#include "CColorPickButton.h"
#include "CFillPreview.h"
#include "CSVGXmlNode.h"
#include "NumberField.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>

#include <iterator>
#include <vector>

namespace {
// One shape of a tile, in fractions of the tile's side; a circle's radius
// is in w.
struct TileShape
{
    bool circle;
    double x, y, w, h;
};

const std::vector<TileShape>& tileShapes(int kind)
{
    static const std::vector<TileShape> kinds[] = {
        { { false, 0, 0, 1, 0.25 } },
        { { false, 0, 0, 0.25, 1 } },
        { { false, 0, 0, 1, 0.125 }, { false, 0, 0, 0.125, 1 } },
        { { false, 0, 0, 0.5, 0.5 }, { false, 0.5, 0.5, 0.5, 0.5 } },
        { { true, 0.5, 0.5, 0.25, 0 } },
    };
    return kinds[qBound(0, kind, int(std::size(kinds)) - 1)];
}
} // namespace

CDlgPattern::CDlgPattern(QWidget* parent)
    : CDlgFill(parent)
    , m_kind(new QComboBox(this))
    , m_foreground(newColorButton(Qt::black))
    , m_background(newColorButton(Qt::white))
    , m_size(new QDoubleSpinBox(this))
{
    m_kindLabel = addRow(m_kind);
    m_foregroundLabel = addRow(m_foreground);
    m_backgroundLabel = addRow(m_background);
    m_size->setRange(kMinTile, kMaxTile);
    m_size->setDecimals(1);
    m_size->setValue(10.0);
    m_sizeLabel = addRow(m_size);
    retranslateUi();
    connect(m_kind, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CDlgPattern::refreshPreview);
    connect(m_size, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &CDlgPattern::refreshPreview);
    finishLayout();
}

void CDlgPattern::retranslateUi()
{
    setWindowTitle(tr("Pattern"));
    setItemTexts(m_kind, { tr("Horizontal lines"), tr("Vertical lines"), tr("Grid"), tr("Checker"), tr("Dots") });
    m_kindLabel->setText(tr("Pattern"));
    m_foregroundLabel->setText(tr("Color"));
    m_backgroundLabel->setText(tr("Background"));
    m_sizeLabel->setText(tr("Size"));
    m_size->setSuffix(QLatin1Char(' ') + NumberField::millimetres());
}

std::wstring CDlgPattern::getPatternSvg() const
{
    return markup();
}

CSVGXmlNode CDlgPattern::buildServer() const
{
    const double side = m_size->value();
    const std::wstring sideText = number(side);
    CSVGXmlNode server(L"pattern");
    server.setAttribute(L"id", serverId());
    server.setAttribute(L"patternUnits", L"userSpaceOnUse");
    server.setAttribute(L"width", sideText);
    server.setAttribute(L"height", sideText);
    CSVGXmlNode background(L"rect");
    background.setAttribute(L"width", sideText);
    background.setAttribute(L"height", sideText);
    setPaint(background, L"fill", L"fill-opacity", m_background->color());
    server.children.append(background);
    for (const TileShape& shape : tileShapes(m_kind->currentIndex())) {
        CSVGXmlNode node(shape.circle ? L"circle" : L"rect");
        node.setAttribute(shape.circle ? L"cx" : L"x", number(shape.x * side));
        node.setAttribute(shape.circle ? L"cy" : L"y", number(shape.y * side));
        if (shape.circle) {
            node.setAttribute(L"r", number(shape.w * side));
        } else {
            node.setAttribute(L"width", number(shape.w * side));
            node.setAttribute(L"height", number(shape.h * side));
        }
        setPaint(node, L"fill", L"fill-opacity", m_foreground->color());
        server.children.append(node);
    }
    return server;
}

// Qt's renderer knows no patterns: the preview renders one tile and repeats
// it.
void CDlgPattern::showPreview(CFillPreview* preview) const
{
    const CSVGXmlNode server = buildServer();
    const std::wstring side = number(m_size->value());
    std::wstring svg = L"<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + side + L" " + side + L"\">";
    for (const CSVGXmlNode& child : server.children)
        svg += child.toXml();
    svg += L"</svg>";
    preview->setSvg(QString::fromStdWString(svg).toUtf8(), QSizeF(m_size->value(), m_size->value()));
}
