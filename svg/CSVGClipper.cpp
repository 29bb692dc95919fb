#include "CSVGClipper.h"

#include "CSVGGeosBuffer.h"
#include "CSVGUtils.h"
#include "DouglasPeuckerSimplify.h"
#include "ParallelLoop.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <utility>

namespace {
// The library's own arc tolerance when it is given none.
constexpr double kDefaultArcTolerance = 0.25;

bool isJoinType(ClipperLib::JoinType type)
{
    return type == ClipperLib::jtSquare || type == ClipperLib::jtRound || type == ClipperLib::jtMiter;
}

bool isEndType(ClipperLib::EndType type)
{
    return type >= ClipperLib::etClosedPolygon && type <= ClipperLib::etOpenRound;
}

bool inRange(const ClipperLib::Paths& paths)
{
    for (const ClipperLib::Path& path : paths) {
        for (const ClipperLib::IntPoint& p : path) {
            if (std::abs(double(p.X)) > CSVGClipper::kLimit || std::abs(double(p.Y)) > CSVGClipper::kLimit)
                return false;
        }
    }
    return true;
}
} // namespace

bool CSVGClipper::toPath(const QPolygonF& polygon, ClipperLib::Path& path, bool reversed)
{
    ClipperLib::Path result(std::size_t(polygon.size()));
    const int last = int(polygon.size()) - 1;
    for (int i = 0; i <= last; ++i) {
        if (!toIntPoint(polygon[reversed ? last - i : i], result[std::size_t(i)]))
            return false;
    }
    path = std::move(result);
    return true;
}

void CSVGClipper::unscale(const ClipperLib::Path& path, QPointF* out)
{
    for (const ClipperLib::IntPoint& p : path)
        *out++ = QPointF(double(p.X) / kScale, double(p.Y) / kScale);
}

// With room for a closing point, which most callers add.
QPolygonF CSVGClipper::toPolygon(const ClipperLib::Path& path)
{
    QPolygonF polygon;
    polygon.reserve(int(path.size()) + 1);
    polygon.resize(int(path.size()));
    unscale(path, polygon.data());
    return polygon;
}

// The rings of a large round offset come from GEOS into rings; all others
// are left in solution for the caller to turn into rings.
bool CSVGClipper::offsetPaths(const QPolygonF& polygon, double delta, double arcTolerance,
    ClipperLib::JoinType joinType, ClipperLib::EndType endType, std::vector<QPolygonF>& rings,
    ClipperLib::Paths& solution)
{
    const double scaledDelta = delta * kScale;
    const double scaledArcTolerance = arcTolerance * kScale;
    ClipperLib::Path path;
    if (polygon.isEmpty() || !fits(scaledDelta) || !std::isfinite(scaledArcTolerance) || !isJoinType(joinType)
        || !isEndType(endType) || !toPath(polygon, path))
        return false;
    if (joinType == ClipperLib::jtRound && endType == ClipperLib::etClosedPolygon && polygon.size() >= kLargeRing
        && CSVGGeosBuffer::roundOffset(
            polygon, delta, quadrantSegmentsFor(arcToleranceFor(scaledArcTolerance, scaledDelta), scaledDelta), rings))
        return false;
    try {
        ClipperLib::ClipperOffset offset(kMiterLimit, arcToleranceFor(scaledArcTolerance, scaledDelta));
        offset.AddPath(path, joinType, endType);
        offset.Execute(solution, scaledDelta);
    } catch (const std::exception&) {
        solution.clear();
        return false;
    }
    return true;
}

// The ring of the path, closed by a copy of its first point, in place of
// what ring held; false for an empty path.
bool CSVGClipper::toRing(const ClipperLib::Path& path, QPolygonF& ring)
{
    if (path.empty())
        return false;
    ring.resize(int(path.size()) + 1);
    unscale(path, ring.data());
    ring.last() = ring.first();
    return true;
}

