#include "PlacementAutomatic.h"

#include "PlacementConvex.h"
#include "PlacementParallel.h"

#include <QCoreApplication>
#include <QThread>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace ClipperLib;

namespace Vantor {
namespace Placement {

namespace {
// The rectangles where one of the first and one of the second overlap.
std::vector<IntRect> overlaps(const std::vector<IntRect>& first, const std::vector<IntRect>& second)
{
    std::vector<IntRect> both;
    for (const IntRect& a : first)
        for (const IntRect& b : second) {
            const IntRect overlap { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom) };
            if (overlap.left <= overlap.right && overlap.top <= overlap.bottom)
                both.push_back(overlap);
        }
    return both;
}
} // namespace

bool PlacementAutomatic::start(const QVector<PieceInfo>& pieces, const PlacementSettings& settings)
{
    m_settings = PlacementSettings();
    m_pieces.clear();
    m_shapes.clear();
    m_forms.clear();
    m_formIds.clear();
    m_searchFrom.clear();
    m_noFits.clear();
    m_dilated.clear();
    m_order.clear();
    m_next = 0;
    m_placed.clear();
    m_grownRight = 0;
    m_error.clear();
    m_refusal = PlacementRefusal();
    m_error = settings.validate();
    if (!m_error.isEmpty())
        return false;
    m_settings = settings;
    m_pieces = pieces;
    for (int i = 0; i < pieces.size(); ++i) {
        if (!PlacementGeometry::isUsable(pieces[i].shape)) {
            refuse(PlacementRefusal::Kind::EmptyOutline, pieces[i].shape);
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
            refuse(PlacementRefusal::Kind::WiderThanRoll, pieces[i].shape);
            return false;
        }
    }
    m_shapes.resize(pieces.size());
    m_forms.resize(pieces.size());
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

const char* PlacementRefusal::text() const
{
    switch (kind) {
    case Kind::EmptyOutline:
        return QT_TRANSLATE_NOOP(
            "PlacementAutomatic", "The outline of the piece of %1 × %2 mm at (%3, %4) is empty or too large.");
    case Kind::WiderThanRoll:
        return QT_TRANSLATE_NOOP("PlacementAutomatic", "The piece of %1 × %2 mm at (%3, %4) is wider than the roll.");
    case Kind::None:
        break;
    }
    return "";
}

// A user knows a piece by its size and where it lies, not by its id. The
// text, read by a server too, writes numbers with a point; a dialog words
// the refusal itself in the interface language.
void PlacementAutomatic::refuse(PlacementRefusal::Kind kind, const PlacementCompositePolygon& shape)
{
    m_refusal = { kind, shape.boundingRect() };
    const QRectF& box = m_refusal.piece;
    const auto millimetres = [](double value) { return QString::number(value, 'f', 1); };
    m_error = QCoreApplication::translate("PlacementAutomatic", m_refusal.text())
                  .arg(millimetres(box.width()), millimetres(box.height()), millimetres(box.left()),
                      millimetres(box.top()));
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
    m_forms[piece].clear();
    for (const OrientedShape& shape : oriented) {
        m_forms[piece].push_back(formOf(shape));
        if (shape.erosion > 0)
            dilatePlaced(shape.erosion);
    }
    // The turns are searched together, window by window from the left of
    // the roll: once one finds a place, the others stop where their windows
    // could only do worse. (Searching the turns on threads of their own
    // costs more than it saves: each then stops later.)
    std::vector<Search> searches;
    for (int turn = 0; turn < int(m_shapes[piece].size()); ++turn)
        searches.push_back(startSearch(piece, turn));
    cInt beat = kNoBound;
    for (;;) {
        Search* next = nullptr;
        for (Search& search : searches) {
            if (!search.done && search.left < search.xMax && search.boxLeft() < beat
                && (!next || search.boxLeft() < next->boxLeft()))
                next = &search;
        }
        if (!next)
            break;
        searchWindow(piece, *next);
        if (next->found.found)
            beat = std::min(beat, next->found.left + 1);
    }
    Candidate best;
    for (const Search& search : searches) {
        // Every window left of where the search stands had no place for
        // this form, and placing more only takes more room.
        cInt& from = m_searchFrom.emplace(search.form, search.left + search.shift).first->second;
        from = std::max(from, search.left + search.shift);
        if (search.found.found && (!best.found || better(search.found, best)))
            best = search.found;
    }
    if (!best.found) {
        refuse(PlacementRefusal::Kind::WiderThanRoll, m_pieces[piece].shape);
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

void PlacementAutomatic::dilatePlaced(double by)
{
    std::vector<Paths>& dilated = m_dilated[std::llround(by)];
    const std::size_t known = dilated.size();
    dilated.resize(m_placed.size());
    PlacementParallel::forEach(int(m_placed.size() - known), [&](int k) {
        dilated[known + std::size_t(k)] = PlacementGeometry::dilated(m_placed[known + std::size_t(k)].grown, by);
    });
}

void PlacementAutomatic::run()
{
    while (step()) { }
}

int PlacementAutomatic::formOf(const OrientedShape& shape)
{
    std::vector<cInt> form;
    const IntPoint origin
        = shape.grown.empty() || shape.grown.front().empty() ? IntPoint() : shape.grown.front().front();
    for (const Path& ring : shape.grown) {
        form.push_back(cInt(ring.size()));
        for (const IntPoint& p : ring) {
            form.push_back(p.X - origin.X);
            form.push_back(p.Y - origin.Y);
        }
    }
    return m_formIds.emplace(std::move(form), int(m_formIds.size())).first->second;
}

PlacementAutomatic::Search PlacementAutomatic::startSearch(int piece, int turn) const
{
    const OrientedShape& shape = m_shapes[piece][turn];
    Search search;
    search.turn = turn;
    search.form = m_forms[piece][turn];
    search.boxOffset = shape.bounds.left;
    const cInt width = std::llround(m_settings.rollWidth * PlacementGeometry::kScale);
    search.yMin = -shape.bounds.top;
    search.yMax = width - shape.bounds.bottom;
    search.done = search.yMax < search.yMin;
    // A piece exactly as wide as the roll has a line to move on; a region
    // needs an area, so it gets one unit, taken back below.
    search.yTop = std::max(search.yMax, search.yMin + 1);
    const cInt xMin = -shape.bounds.left;
    // Far enough right that the piece clears everything placed.
    search.xMax = std::max(xMin, m_grownRight - shape.grownBounds.left) + 1;
    // The roll is searched in windows from the left: the first window with
    // room holds the answer, and only the pieces near a window count there.
    // Small pieces that fit a gap on the left thus never meet most others.
    search.step = std::max<cInt>(2 * (shape.grownBounds.right - shape.grownBounds.left), 1);
    // A window is searched in bands across the roll, so that only the pieces
    // around a band with room count, not all that the window crosses.
    search.bandStep = std::max<cInt>(2 * (shape.grownBounds.bottom - shape.grownBounds.top), 1);
    // Copies lie where they lie, so the windows of this copy fall where the
    // last copy's did, shifted by the difference of their positions.
    search.shift = shape.grown.empty() || shape.grown.front().empty() ? 0 : shape.grown.front().front().X;
    search.left = xMin;
    if (const auto known = m_searchFrom.find(search.form);
        known != m_searchFrom.end() && known->second - search.shift > xMin)
        search.left = xMin + (known->second - search.shift - xMin) / search.step * search.step;
    search.forbidden.resize(m_placed.size());
    search.known.assign(m_placed.size(), false);
    return search;
}

// The best place of a window is the first in x, then y, over its bands.
void PlacementAutomatic::searchWindow(int piece, Search& search) const
{
    const OrientedShape& shape = m_shapes[piece][search.turn];
    const cInt left = search.left;
    const cInt right = std::min(left + search.step, search.xMax);
    Candidate& best = search.found;
    const std::vector<IntRect> room = clearOfNear(shape, windowRoom(shape, search));
    if (!room.empty()) {
        // Every band is searched, so all may be looked at together.
        std::vector<IntRect> bands;
        for (cInt low = search.yMin; low < search.yTop; low += search.bandStep)
            bands.push_back({ left, low, right, std::min(low + search.bandStep, search.yTop) });
        const std::vector<Paths> freeOfBands = freeInBands(shape, bands, room, search);
        for (const Paths& free : freeOfBands)
            for (const Path& path : free)
                for (const IntPoint& p : path) {
                    if (p.X >= right && right < search.xMax)
                        continue;
                    const Candidate candidate { true, search.turn, { p.X, std::min(p.Y, search.yMax) },
                        p.X + shape.bounds.left, p.Y + shape.bounds.top };
                    if (!best.found || better(candidate, best))
                        best = candidate;
                }
    }
    if (best.found)
        search.done = true;
    else
        search.left += search.step;
}

std::vector<Paths> PlacementAutomatic::freeInBands(const OrientedShape& shape, const std::vector<IntRect>& bands,
    const std::vector<IntRect>& windowRoom, Search& search) const
{
    std::vector<std::vector<IntRect>> roomOf(bands.size());
    for (std::size_t b = 0; b < bands.size(); ++b)
        roomOf[b] = overlaps(windowRoom, { bands[b] });
    // Only the no-fit polygons that reach into the room of a band shape it;
    // each is made once per search.
    std::vector<std::vector<int>> nearOf(bands.size());
    std::vector<int> missing;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        nearOf[b] = placedNear(shape, roomOf[b]);
        for (int i : nearOf[b]) {
            if (!search.known[i]) {
                search.known[i] = true;
                missing.push_back(i);
            }
        }
    }
    PlacementParallel::forEach(int(missing.size()),
        [&](int k) { search.forbidden[missing[k]] = forbiddenPositions(m_placed[missing[k]], shape, search.form); });
    std::vector<Paths> free(bands.size());
    PlacementParallel::forEach(int(bands.size()), [&](int b) {
        if (roomOf[b].empty())
            return;
        Clipper clipper;
        for (const IntRect& place : roomOf[b])
            clipper.AddPath({ { place.left, place.top }, { place.right, place.top }, { place.right, place.bottom },
                                { place.left, place.bottom } },
                ptSubject, true);
        for (int i : nearOf[b])
            clipper.AddPaths(search.forbidden[i], ptClip, true);
        clipper.Execute(ctDifference, free[b], pftNonZero, pftNonZero);
    });
    return free;
}

const std::vector<IntRect>& PlacementAutomatic::windowRoom(const OrientedShape& moving, Search& search) const
{
    const auto ahead = [&] { return std::size_t((search.left - search.aheadFrom) / search.step); };
    if (search.roomAhead.empty() || search.left < search.aheadFrom || ahead() >= search.roomAhead.size()) {
        // The windows to come are looked at as many at once as there are
        // cores; those past the one with room are looked at in vain.
        const int cores = std::max(1, QThread::idealThreadCount());
        search.aheadFrom = search.left;
        int count = 1;
        while (count < cores && search.left + count * search.step < search.xMax)
            ++count;
        search.roomAhead.assign(std::size_t(count), {});
        PlacementParallel::forEach(count, [&](int k) {
            const cInt left = search.left + k * search.step;
            const IntRect window { left, search.yMin, std::min(left + search.step, search.xMax), search.yTop };
            search.roomAhead[std::size_t(k)] = roomIn(moving, window);
        });
    }
    return search.roomAhead[ahead()];
}

std::vector<IntRect> PlacementAutomatic::roomIn(const OrientedShape& moving, const IntRect& moves) const
{
    // Wherever the piece goes in the window, its grown rings lie in this
    // slab of the roll, clear of the grown pieces there.
    const cInt from = moves.left + moving.grownBounds.left;
    const cInt to = moves.right + moving.grownBounds.right;
    const cInt top = moves.top + moving.grownBounds.top;
    const cInt bottom = moves.bottom + moving.grownBounds.bottom;
    if (moving.erosion <= 0) {
        Clipper clipper;
        clipper.AddPath({ { from, top }, { to, top }, { to, bottom }, { from, bottom } }, ptSubject, true);
        for (const Placed& placed : m_placed)
            if (placed.grownBounds.left <= to && placed.grownBounds.right >= from && placed.grownBounds.top <= bottom
                && placed.grownBounds.bottom >= top)
                clipper.AddPaths(placed.grown, ptClip, true);
        Paths gaps;
        clipper.Execute(ctDifference, gaps, pftNonZero, pftNonZero);
        return PlacementGeometry::holdsDisc(gaps, moving.innerRadius) ? std::vector<IntRect> { moves }
                                                                      : std::vector<IntRect> {};
    }
    // The gaps shrunk by the erosion: the slab shrunk, less the pieces
    // grown by it.
    const cInt by = cInt(moving.erosion);
    if (to - from <= 2 * by || bottom - top <= 2 * by)
        return {};
    const std::vector<Paths>& dilated = m_dilated.at(std::llround(moving.erosion));
    Clipper clipper;
    clipper.AddPath(
        { { from + by, top + by }, { to - by, top + by }, { to - by, bottom - by }, { from + by, bottom - by } },
        ptSubject, true);
    for (std::size_t i = 0; i < m_placed.size(); ++i) {
        const IntRect& bounds = m_placed[i].grownBounds;
        if (bounds.left - by <= to && bounds.right + by >= from && bounds.top - by <= bottom
            && bounds.bottom + by >= top)
            clipper.AddPaths(dilated[i], ptClip, true);
    }
    PolyTree shrunkGaps;
    clipper.Execute(ctDifference, shrunkGaps, pftNonZero, pftNonZero);
    return PlacementGeometry::mayHold(shrunkGaps, moving, moves);
}

// Of the no-fit polygon of two pieces only the convex sums that reach into
// a place count there, and they need no union: fewer sums leave more room,
// never less. Where the rings could not be split, the pieces count as not
// there. The place shrinks to the bounds of what is left, a unit or two
// wider for the rounding of crossings.
std::vector<IntRect> PlacementAutomatic::clearOfNear(
    const OrientedShape& moving, const std::vector<IntRect>& places) const
{
    constexpr cInt kRounding = 2;
    std::vector<std::pair<Path, IntRect>> movers;
    for (const Paths& pieces : moving.convexGrown)
        for (const Path& piece : pieces) {
            Path turned = PlacementConvex::negated(piece);
            const IntRect bounds = PlacementGeometry::boundsOf({ turned });
            movers.emplace_back(std::move(turned), bounds);
        }
    std::vector<std::vector<IntRect>> clearOf(places.size());
    PlacementParallel::forEach(int(places.size()), [&](int k) {
        const IntRect& place = places[std::size_t(k)];
        // A place larger than the piece is open roll, where the no-fit
        // polygons find room anyway; a smaller one is a gap among pieces,
        // which most often only seemed large enough.
        if (place.right - place.left > moving.grownBounds.right - moving.grownBounds.left
            || place.bottom - place.top > moving.grownBounds.bottom - moving.grownBounds.top) {
            clearOf[std::size_t(k)].push_back(place);
            return;
        }
        Clipper clipper;
        clipper.AddPath({ { place.left, place.top }, { place.right, place.top }, { place.right, place.bottom },
                            { place.left, place.bottom } },
            ptSubject, true);
        const IntRect around { place.left - kRounding, place.top - kRounding, place.right + kRounding,
            place.bottom + kRounding };
        for (int i : placedNear(moving, { place })) {
            const Placed& placed = m_placed[std::size_t(i)];
            for (const Paths& pieces : m_shapes[placed.piece][placed.turn].convexGrown)
                for (const Path& still : pieces)
                    addSumsReaching(clipper, still, placed.at, movers, place, around);
        }
        Paths free;
        clipper.Execute(ctDifference, free, pftNonZero, pftNonZero);
        if (free.empty())
            return;
        const IntRect bounds = PlacementGeometry::boundsOf(free);
        clearOf[std::size_t(k)].push_back(
            { std::max(place.left, bounds.left - kRounding), std::max(place.top, bounds.top - kRounding),
                std::min(place.right, bounds.right + kRounding), std::min(place.bottom, bounds.bottom + kRounding) });
    });
    std::vector<IntRect> clear;
    for (const std::vector<IntRect>& part : clearOf)
        clear.insert(clear.end(), part.begin(), part.end());
    return clear;
}

// Most of a sum lies outside the place, where its crossings with the others
// would cost for nothing: each is cut to the place's surroundings.
void PlacementAutomatic::addSumsReaching(Clipper& clipper, const Path& still, const IntPoint& at,
    const std::vector<std::pair<Path, IntRect>>& movers, const IntRect& place, const IntRect& around)
{
    IntRect reach = PlacementGeometry::boundsOf({ still });
    reach = { reach.left + at.X, reach.top + at.Y, reach.right + at.X, reach.bottom + at.Y };
    for (const auto& [mover, bounds] : movers) {
        if (reach.left + bounds.left > place.right || reach.right + bounds.right < place.left
            || reach.top + bounds.top > place.bottom || reach.bottom + bounds.bottom < place.top)
            continue;
        Paths sum { PlacementConvex::sum(still, mover) };
        PlacementGeometry::translate(sum, at);
        sum.front() = PlacementConvex::clipped(sum.front(), around);
        if (sum.front().size() >= 3)
            clipper.AddPaths(sum, ptClip, true);
    }
}

std::vector<int> PlacementAutomatic::placedNear(const OrientedShape& moving, const std::vector<IntRect>& moves) const
{
    std::vector<int> near;
    for (int i = 0; i < int(m_placed.size()); ++i) {
        const OrientedShape& still = m_shapes[m_placed[i].piece][m_placed[i].turn];
        const IntPoint& at = m_placed[i].at;
        if (std::any_of(moves.begin(), moves.end(), [&](const IntRect& place) {
                return at.X + still.grownBounds.left - moving.grownBounds.right <= place.right
                    && at.X + still.grownBounds.right - moving.grownBounds.left >= place.left
                    && at.Y + still.grownBounds.top - moving.grownBounds.bottom <= place.bottom
                    && at.Y + still.grownBounds.bottom - moving.grownBounds.top >= place.top;
            }))
            near.push_back(i);
    }
    return near;
}

Paths PlacementAutomatic::forbiddenPositions(const Placed& placed, const OrientedShape& moving, int movingForm) const
{
    const OrientedShape& fixed = m_shapes[placed.piece][placed.turn];
    const std::pair<int, int> key { m_forms[placed.piece][placed.turn], movingForm };
    const auto originOf = [](const OrientedShape& shape) {
        return shape.grown.empty() || shape.grown.front().empty() ? IntPoint() : shape.grown.front().front();
    };
    NoFit noFit;
    bool found = false;
    {
        std::lock_guard<std::mutex> guard(m_noFitsLock);
        const auto known = m_noFits.find(key);
        if (known != m_noFits.end()) {
            noFit = known->second;
            found = true;
        }
    }
    if (!found) {
        noFit = { originOf(fixed), originOf(moving), PlacementGeometry::noFitPolygon(fixed, moving) };
        std::lock_guard<std::mutex> guard(m_noFitsLock);
        m_noFits.emplace(key, noFit);
    }
    const IntPoint fixedOrigin = originOf(fixed);
    const IntPoint movingOrigin = originOf(moving);
    PlacementGeometry::translate(noFit.paths,
        { placed.at.X + fixedOrigin.X - noFit.fixedOrigin.X - movingOrigin.X + noFit.movingOrigin.X,
            placed.at.Y + fixedOrigin.Y - noFit.fixedOrigin.Y - movingOrigin.Y + noFit.movingOrigin.Y });
    return std::move(noFit.paths);
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
