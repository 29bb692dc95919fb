#include "CSVGElementCircle.h"

#include "CSVGElementEllipse.h"

CSVGElementCircle::CSVGElementCircle(CSVGDocument* document)
    : CSVGElementShape(document, L"circle", 20)
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
    case 100001:
    case 100003:
    case 100005:
    case 100007:
        return code;
    default:
        return -1;
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
