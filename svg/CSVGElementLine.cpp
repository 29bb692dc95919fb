#include "CSVGElementLine.h"

#include "CGlobalConfig.h"

#include <cmath>
#include <utility>

CSVGElementLine::CSVGElementLine(CSVGDocument* document)
    : CSVGElementShape(document, L"line", 65)
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

bool CSVGElementLine::hitTest(double x, int y, std::wstring&, std::wstring& id)
{
    QPointF p;
    if (!toLocal(x, y, p))
        return false;
    const double reach = strokeWidth() + 2.0;
    const QPointF start(m_x1, m_y1);
    const QPointF end(m_x2, m_y2);
    std::vector<QPointF> band(4);
    CGlobalConfig::segmentEndNormalPoints(start, end, band[0], band[1], -reach);
    CGlobalConfig::segmentEndNormalPoints(start, end, band[3], band[2], reach);
    if (!CGlobalConfig::pointInPolygon(band, p))
        return false;
    id = getId();
    return true;
}

int CSVGElementLine::hitTestHandle(double x, double y, const CSVGMatrix& matrix)
{
    CSVGMatrix inverse = matrix;
    inverse.multiply(getMatrix());
    if (!inverse.invert())
        return -1;
    const QPointF p = inverse.map(QPointF(x, y));
    const QPointF ends[] = { { m_x1, m_y1 }, { m_x2, m_y2 } };
    for (int i = 0; i < 2; ++i) {
        if (std::fabs(p.x() - std::trunc(ends[i].x())) < 3.0 && std::fabs(p.y() - std::trunc(ends[i].y())) < 3.0)
            return i;
    }
    return -1;
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
    setAttributeNumber(L"x1", m_x1, true);
    setAttributeNumber(L"y1", m_y1, true);
    setAttributeNumber(L"x2", m_x2, true);
    setAttributeNumber(L"y2", m_y2, true);
}

void CSVGElementLine::computeBounds()
{
    m_box = CSVGRect(std::min(m_x1, m_x2), std::min(m_y1, m_y2), std::fabs(m_x2 - m_x1), std::fabs(m_y2 - m_y1));
}