std::vector<QPolygonF> CSVGClipper::offsetRings(const QPolygonF& polygon, double delta, double arcTolerance,
    ClipperLib::JoinType joinType, ClipperLib::EndType endType)
{
    std::vector<QPolygonF> rings;
    ClipperLib::Paths solution;
    if (!offsetPaths(polygon, delta, arcTolerance, joinType, endType, rings, solution))
        return rings;
    rings.reserve(solution.size());
    for (const ClipperLib::Path& result : solution) {
        QPolygonF ring;
        if (toRing(result, ring))
            rings.push_back(std::move(ring));
    }
    return rings;
}

// Each ring of the library is reduced from the thread's own working ring,
// kept for its next one: a command offsets thousands of small pieces in a
// row, and only the reduced ring needs room of its own.
std::vector<QPolygonF> CSVGClipper::offsetOutline(const QPolygonF& polygon, double delta, double arcTolerance,
    ClipperLib::JoinType joinType, ClipperLib::EndType endType)
{
    std::vector<QPolygonF> rings;
    ClipperLib::Paths solution;
    const DouglasPeuckerSimplify simplifier;
    if (!offsetPaths(polygon, delta, arcTolerance, joinType, endType, rings, solution)) {
        for (QPolygonF& ring : rings) {
            QPolygonF reduced = simplifier.simplify(ring);
            if (reduced.size() >= 3)
                ring = std::move(reduced);
        }
        return rings;
    }
    thread_local QPolygonF working;
    rings.reserve(solution.size());
    for (const ClipperLib::Path& result : solution) {
        if (!toRing(result, working))
            continue;
        QPolygonF reduced = simplifier.simplify(working);
        if (reduced.size() < 3) {
            reduced = working;
            reduced.detach();
        }
        rings.push_back(std::move(reduced));
    }
    if (working.capacity() > 65536)
        QPolygonF().swap(working);
    return rings;
}

// A round join divides a full turn into pi / acos(1 - tolerance / |delta|)
// steps; the library bounds that only by |delta| pi, which for a large
// distance and a fine tolerance means millions of points per corner. The
// tolerance is raised just enough to keep a full turn within the maximum.
double CSVGClipper::arcToleranceFor(double scaledArcTolerance, double scaledDelta)
{
    const double coarsest = std::abs(scaledDelta) * (1 - std::cos(3.14159265358979323846 / kMaximumArcSteps));
    const double requested = scaledArcTolerance > 0 ? scaledArcTolerance : kDefaultArcTolerance;
    return coarsest > requested ? coarsest : scaledArcTolerance;
}

