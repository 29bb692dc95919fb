#include "CSVGElementText.h"

#include "CSVGDocument.h"
#include "CSVGElementTextContent.h"
#include "CSVGElementTspan.h"
#include "SvgCodes.h"

namespace {

constexpr int kFallbackPixelSize = 16;

} // namespace

CSVGElementText::CSVGElementText(CSVGDocument* document)
    : CSVGElementShape(document, L"text", SvgType::Text)
{
}

bool CSVGElementText::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    return readLengthField(name, value, { { L"x", &m_x }, { L"y", &m_y } });
}

void CSVGElementText::setAttribute(const std::wstring& name, const std::wstring& value, bool notify)
{
    CSVGElementShape::setAttribute(name, value, notify);
    if (notify)
        setGeometryDirty();
}

std::wstring CSVGElementText::getText() const
{
    std::wstring text;
    for (int i = 0; i < getChildCount(); ++i) {
        const CSVGElement* child = getChild(i);
        if (dynamic_cast<const CSVGElementTextContent*>(child)) {
            text += child->getText();
        } else if (dynamic_cast<const CSVGElementTspan*>(child)) {
            for (int k = 0; k < child->getChildCount(); ++k) {
                if (dynamic_cast<const CSVGElementTextContent*>(child->getChild(k)))
                    text += child->getChild(k)->getText();
            }
        }
    }
    return text;
}

void CSVGElementText::setText(const std::wstring& text, bool notify)
{
    CSVGElementTextContent::replaceRuns(this, text, notify);
    setModified(true);
}

bool CSVGElementText::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    return hitTestBox(x, y, id);
}

// "writing-mode" is not inherited, so it is found as an attribute unless a
// "style" declaration sets it.
bool CSVGElementText::isVertical()
{
    const std::wstring mode = getStyleValue(L"writing-mode");
    return (mode.empty() ? getAttribute(L"writing-mode") : mode) == L"tb";
}

// A run advances past the box of the run before it only where the kind of
// run changes; a tspan also moves the pen to its own position.
void CSVGElementText::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    updateStyle(nullptr);
    m_path = QPainterPath();
    const bool vertical = isVertical();
    QPointF pen(m_x, m_y);
    QPointF advance;
    CSVGElementShape* previous = nullptr;
    std::vector<CSVGElementShape*> runs;
    for (int i = 0; i < getChildCount(); ++i) {
        auto* tspan = dynamic_cast<CSVGElementTspan*>(getChild(i));
        auto* node = tspan ? nullptr : dynamic_cast<CSVGElementTextContent*>(getChild(i));
        CSVGElementShape* run = tspan ? static_cast<CSVGElementShape*>(tspan) : node;
        if (!run)
            continue;
        if (previous && previous->getType() != run->getType()) {
            const CSVGRect box = previous->getBoundingRect();
            if (vertical)
                advance.setY(box.height);
            else
                advance.setX(box.width);
        }
        const QPointF at = pen + advance;
        if (tspan) {
            tspan->layoutAt(at.x(), at.y());
            pen = tspan->getPosition() + tspan->getOffset();
        } else {
            node->layoutAt(at.x(), at.y());
        }
        runs.push_back(run);
        previous = run;
    }
    m_path = joinOutlines(runs);
    CSVGElementShape::updateGeometry();
}

void CSVGElementText::computeBounds()
{
    m_box.setEmpty();
    bool first = true;
    for (int i = 0; i < getChildCount(); ++i) {
        CSVGElementShape* run = asShape(getChild(i));
        if (!dynamic_cast<CSVGElementTspan*>(run) && !dynamic_cast<CSVGElementTextContent*>(run))
            continue;
        const CSVGRect box = run->getBoundingRect();
        if (box.isEmpty())
            continue;
        m_box = first ? box : m_box.united(box);
        first = false;
    }
    if (!first)
        return;
    std::wstring family = getStyleValue(L"font-family");
    if (family.empty() && getDocument())
        family = getDocument()->getDefaultFontFamily();
    const std::wstring size = getStyleValue(L"font-size");
    const int pixels = size.empty() ? kFallbackPixelSize : CSVGElementTextContent::pixelSizeOf(size);
    QPainterPath letter;
    letter.addText(QPointF(m_x, m_y), CSVGElementTextContent::makeFont(family, pixels), QStringLiteral("I"));
    m_box.setFromQRectF(letter.boundingRect());
}

CSVGRect CSVGElementText::getTextRect(int n)
{
    updateGeometry();
    auto* node = getChildCount() == 1 ? dynamic_cast<CSVGElementTextContent*>(getChild(0)) : nullptr;
    if (!node)
        return CSVGRect();
    const std::wstring text = node->getText();
    const bool all = n < 0 || static_cast<size_t>(n) >= text.size();
    CSVGRect rect = node->measureText(all ? text : text.substr(0, static_cast<size_t>(n)), m_x, m_y);
    if (rect.isEmpty()) {
        rect = node->measureText(L"|", m_x, m_y);
        rect.x = m_x;
        rect.width = 1.0;
    }
    return rect;
}
