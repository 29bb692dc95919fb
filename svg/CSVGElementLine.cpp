#include "CSVGElementLine.h"

#include "SvgCodes.h"

#include <algorithm>
#include <cmath>
#include <utility>

CSVGElementLine::CSVGElementLine(CSVGDocument* document)
    : CSVGElementShape(document, L"line", SvgType::Line)
{
}

bool CSVGElementLine::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    return readLengthField(name, value, { { L"x1", &m_x1 }, { L"y1", &m_y1 }, { L"x2", &m_x2 }, { L"y2", &m_y2 } });
}

std::set<std::wstring> CSVGElementLine::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElementShape::getAttributeNames();
    names.insert({ L"y2", L"x2", L"y1", L"x1" });
    return names;
}

bool CSVGElementLine::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    const double reach = strokeWidth() + 2.0;
    return hitLocal(x, y, id, [this, reach](const QPointF& p) {
        return isNearSegment({ m_x1, m_y1 }, { m_x2, m_y2 }, reach, p);
    });
}

int CSVGElementLine::hitTestHandle(double x, double y, const CSVGMatrix& matrix)
{
    QPolygonF ends;
    ends << QPointF(std::trunc(m_x1), std::trunc(m_y1)) << QPointF(std::trunc(m_x2), std::trunc(m_y2));
    return pointHandleAt(x, y, matrix, ends);
}

void CSVGElementLine::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    m_path.moveTo(m_x1, m_y1);
    m_path.lineTo(m_x2, m_y2);
    CSVGElementShape::updateGeometry();
}

void CSVGElementLine::commitGeometry()
{
    if (m_x1 <= m_x2)
        return;
    std::swap(m_x1, m_x2);
    std::swap(m_y1, m_y2);
    CSVGElementShape::commitGeometry();
    writeLengthFields({ { L"x1", &m_x1 }, { L"y1", &m_y1 }, { L"x2", &m_x2 }, { L"y2", &m_y2 } });
}

void CSVGElementLine::computeBounds()
{
    m_box = CSVGRect(std::min(m_x1, m_x2), std::min(m_y1, m_y2), std::fabs(m_x2 - m_x1), std::fabs(m_y2 - m_y1));
}
