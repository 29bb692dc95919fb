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
    if (isOneSubPath(path)) {
        QPainterPath subPath = path;
        subPath.setFillRule(Qt::OddEvenFill);
        appendOutline(subPath, element, outlines);
        return outlines;
    }
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

// A path that the walk below would rebuild element for element, as most
// pieces are: one move, then whole segments.
bool CSVGUtils::isOneSubPath(const QPainterPath& path)
{
    const int count = path.elementCount();
    if (count == 0 || !path.elementAt(0).isMoveTo())
        return false;
    for (int i = 1; i < count; ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (e.isMoveTo())
            return false;
        if (e.isCurveTo()) {
            if (i + 2 >= count)
                return false;
            i += 2;
        }
    }
    return true;
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
    return nest(std::move(outlines), minimumArea, nullptr);
}

std::vector<CSVGOutline> CSVGUtils::nestOutlines(
    std::vector<CSVGOutline> outlines, double minimumArea, const std::vector<int>& parents)
{
    if (parents.size() != outlines.size())
        return {};
    return nest(std::move(outlines), minimumArea, &parents);
}

std::vector<CSVGOutline> CSVGUtils::nest(
    std::vector<CSVGOutline> outlines, double minimumArea, const std::vector<int>* parents)
{
    for (CSVGOutline& outline : outlines) {
        if (!parents || outline.area == 0)
            outline.area = std::abs(signedArea(outline.path.toFillPolygon()));
    }
    const auto usable = [minimumArea](const CSVGOutline& outline) {
        return std::isfinite(outline.area) && outline.area >= minimumArea && isFinite(outline.path.boundingRect());
    };
    // Positions of the usable outlines, ascending by area.
    std::vector<int> order;
    order.reserve(outlines.size());
    for (int i = 0; i < int(outlines.size()); ++i) {
        if (usable(outlines[std::size_t(i)]))
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
        [&outlines](int a, int b) { return outlines[std::size_t(a)].area < outlines[std::size_t(b)].area; });
    std::vector<CSVGOutline> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.push_back(std::move(outlines[std::size_t(i)]));
    const std::vector<int> containers = parents ? knownContainers(*parents, order) : findContainers(sorted);

    std::vector<CSVGOutline> units;
    // Containers come later in the vector than what they hold, so each
    // outline is complete with its children when it moves.
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (containers[i] < 0)
            units.push_back(std::move(sorted[i]));
        else
            sorted[std::size_t(containers[i])].children.push_back(std::move(sorted[i]));
    }
    return units;
}

// The smallest outline that holds another is its nearest ancestor that is
// kept: an outline too small to keep holds only smaller ones, which go too.
std::vector<int> CSVGUtils::knownContainers(const std::vector<int>& parents, const std::vector<int>& order)
{
    std::vector<int> sortedPosition(parents.size(), -1);
    for (int i = 0; i < int(order.size()); ++i)
        sortedPosition[std::size_t(order[std::size_t(i)])] = i;
    std::vector<int> containers(order.size(), -1);
    for (std::size_t i = 0; i < order.size(); ++i) {
        int parent = parents[std::size_t(order[i])];
        // Bounded by the count, so that a cycle in the parents ends too.
        for (std::size_t steps = 0; parent >= 0 && std::size_t(parent) < parents.size() && steps < parents.size();
             ++steps) {
            const int position = sortedPosition[std::size_t(parent)];
            if (position > int(i)) {
                containers[i] = position;
                break;
            }
            parent = parents[std::size_t(parent)];
        }
    }
    return containers;
}

// For each outline the position of the first later outline that contains
// it, or -1.
std::vector<int> CSVGUtils::findContainers(const std::vector<CSVGOutline>& outlines)
{
    if (outlines.size() < 2)
        return std::vector<int>(outlines.size(), -1);
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
