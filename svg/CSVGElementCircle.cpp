#include "CSVGElementCircle.h"

#include "CSVGElementEllipse.h"
#include "SvgCodes.h"

CSVGElementCircle::CSVGElementCircle(CSVGDocument* document)
    : CSVGElementShape(document, L"circle", SvgType::Circle)
{
}

bool CSVGElementCircle::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    return readLengthField(name, value, { { L"cx", &m_cx }, { L"cy", &m_cy }, { L"r", &m_r } });
}

std::set<std::wstring> CSVGElementCircle::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElementShape::getAttributeNames();
    names.insert({ L"r", L"cy", L"cx" });
    return names;
}

bool CSVGElementCircle::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    const double r = m_r + strokeWidth();
    return hitLocal(
        x, y, id, [this, r](const QPointF& p) { return CSVGElementEllipse::containsPoint(m_cx, m_cy, r, r, p); });
}

// The base tries the corners first, so its answer is a corner whenever one
// is hit.
int CSVGElementCircle::hitTestHandle(double x, double y, const CSVGMatrix& matrix)
{
    const int code = CSVGElementShape::hitTestHandle(x, y, matrix);
    switch (code) {
    case SelectionHandle::TopLeft:
    case SelectionHandle::TopRight:
    case SelectionHandle::BottomRight:
    case SelectionHandle::BottomLeft:
        return code;
    default:
        return SelectionHandle::None;
    }
}

void CSVGElementCircle::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    m_path.addEllipse(QRectF(m_cx - m_r, m_cy - m_r, 2 * m_r, 2 * m_r));
    CSVGElementShape::updateGeometry();
}

void CSVGElementCircle::computeBounds()
{
    m_box = CSVGRect(m_cx - m_r, m_cy - m_r, 2 * m_r, 2 * m_r);
}
