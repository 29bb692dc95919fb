#pragma once

#include "PieceInfo.h"
#include "PlacementGeometry.h"
#include "PlacementInfo.h"
#include "PlacementSettings.h"

#include <QRectF>
#include <QString>
#include <QVector>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace Vantor {
namespace Placement {

// A piece that stops the placement, for a caller that words the refusal in
// its own language and numbers.
struct PlacementRefusal
{
    enum class Kind { None, EmptyOutline, WiderThanRoll };
    Kind kind = Kind::None;
    // The piece's box, in millimetres.
    QRectF piece;
    // The English words, %1 × %2 the size and (%3, %4) the place.
    const char* text() const;
};

// Places pieces on a roll, bottom-left on no-fit polygons: largest piece
// first, each at the lowest x (then lowest y) where, in one of the allowed
// turns, it stays inside the roll's width and spacing away from the pieces
// already placed. One step places one piece, so a caller can show progress
// between steps or stop early; nothing here is shared between threads.
class PlacementAutomatic
{
public:
    // False, with error() set, when the settings or a piece are unusable.
    bool start(const QVector<PieceInfo>& pieces, const PlacementSettings& settings);
    // Places the next piece; true when it did. False when nothing is left
    // to do: all placed, or a piece fits the roll in no turn (error() says
    // so, and nothing counts as placed).
    bool step();
    void run();

    bool isFinished() const { return m_error.isEmpty() && m_next == int(m_order.size()); }
    QString error() const { return m_error; }
    // Set with error() when a piece is what stops the placement.
    PlacementRefusal refusal() const { return m_refusal; }
    int pieceCount() const { return int(m_pieces.size()); }
    int placedCount() const { return int(m_placed.size()); }
    // In the order the pieces came in, for those placed so far.
    QVector<PlacementInfo> placements() const;
    // The largest x reached by a placed piece, in millimetres.
    double rollLength() const;

private:
    struct Placed
    {
        int piece;
        int turn;
        ClipperLib::IntPoint at;
        // The grown rings where they lie.
        ClipperLib::Paths grown;
        ClipperLib::IntRect grownBounds;
    };
    struct Candidate
    {
        bool found = false;
        int turn = 0;
        ClipperLib::IntPoint at;
        // Where the piece's box would start, to compare turns.
        ClipperLib::cInt left = 0;
        ClipperLib::cInt top = 0;
    };

    // The search for a place in one turn, a window at a time.
    struct Search
    {
        int turn = 0;
        int form = 0;
        // Where the piece's box starts when it is moved by 0.
        ClipperLib::cInt boxOffset = 0;
        ClipperLib::cInt yMin = 0;
        ClipperLib::cInt yMax = 0;
        ClipperLib::cInt yTop = 0;
        ClipperLib::cInt xMax = 0;
        ClipperLib::cInt step = 1;
        ClipperLib::cInt bandStep = 1;
        // The x of the first point of the grown rings, by which copies differ.
        ClipperLib::cInt shift = 0;
        // The next window, or the one that held the place found.
        ClipperLib::cInt left = 0;
        bool done = false;
        Candidate found;
        // Where in the windows from aheadFrom on the piece may lie, worked
        // out together on all cores: most windows have no room, one after
        // the other, on the part of the roll already filled.
        std::vector<std::vector<ClipperLib::IntRect>> roomAhead;
        ClipperLib::cInt aheadFrom = 0;
        // Per placed piece, its no-fit polygon once made.
        std::vector<ClipperLib::Paths> forbidden;
        std::vector<bool> known;

        ClipperLib::cInt boxLeft() const { return left + boxOffset; }
    };