namespace {
template <typename Solution>
bool run(ClipperLib::ClipType type, const ClipperLib::Paths& subject, const ClipperLib::Paths& clip, Solution& solution)
{
    if (type < ClipperLib::ctIntersection || type > ClipperLib::ctXor || !inRange(subject) || !inRange(clip))
        return false;
    try {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(subject, ClipperLib::ptSubject, true);
        clipper.AddPaths(clip, ClipperLib::ptClip, true);
        return clipper.Execute(type, solution, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    } catch (const std::exception&) {
        return false;
    }
}
} // namespace

// The steps of a quarter turn that the library's round join would take with
// this tolerance, from its own formula (both in integer units).
int CSVGClipper::quadrantSegmentsFor(double scaledArcTolerance, double scaledDelta)
{
    const double distance = std::abs(scaledDelta);
    double tolerance = scaledArcTolerance;
    if (tolerance <= 0)
        tolerance = kDefaultArcTolerance;
    else if (tolerance > distance * kDefaultArcTolerance)
        tolerance = distance * kDefaultArcTolerance;
    const double pi = 3.14159265358979323846;
    const double steps = std::min(pi / std::acos(1 - tolerance / distance), distance * pi);
    return std::max(1, int(std::lround(steps / 4)));
}

ClipperLib::Paths CSVGClipper::execute(
    ClipperLib::ClipType type, const ClipperLib::Paths& subject, const ClipperLib::Paths& clip)
{
    ClipperLib::Paths solution;
    if (!run(type, subject, clip, solution))
        return {};
    return solution;
}

bool CSVGClipper::executeNested(ClipperLib::ClipType type, const ClipperLib::Paths& subject,
    const ClipperLib::Paths& clip, ClipperLib::PolyTree& tree)
{
    if (run(type, subject, clip, tree))
        return true;
    tree.Clear();
    return false;
}

namespace {
// Below this many points, or pieces per strip, the threads cost more than
// the strips save.
const std::size_t kStripMinimumPoints = 20000;
const std::size_t kStripMinimumPieces = 32;

// The pieces in strips across the drawing by the middle of their boxes, each
// strip about as many points as the next.
std::vector<ClipperLib::Paths> strips(
    const ClipperLib::Paths& subject, const std::vector<std::size_t>& starts, std::size_t count, std::size_t points)
{
    struct Piece
    {
        double middle;
        std::size_t first;
        std::size_t end;
    };
    std::vector<Piece> pieces;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : subject.size();
        ClipperLib::cInt left = ClipperLib::hiRange;
        ClipperLib::cInt right = -ClipperLib::hiRange;
        for (std::size_t path = starts[i]; path < end; ++path)
            for (const ClipperLib::IntPoint& point : subject[path]) {
                left = std::min(left, point.X);
                right = std::max(right, point.X);
            }
        pieces.push_back({ 0.5 * double(left) + 0.5 * double(right), starts[i], end });
    }
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.middle < b.middle; });
    std::vector<ClipperLib::Paths> result(1);
    std::size_t taken = 0;
    for (const Piece& piece : pieces) {
        if (taken >= points * result.size() / count && result.size() < count)
            result.emplace_back();
        for (std::size_t path = piece.first; path < piece.end; ++path) {
            result.back().push_back(subject[path]);
            taken += subject[path].size();
        }
    }
    return result;
}
} // namespace

bool CSVGClipper::uniteNested(
    const ClipperLib::Paths& subject, const std::vector<std::size_t>& pieceStarts, ClipperLib::PolyTree& tree)
{
    std::size_t points = 0;
    for (const ClipperLib::Path& path : subject)
        points += path.size();
    // As many strips as threads are free now: on a busy machine the strips'
    // extra union would only cost time.
    const std::size_t count
        = std::min(std::size_t(ParallelLoop::threadCount(0)), pieceStarts.size() / kStripMinimumPieces);
    if (count < 2 || points < kStripMinimumPoints || !inRange(subject))
        return executeNested(ClipperLib::ctUnion, subject, {}, tree);
    std::vector<ClipperLib::Paths> united = strips(subject, pieceStarts, count, points);
    std::vector<char> done(united.size(), 0);
    ParallelLoop::run(int(united.size()), int(count), [&](int i) {
        try {
            ClipperLib::Clipper clipper;
            clipper.AddPaths(united[std::size_t(i)], ClipperLib::ptSubject, true);
            done[std::size_t(i)] = clipper.Execute(ClipperLib::ctUnion, united[std::size_t(i)], ClipperLib::pftNonZero,
                                       ClipperLib::pftNonZero)
                ? 1
                : 0;
        } catch (const std::exception&) {
        }
    });
    if (std::find(done.begin(), done.end(), 0) != done.end())
        return executeNested(ClipperLib::ctUnion, subject, {}, tree);
    ClipperLib::Paths outlines;
    for (ClipperLib::Paths& strip : united)
        std::move(strip.begin(), strip.end(), std::back_inserter(outlines));
    return executeNested(ClipperLib::ctUnion, outlines, {}, tree);
}

// Depth first with an explicit stack: nesting as deep as a drawing has
// rings inside rings must not exhaust the call stack.
bool CSVGClipper::addNestedPath(const CSVGOutline& outline, bool reversed, ClipperLib::Paths& paths)
{
    std::vector<std::pair<const CSVGOutline*, bool>> pending { { &outline, reversed } };
    while (!pending.empty()) {
        const auto [current, backwards] = pending.back();
        pending.pop_back();
        const QList<QPolygonF> polygons = CSVGUtils::pathToPolygons(current->path, QTransform());
        if (polygons.isEmpty())
            continue;
        ClipperLib::Path path;
        if (!toPath(polygons.first(), path, backwards))
            return false;
        paths.push_back(std::move(path));
        for (auto child = current->children.rbegin(); child != current->children.rend(); ++child)
            pending.emplace_back(&*child, !backwards);
    }
    return true;
}

