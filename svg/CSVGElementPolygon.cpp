#include "CSVGElementPolygon.h"

#include "SvgCodes.h"

#include <algorithm>

CSVGElementPolygon::CSVGElementPolygon(CSVGDocument* document)
    : CSVGElementPolyline(document, L"polygon", SvgType::Polygon)
{
}

bool CSVGElementPolygon::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    return hitLocal(x, y, id, [this](const QPointF& p) { return containsPoint(p); });
}

// Only a closing point that repeats the first one is dropped: the ring of a
// polygon written without it keeps every corner.
void CSVGElementPolygon::commitGeometry()
{
    if (!isValidPolygon())
        return;
    QPolygonF ring = m_points;
    if (ring.first() == ring.last())
        ring.removeLast();
    int leftmost = 0;
    for (int i = 1; i < ring.size(); ++i) {
        if (ring[i].x() < ring[leftmost].x())
            leftmost = i;
    }
    if (leftmost == 0)
        return;
    std::rotate(ring.begin(), ring.begin() + leftmost, ring.end());
    ring.append(ring.first());
    m_points = ring;
    CSVGElementShape::commitGeometry();
    setAttribute(L"points", pointsToText(m_points), true);
}