    bool placeNext();
    // Grows the placed pieces by the erosion of a piece to come, those not
    // grown by it yet.
    void dilatePlaced(double by);
    Search startSearch(int piece, int turn) const;
    // Searches the next window; the search is done once a window held a place.
    void searchWindow(int piece, Search& search) const;
    double angleOf(int turn) const;
    static constexpr ClipperLib::cInt kNoBound = ClipperLib::hiRange;
    // The parts of the rectangle of moves where a gap in the roll may be
    // large enough for the piece; none where the roll is full. Saves the
    // no-fit polygons there, and those of the pieces around gaps too small.
    std::vector<ClipperLib::IntRect> roomIn(const OrientedShape& moving, const ClipperLib::IntRect& moves) const;
    // The parts of the places that may be clear of the pieces near them:
    // none where a gap only seemed large enough.
    std::vector<ClipperLib::IntRect> clearOfNear(
        const OrientedShape& moving, const std::vector<ClipperLib::IntRect>& places) const;
    // Adds to the clip the convex sums of a convex piece of a placed piece
    // (at its position) with the turned convex pieces of the moving one that
    // reach into the place.
    static void addSumsReaching(ClipperLib::Clipper& clipper, const ClipperLib::Path& still,
        const ClipperLib::IntPoint& at, const std::vector<std::pair<ClipperLib::Path, ClipperLib::IntRect>>& movers,
        const ClipperLib::IntRect& place, const ClipperLib::IntRect& around);
    // Per band, where in the window's room the piece may go without
    // overlap: nothing for a band without room. The bands are worked on all
    // cores.
    std::vector<ClipperLib::Paths> freeInBands(const OrientedShape& shape,
        const std::vector<ClipperLib::IntRect>& bands, const std::vector<ClipperLib::IntRect>& windowRoom,
        Search& search) const;
    // roomIn for the search's window, from the windows worked out ahead.
    const std::vector<ClipperLib::IntRect>& windowRoom(const OrientedShape& moving, Search& search) const;
    // The placed pieces whose no-fit polygons may reach into one of the
    // rectangles of moves.
    std::vector<int> placedNear(const OrientedShape& moving, const std::vector<ClipperLib::IntRect>& moves) const;
    ClipperLib::Paths forbiddenPositions(const Placed& placed, const OrientedShape& moving, int movingForm) const;
    // The form of the grown rings: equal for pieces that are copies of each
    // other in the same turn, wherever they lie.
    int formOf(const OrientedShape& shape);
    static bool better(const Candidate& a, const Candidate& b);

    PlacementSettings m_settings;
    QVector<PieceInfo> m_pieces;
    // Per piece, per turn; filled when the piece is placed.
    std::vector<std::vector<OrientedShape>> m_shapes;
    // Per piece, per turn, the form of m_shapes; filled with it.
    std::vector<std::vector<int>> m_forms;
    // Per form, its rings' point counts and coordinates from their first point.
    std::map<std::vector<ClipperLib::cInt>, int> m_formIds;
    // Per form, the window where the search for a copy may begin: every
    // place left of it was taken when an earlier copy looked, and placing
    // only takes more room.
    std::map<int, ClipperLib::cInt> m_searchFrom;
    // The no-fit polygons found so far, per form of the fixed and of the
    // moving piece, as computed for copies lying at the two origins given.
    struct NoFit
    {
        ClipperLib::IntPoint fixedOrigin;
        ClipperLib::IntPoint movingOrigin;
        ClipperLib::Paths paths;
    };
    mutable std::map<std::pair<int, int>, NoFit> m_noFits;
    // Guards m_noFits, which the threads of one window fill at once.
    mutable std::mutex m_noFitsLock;
    // Per erosion in units, the placed pieces grown by it, in the order
    // placed.
    std::map<ClipperLib::cInt, std::vector<ClipperLib::Paths>> m_dilated;
    std::vector<int> m_order;
    int m_next = 0;
    std::vector<Placed> m_placed;
    ClipperLib::cInt m_grownRight = 0;
    QString m_error;
    PlacementRefusal m_refusal;

    void refuse(PlacementRefusal::Kind kind, const PlacementCompositePolygon& shape);
};

} // namespace Placement
} // namespace Vantor
