#include "CSVGElementTextContent.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGTextOutlines.h"
#include "SafeTruncate.h"
#include "SvgCodes.h"

#include <QPainterPath>

#include <algorithm>
#include <cwctype>

namespace {

// Beyond this a glyph outline is no longer worth building.
constexpr int kMaxPixelSize = 100000;

std::wstring lowered(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

// Every occurrence of the two letters, in any case.
std::wstring withoutUnit(const std::wstring& text, const std::wstring& unit)
{
    const std::wstring lower = lowered(text);
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (lower.compare(i, unit.size(), unit) == 0)
            i += unit.size() - 1;
        else
            result += text[i];
    }
    return result;
}

int clampedPixels(double pixels)
{
    return std::max(1, truncateClamped<int>(pixels, 1, kMaxPixelSize));
}

// The width of the whole run moves it left: all of it for "end", half for
// "middle".
double anchorShift(const std::wstring& anchor, double width)
{
    if (anchor == L"end")
        return -width;
    if (anchor == L"middle")
        return -width / 2;
    return 0;
}

} // namespace

CSVGElementTextContent::CSVGElementTextContent(CSVGDocument* document)
    : CSVGElementShape(document, L"textcontent", SvgType::TextContent)
    , m_pixelSize(clampedPixels(12 * g_config.getPointFactor()))
{
    setCheckFlag(false);
}

void CSVGElementTextContent::setText(const std::wstring& text, bool notify)
{
    std::wstring line;
    line.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\t' || c == L'\n')
            line += L' ';
        else if (c != L'\r')
            line += c;
    }
    CSVGElement::setText(line, notify);
    if (notify)
        setGeometryDirty();
}

int CSVGElementTextContent::pixelSizeOf(const std::wstring& fontSize)
{
    const size_t points = lowered(fontSize).find(L"pt");
    if (points != std::wstring::npos && points > 0) {
        const double whole = std::trunc(g_config.parseLength(withoutUnit(fontSize, L"pt")));
        return clampedPixels(std::trunc(std::min(whole, double(kMaxPixelSize)) * g_config.getPointFactor()));
    }
    return clampedPixels(g_config.parseLength(withoutUnit(fontSize, L"px")));
}

QFont CSVGElementTextContent::makeFont(const std::wstring& family, int pixelSize)
{
    QFont font(QString::fromStdWString(family));
    font.setPixelSize(pixelSize);
    return font;
}

QFont CSVGElementTextContent::getFont() const
{
    QFont font = makeFont(m_family, m_pixelSize);
    font.setWeight(m_bold ? 75 : 50);
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    return font;
}

void CSVGElementTextContent::readFontStyle()
{
    const std::wstring size = getStyleValue(L"font-size");
    if (!size.empty())
        m_pixelSize = pixelSizeOf(size);
    m_family = getStyleValue(L"font-family");
    if (m_family.empty() && getDocument())
        m_family = getDocument()->getDefaultFontFamily();
    m_italic = getStyleValue(L"font-style") == L"italic";
    m_underline = getStyleValue(L"text-decoration") == L"underline";
    m_bold = getStyleValue(L"font-weight") == L"bold";
    m_vertical = getStyleValue(L"writing-mode") == L"tb";
}

// A prefix lines up with the anchored whole run: the anchor moves it by the
// width of the whole run, not by its own.
CSVGRect CSVGElementTextContent::measureText(const std::wstring& text, double x, double y)
{
    return anchored(text, CSVGTextOutlines::outline(getFont(), QString::fromStdWString(text), QPointF(x, y)), x, y);
}

CSVGRect CSVGElementTextContent::anchored(const std::wstring& text, const QPainterPath& outline, double x, double y)
{
    CSVGRect box;
    box.setFromQRectF(outline.boundingRect());
    const std::wstring anchor = getStyleValue(L"text-anchor");
    if (!anchor.empty()) {
        const double width = text == getText() ? box.width : measureText(getText(), x, y).width;
        box.x += anchorShift(anchor, width);
    }
    return box;
}

// Without an anchor the outline measured is the outline kept.
void CSVGElementTextContent::layoutAt(double x, double y)
{
    m_path = QPainterPath();
    updateStyle(nullptr);
    readFontStyle();
    const QFont font = getFont();
    const QString text = QString::fromStdWString(getText());
    QPainterPath outline = CSVGTextOutlines::outline(font, text, QPointF(x, y));
    m_box = anchored(getText(), outline, x, y);
    const double shift = anchorShift(getStyleValue(L"text-anchor"), m_box.width);
    m_path = shift == 0 ? std::move(outline) : CSVGTextOutlines::outline(font, text, QPointF(x + shift, y));
}

CSVGElementTextContent* CSVGElementTextContent::replaceRuns(CSVGElement* element, const std::wstring& text, bool notify)
{
    while (CSVGElement* child = element->getChild(element->getChildCount() - 1)) {
        element->removeChild(child, notify);
        delete child;
    }
    auto* node = element->getDocument()
        ? dynamic_cast<CSVGElementTextContent*>(element->getDocument()->createElement(L"textcontent"))
        : nullptr;
    if (!node)
        return nullptr;
    element->appendChild(node, false, notify);
    node->setText(text, notify);
    return node;
}
