#include "CSVGUtils.h"

#include "CGlobalConfig.h"
#include "CSVGBezierFlattener.h"

#include <cmath>

namespace {
bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// The next polygon gets room for the elements of its sub-path, which a
// polygon of lines fills exactly.
void finishPolygon(QPolygonF& polygon, QList<QPolygonF>& polygons, const QPainterPath& path, int start)
{
    if (polygon.size() > 1)
        polygons.append(polygon);
    polygon = QPolygonF();
    int end = start + 1;
    while (end < path.elementCount() && !path.elementAt(end).isMoveTo())
        ++end;
    polygon.reserve(end - start);
}
} // namespace

QList<QPolygonF> CSVGUtils::pathToPolygons(const QPainterPath& path, const QTransform& transform)
{
    return pathToPolygons(path, transform, g_config.getSetting(QStringLiteral("BezierFlatteningThreshold")).toDouble());
}

QList<QPolygonF> CSVGUtils::pathToPolygons(const QPainterPath& path, const QTransform& transform, double tolerance)
{
    const CSVGBezierFlattener flattener(tolerance);
    QList<QPolygonF> polygons;
    if (path.isEmpty())
        return polygons;

    QPolygonF polygon;
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& element = path.elementAt(i);
        const QPointF point = transform.map(QPointF(element.x, element.y));
        switch (element.type) {
        case QPainterPath::MoveToElement:
            finishPolygon(polygon, polygons, path, i);
            if (isFinite(point))
                polygon.append(point);
            break;
        case QPainterPath::LineToElement:
            if (isFinite(point))
                polygon.append(point);
            break;
        case QPainterPath::CurveToElement:
            if (i == 0 || i + 2 >= count)
                break;
            flattener.flatten(transform.map(QPointF(path.elementAt(i - 1))), point,
                transform.map(QPointF(path.elementAt(i + 1))), transform.map(QPointF(path.elementAt(i + 2))), polygon);
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (polygon.size() > 1)
        polygons.append(polygon);
    return polygons;
}

std::wstring CSVGUtils::replaceAll(std::wstring text, std::wstring from, std::wstring to)
{
    if (from.empty())
        return text;
    const bool shortens = to.size() < from.size();
    std::wstring::size_type position = text.find(from);
    while (position != std::wstring::npos) {
        text.replace(position, from.size(), to);
        // Everything in front of the replaced occurrence was searched already
        // and is unchanged, so a new occurrence can begin at the earliest
        // where it overlaps the inserted text.
        if (shortens)
            position = position >= from.size() ? position - from.size() + 1 : 0;
        else
            position += to.size();
        position = text.find(from, position);
    }
    return text;
}
