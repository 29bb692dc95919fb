#include "CSVGElementPolyline.h"

#include "CGlobalConfig.h"
#include "CSVGPointList.h"
#include "SvgCodes.h"

#include <algorithm>

CSVGElementPolyline::CSVGElementPolyline(CSVGDocument* document)
    : CSVGElementPolyline(document, L"polyline", SvgType::Polyline)
{
}

CSVGElementPolyline::CSVGElementPolyline(CSVGDocument* document, const std::wstring& tagName, std::uint16_t type)
    : CSVGElementShape(document, tagName, type)
{
}

std::wstring CSVGElementPolyline::pointsToText(const QPolygonF& points)
{
    return CSVGPointList::pointsToText(points);
}

// Also without notify: a value read while loading must not leave the cached
// outline of the old one behind.
bool CSVGElementPolyline::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (name != L"points")
        return false;
    m_points = CSVGPointList::parsePoints(value);
    setGeometryDirty();
    return true;
}

bool CSVGElementPolyline::containsPoint(const QPointF& p) const
{
    return CGlobalConfig::pointInPolygon(std::vector<QPointF>(m_points.begin(), m_points.end()), p);
}

bool CSVGElementPolyline::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    const bool filled = g_config.parseLength(getStyleValue(L"fill-opacity")) > 0.1;
    const double reach = strokeWidth() + 2;
    return hitLocal(x, y, id, [this, filled, reach](const QPointF& p) {
        if (filled)
            return containsPoint(p);
        for (int i = 0; i + 1 < m_points.size(); ++i) {
            if (isNearSegment(m_points[i], m_points[i + 1], reach, p))
                return true;
        }
        return false;
    });
}

bool CSVGElementPolyline::intersectsRect(const CSVGRect& rect)
{
    const CSVGMatrix matrix = getMatrix();
    return std::any_of(
        m_points.begin(), m_points.end(), [&](const QPointF& p) { return rect.containsPoint(matrix.map(p)); });
}

int CSVGElementPolyline::hitTestHandle(double x, double y, const CSVGMatrix& matrix)
{
    return pointHandleAt(x, y, matrix, m_points);
}

void CSVGElementPolyline::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    if (!m_points.isEmpty())
        m_path.addPolygon(m_points);
    if (isClosedOutline())
        m_path.closeSubpath();
    CSVGElementShape::updateGeometry();
}

void CSVGElementPolyline::computeBounds()
{
    m_box.setEmpty();
    if (m_points.isEmpty())
        return;
    m_box.setFromQRectF(m_points.boundingRect());
}
