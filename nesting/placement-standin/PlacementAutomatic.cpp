#include "PlacementAutomatic.h"

#include "PlacementParallel.h"

#include <QCoreApplication>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace ClipperLib;

namespace Vantor {
namespace Placement {

namespace {
// A user knows a piece by its size and where it lies, not by its id.
QString aboutPiece(const QString& text, const PlacementCompositePolygon& shape)
{
    const QRectF box = shape.boundingRect();
    const auto millimetres = [](double value) { return QString::number(value, 'f', 1); };
    return text.arg(
        millimetres(box.width()), millimetres(box.height()), millimetres(box.left()), millimetres(box.top()));
}
} // namespace

bool PlacementAutomatic::start(const QVector<PieceInfo>& pieces, const PlacementSettings& settings)
{
    *this = PlacementAutomatic();
    m_error = settings.validate();
    if (!m_error.isEmpty())
        return false;
    m_settings = settings;
    m_pieces = pieces;
    for (int i = 0; i < pieces.size(); ++i) {
        if (!PlacementGeometry::isUsable(pieces[i].shape)) {
            m_error = aboutPiece(QCoreApplication::translate("PlacementAutomatic",
                                     "The outline of the piece of %1 × %2 mm at (%3, %4) is empty or too large."),
                pieces[i].shape);
            return false;
        }
        bool fits = false;
        for (int turn = 0; turn < settings.rotations && !fits; ++turn) {
            PlacementCompositePolygon turned;
            for (const PlacementPolygon& part : pieces[i].shape.parts)
                turned.parts.append(QTransform().rotate(angleOf(turn)).map(part));
            fits = turned.boundingRect().height() <= settings.rollWidth;
        }
        if (!fits) {
            m_error = aboutPiece(QCoreApplication::translate("PlacementAutomatic",
                                     "The piece of %1 × %2 mm at (%3, %4) is wider than the roll."),
                pieces[i].shape);
            return false;
        }
    }
    m_shapes.resize(pieces.size());
    m_order.resize(pieces.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(
        m_order.begin(), m_order.end(), [&](int a, int b) { return pieces[a].shape.area() > pieces[b].shape.area(); });
    return true;
}

bool PlacementAutomatic::step()
{
    if (!m_error.isEmpty() || m_next >= int(m_order.size()))
        return false;
    try {
        return placeNext();
    } catch (const std::exception& error) {
        // The clipping library refuses coordinates beyond its range.
        m_error = QString::fromUtf8(error.what());
        m_placed.clear();
        return false;
    }
}

double PlacementAutomatic::angleOf(int turn) const
{
    return 360.0 * turn / m_settings.rotations;
}

bool PlacementAutomatic::placeNext()
{
    const int piece = m_order[m_next];
    // Each piece is turned and grown when its turn comes, so that starting
    // costs little and a stop is never long in coming.
    m_shapes[piece].resize(m_settings.rotations);
    // The workers only read the piece: a non-const index into the shared
    // vector would detach it from several threads at once.
    const PlacementCompositePolygon& outline = m_pieces.at(piece).shape;
    std::vector<OrientedShape>& oriented = m_shapes[piece];
    PlacementParallel::forEach(m_settings.rotations,
        [&](int turn) { oriented[turn] = PlacementGeometry::orient(outline, angleOf(turn), m_settings.spacing); });
    Candidate best;
    for (int turn = 0; turn < int(m_shapes[piece].size()); ++turn) {
        const Candidate candidate = bestPosition(piece, turn, best.found ? best.left + 1 : kNoBound);
        if (candidate.found && (!best.found || better(candidate, best)))
            best = candidate;
    }
    if (!best.found) {
        m_error = aboutPiece(QCoreApplication::translate(
                                 "PlacementAutomatic", "The piece of %1 × %2 mm at (%3, %4) is wider than the roll."),
            m_pieces[piece].shape);
        m_placed.clear();
        return false;
    }
    Placed placed { piece, best.turn, best.at, m_shapes[piece][best.turn].grown, {} };
    PlacementGeometry::translate(placed.grown, best.at);
    placed.grownBounds = PlacementGeometry::boundsOf(placed.grown);
    m_placed.push_back(std::move(placed));
    m_grownRight = std::max(m_grownRight, best.at.X + m_shapes[piece][best.turn].grownBounds.right);
    ++m_next;
    return true;
}

void PlacementAutomatic::run()
{
    while (step()) { }
}

PlacementAutomatic::Candidate PlacementAutomatic::bestPosition(int piece, int turn, cInt beat) const
{
    const OrientedShape& shape = m_shapes[piece][turn];
    const cInt width = std::llround(m_settings.rollWidth * PlacementGeometry::kScale);
    const cInt yMin = -shape.bounds.top;
    const cInt yMax = width - shape.bounds.bottom;
    if (yMax < yMin)
        return {};
    // A piece exactly as wide as the roll has a line to move on; a region
    // needs an area, so it gets one unit, taken back below.
    const cInt yTop = std::max(yMax, yMin + 1);
    const cInt xMin = -shape.bounds.left;
    // Far enough right that the piece clears everything placed.
    const cInt xMax = std::max(xMin, m_grownRight - shape.grownBounds.left) + 1;

    // The roll is searched in windows from the left: the first window with
    // room holds the answer, and only the pieces near a window count there.
    // Small pieces that fit a gap on the left thus never meet most others.
    const cInt step = std::max<cInt>(2 * (shape.grownBounds.right - shape.grownBounds.left), 1);
    std::vector<Paths> forbidden(m_placed.size());
    std::vector<bool> known(m_placed.size(), false);
    for (cInt left = xMin; left < xMax && left + shape.bounds.left < beat; left += step) {
        const cInt right = std::min(left + step, xMax);
        if (!hasRoom(shape, left, right, width))
            continue;
        const std::vector<int> near = placedNear(shape, left, right, known);
        PlacementParallel::forEach(
            int(near.size()), [&](int k) { forbidden[near[k]] = forbiddenPositions(m_placed[near[k]], shape); });
        Clipper clipper;
        clipper.AddPath({ { left, yMin }, { right, yMin }, { right, yTop }, { left, yTop } }, ptSubject, true);
        for (int i = 0; i < int(m_placed.size()); ++i)
            if (known[i])
                clipper.AddPaths(forbidden[i], ptClip, true);
        Paths free;
        clipper.Execute(ctDifference, free, pftNonZero, pftNonZero);

        Candidate best;
        for (const Path& path : free)
            for (const IntPoint& p : path) {
                if (p.X >= right && right < xMax)
                    continue;
                const Candidate candidate { true, turn, { p.X, std::min(p.Y, yMax) }, p.X + shape.bounds.left,
                    p.Y + shape.bounds.top };
                if (!best.found || better(candidate, best))
                    best = candidate;
            }
        if (best.found)
            return best;
    }
    return {};
}

bool PlacementAutomatic::hasRoom(const OrientedShape& moving, cInt left, cInt right, cInt width) const
{
    // Wherever the piece goes in the window, its grown rings lie in this
    // slab of the roll, clear of the grown pieces there.
    const cInt from = left + moving.grownBounds.left;
    const cInt to = right + moving.grownBounds.right;
    const cInt top = moving.grownBounds.top - moving.bounds.top;
    const cInt bottom = width + moving.grownBounds.bottom - moving.bounds.bottom;
    Clipper clipper;
    clipper.AddPath({ { from, top }, { to, top }, { to, bottom }, { from, bottom } }, ptSubject, true);
    for (const Placed& placed : m_placed)
        if (placed.grownBounds.left <= to && placed.grownBounds.right >= from)
            clipper.AddPaths(placed.grown, ptClip, true);
    Paths gaps;
    clipper.Execute(ctDifference, gaps, pftNonZero, pftNonZero);
    return PlacementGeometry::holdsDisc(gaps, moving.innerRadius);
}

std::vector<int> PlacementAutomatic::placedNear(
    const OrientedShape& moving, cInt left, cInt right, std::vector<bool>& known) const
{
    std::vector<int> near;
    for (int i = 0; i < int(m_placed.size()); ++i) {
        const OrientedShape& still = m_shapes[m_placed[i].piece][m_placed[i].turn];
        const cInt from = m_placed[i].at.X + still.grownBounds.left - moving.grownBounds.right;
        const cInt to = m_placed[i].at.X + still.grownBounds.right - moving.grownBounds.left;
        if (!known[i] && from <= right && to >= left) {
            known[i] = true;
            near.push_back(i);
        }
    }
    return near;
}

Paths PlacementAutomatic::forbiddenPositions(const Placed& placed, const OrientedShape& moving) const
{
    Paths paths = PlacementGeometry::noFitPolygon(m_shapes[placed.piece][placed.turn], moving);
    PlacementGeometry::translate(paths, placed.at);
    return paths;
}

bool PlacementAutomatic::better(const Candidate& a, const Candidate& b)
{
    return a.left != b.left ? a.left < b.left : a.top < b.top;
}

QVector<PlacementInfo> PlacementAutomatic::placements() const
{
    std::vector<Placed> byPiece = m_placed;
    std::sort(byPiece.begin(), byPiece.end(), [](const Placed& a, const Placed& b) { return a.piece < b.piece; });
    QVector<PlacementInfo> result;
    for (const Placed& placed : byPiece)
        result.append({ m_pieces[placed.piece].id, m_shapes[placed.piece][placed.turn].angle,
            QPointF(placed.at.X, placed.at.Y) / PlacementGeometry::kScale });
    return result;
}

double PlacementAutomatic::rollLength() const
{
    cInt right = 0;
    for (const Placed& placed : m_placed)
        right = std::max(right, placed.at.X + m_shapes[placed.piece][placed.turn].bounds.right);
    return right / PlacementGeometry::kScale;
}

} // namespace Placement
} // namespace Vantor