bool CSVGClipper::addCutPaths(const QPainterPath& line, ClipperLib::Paths& paths)
{
    if (line.elementCount() == 2) {
        ClipperLib::IntPoint a, b;
        if (!toIntPoint(line.elementAt(0), a) || !toIntPoint(line.elementAt(1), b))
            return false;
        ClipperLib::Path sliver = cutSliver(a, b);
        if (!sliver.empty())
            paths.push_back(std::move(sliver));
        return true;
    }
    for (const QPolygonF& polygon : CSVGUtils::pathToPolygons(line, QTransform())) {
        ClipperLib::Path path;
        if (!toPath(polygon, path))
            return false;
        paths.push_back(std::move(path));
    }
    return true;
}

// The offset is rounded to whole units, which turns it by at most a few
// degrees away from the perpendicular; a width of several units keeps the
// strip's two sides on different integer points wherever they cross an
// edge, so the pieces on either side do not touch.
ClipperLib::Path CSVGClipper::cutSliver(const ClipperLib::IntPoint& a, const ClipperLib::IntPoint& b)
{
    const double dx = double(b.X) - double(a.X);
    const double dy = double(b.Y) - double(a.Y);
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return {};
    const auto nx = ClipperLib::cInt(std::llround(-dy / length * kSliverWidth));
    const auto ny = ClipperLib::cInt(std::llround(dx / length * kSliverWidth));
    return { a, b, ClipperLib::IntPoint(b.X + nx, b.Y + ny), ClipperLib::IntPoint(a.X + nx, a.Y + ny) };
}

std::vector<CSVGOutline> CSVGClipper::ringOutlines(const ClipperLib::Paths& rings, CSVGElement* element)
{
    std::vector<CSVGOutline> outlines;
    outlines.reserve(rings.size());
    for (const ClipperLib::Path& ring : rings) {
        if (!ring.empty())
            outlines.push_back(ringOutline(ring, element));
    }
    return outlines;
}

// Pre-order with an explicit stack: rings may nest as deep as a drawing has
// rings inside rings.
std::vector<CSVGOutline> CSVGClipper::ringOutlines(
    const ClipperLib::PolyTree& tree, CSVGElement* element, std::vector<int>& parents)
{
    std::vector<CSVGOutline> outlines;
    outlines.reserve(std::size_t(tree.Total()));
    parents.clear();
    parents.reserve(std::size_t(tree.Total()));
    std::vector<std::pair<const ClipperLib::PolyNode*, int>> pending;
    pending.reserve(std::size_t(tree.Total()));
    for (auto child = tree.Childs.rbegin(); child != tree.Childs.rend(); ++child)
        pending.emplace_back(*child, -1);
    while (!pending.empty()) {
        const auto [node, parent] = pending.back();
        pending.pop_back();
        int position = parent;
        if (!node->Contour.empty()) {
            position = int(outlines.size());
            outlines.push_back(ringOutline(node->Contour, element));
            outlines.back().area = std::abs(ClipperLib::Area(node->Contour)) / (kScale * kScale);
            parents.push_back(parent);
        }
        for (auto child = node->Childs.rbegin(); child != node->Childs.rend(); ++child)
            pending.emplace_back(*child, position);
    }
    return outlines;
}

CSVGOutline CSVGClipper::ringOutline(const ClipperLib::Path& ring, CSVGElement* element)
{
    CSVGOutline outline;
    outline.element = element;
    outline.closed = true;
    outline.path.reserve(int(ring.size()) + 1);
    const QPointF first(double(ring.front().X) / kScale, double(ring.front().Y) / kScale);
    outline.path.moveTo(first);
    for (std::size_t i = 1; i < ring.size(); ++i)
        outline.path.lineTo(double(ring[i].X) / kScale, double(ring[i].Y) / kScale);
    outline.path.lineTo(first);
    return outline;
}
