#include "CSVGElementRect.h"

#include "SvgCodes.h"

CSVGElementRect::CSVGElementRect(CSVGDocument* document)
    : CSVGElementShape(document, L"rect", SvgType::Rect)
{
}

bool CSVGElementRect::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    return readLengthField(name, value,
        { { L"x", &m_x }, { L"y", &m_y }, { L"rx", &m_rx }, { L"ry", &m_ry }, { L"width", &m_width },
            { L"height", &m_height } });
}

std::set<std::wstring> CSVGElementRect::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElementShape::getAttributeNames();
    names.insert({ L"height", L"width", L"y", L"x", L"rx", L"ry" });
    return names;
}

QRectF CSVGElementRect::normalized() const
{
    return QRectF(m_x, m_y, m_width, m_height).normalized();
}

bool CSVGElementRect::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    CSVGRect area;
    area.setFromQRectF(normalized());
    const double grow = strokeWidth();
    return hitLocal(x, y, id, [&area, grow](const QPointF& p) { return area.inflated(grow, grow).containsPoint(p); });
}

// A zero radius stays zero: "rx" alone does not round the corners in y.
void CSVGElementRect::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    if (m_rx > 0 || m_ry > 0)
        m_path.addRoundedRect(m_x, m_y, m_width, m_height, m_rx, m_ry, Qt::AbsoluteSize);
    else
        m_path.addRect(m_x, m_y, m_width, m_height);
    CSVGElementShape::updateGeometry();
}

void CSVGElementRect::commitGeometry()
{
    const QRectF rect = normalized();
    if (rect.width() == 0 && rect.height() == 0)
        return;
    m_x = rect.x();
    m_y = rect.y();
    m_width = rect.width();
    m_height = rect.height();
    CSVGElementShape::commitGeometry();
    writeLengthFields({ { L"x", &m_x }, { L"y", &m_y }, { L"width", &m_width }, { L"height", &m_height } });
}

void CSVGElementRect::computeBounds()
{
    m_box = CSVGRect(m_x, m_y, m_width, m_height);
}
