#include "CSVGElementEllipse.h"

#include "SvgCodes.h"

#include <cmath>

CSVGElementEllipse::CSVGElementEllipse(CSVGDocument* document)
    : CSVGElementShape(document, L"ellipse", SvgType::Ellipse)
{
}

bool CSVGElementEllipse::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    return readLengthField(name, value, { { L"cx", &m_cx }, { L"cy", &m_cy }, { L"rx", &m_rx }, { L"ry", &m_ry } });
}

bool CSVGElementEllipse::containsPoint(double cx, double cy, double rx, double ry, const QPointF& p)
{
    const auto atLeastTiny = [](double radius) { return std::fabs(radius) <= 0.0001 ? 0.0001 : radius; };
    const double dx = (cx - p.x()) / atLeastTiny(rx);
    const double dy = (cy - p.y()) / atLeastTiny(ry);
    return dx * dx + dy * dy <= 1.0;
}

bool CSVGElementEllipse::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    const double grow = strokeWidth();
    return hitLocal(
        x, y, id, [this, grow](const QPointF& p) { return containsPoint(m_cx, m_cy, m_rx + grow, m_ry + grow, p); });
}

void CSVGElementEllipse::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    m_path.addEllipse(QPointF(m_cx, m_cy), std::fabs(m_rx), std::fabs(m_ry));
    CSVGElementShape::updateGeometry();
}

void CSVGElementEllipse::computeBounds()
{
    m_box = CSVGRect(m_cx - m_rx, m_cy - m_ry, 2 * m_rx, 2 * m_ry);
}
