#include "CSVGUtils.h"

#include "CSVGOutlineGrid.h"

#include <algorithm>
#include <cmath>

namespace {
bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.left()) && std::isfinite(rect.top()) && std::isfinite(rect.right())
        && std::isfinite(rect.bottom());
}

// A path contains another only when its bounds hold the other's bounds. The
// reach of a path is its bounds with a margin against rounding in the bounds
// of curves, so that no container is missed.
QRectF reach(const QRectF& bounds)
{
    const double margin = 1e-7 * std::max(bounds.width(), bounds.height()) + 1e-9;
    return bounds.adjusted(-margin, -margin, margin, margin);
}

bool holds(const QRectF& outer, const QRectF& inner)
{
    return inner.left() >= outer.left() && inner.right() <= outer.right() && inner.top() >= outer.top()
        && inner.bottom() <= outer.bottom();
}
} // namespace

double CSVGUtils::signedArea(const QPolygonF& polygon)
{
    if (polygon.isEmpty())
        return 0;
    double sum = 0;
    QPointF previous = polygon.last();
    for (const QPointF& p : polygon) {
        sum += previous.x() * p.y() - p.x() * previous.y();
        previous = p;
    }
    return sum * 0.5;
}

// Rebuilt element by element rather than split with toSubpathPolygons, so
// that curves stay curves in the outline's path.
std::vector<CSVGOutline> CSVGUtils::outlinesOfPath(const QPainterPath& path, CSVGElement* element)
{
    std::vector<CSVGOutline> outlines;
    QPainterPath subPath;
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.isMoveTo()) {
            if (!subPath.isEmpty())
                appendOutline(subPath, element, outlines);
            subPath = QPainterPath(e);
        } else if (e.isLineTo()) {
            subPath.lineTo(e);
        } else if (e.isCurveTo()) {
            if (i + 2 >= count)
                break;
            subPath.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
            i += 2;
        }
    }
    if (!subPath.isEmpty())
        appendOutline(subPath, element, outlines);
    return outlines;
}

void CSVGUtils::appendOutline(const QPainterPath& subPath, CSVGElement* element, std::vector<CSVGOutline>& outlines)
{
    const QList<QPolygonF> polygons = pathToPolygons(subPath, QTransform());
    if (polygons.isEmpty())
        return;
    CSVGOutline outline;
    outline.element = element;
    outline.closed = polygons.first().isClosed();
    outline.path = signedArea(polygons.first()) < 0 ? subPath.toReversed() : subPath;
    outlines.push_back(std::move(outline));
}

bool CSVGUtils::insertIntoContainer(const CSVGOutline& outline, std::vector<CSVGOutline>& outlines)
{
    for (CSVGOutline& container : outlines) {
        if (container.path.contains(outline.path)) {
            container.children.push_back(outline);
            return true;
        }
    }
    return false;
}

std::vector<CSVGOutline> CSVGUtils::nestOutlines(std::vector<CSVGOutline> outlines, double minimumArea)
{
    for (CSVGOutline& outline : outlines)
        outline.area = std::abs(signedArea(outline.path.toFillPolygon()));
    const auto unusable = [minimumArea](const CSVGOutline& outline) {
        return !std::isfinite(outline.area) || outline.area < minimumArea || !isFinite(outline.path.boundingRect());
    };
    outlines.erase(std::remove_if(outlines.begin(), outlines.end(), unusable), outlines.end());
    std::stable_sort(
        outlines.begin(), outlines.end(), [](const CSVGOutline& a, const CSVGOutline& b) { return a.area < b.area; });

    const std::vector<int> containers = findContainers(outlines);
    std::vector<CSVGOutline> units;
    // Containers come later in the vector than what they hold, so each
    // outline is complete with its children when it moves.
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        if (containers[i] < 0)
            units.push_back(std::move(outlines[i]));
        else
            outlines[std::size_t(containers[i])].children.push_back(std::move(outlines[i]));
    }
    return units;
}

// For each outline the position of the first later outline that contains
// it, or -1.
std::vector<int> CSVGUtils::findContainers(const std::vector<CSVGOutline>& outlines)
{
    std::vector<QRectF> bounds;
    std::vector<QRectF> reaches;
    bounds.reserve(outlines.size());
    reaches.reserve(outlines.size());
    for (const CSVGOutline& outline : outlines) {
        bounds.push_back(outline.path.boundingRect());
        reaches.push_back(reach(bounds.back()));
    }
    const CSVGOutlineGrid grid(reaches);
    std::vector<int> containers(outlines.size(), -1);
    for (int i = 0; i < int(outlines.size()); ++i) {
        const QRectF& inner = bounds[std::size_t(i)];
        const std::vector<int>& candidates = grid.candidates(inner.center());
        for (auto j = std::upper_bound(candidates.begin(), candidates.end(), i); j != candidates.end(); ++j) {
            const std::size_t k = std::size_t(*j);
            if (holds(reaches[k], inner) && outlines[k].path.contains(outlines[std::size_t(i)].path)) {
                containers[std::size_t(i)] = *j;
                break;
            }
        }
    }
    return containers;
}
