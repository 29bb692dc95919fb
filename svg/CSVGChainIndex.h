#pragma once

#include "CSVGDataRepair.h"

#include <deque>
#include <map>
#include <set>
#include <utility>
#include <vector>

// The chains of the path repair while they grow, with their end points
// indexed so that the chain a segment or another chain meets is found
// without a scan. Chains are known by their position in the order of their
// creation, which merging keeps.
class CSVGChainIndex
{
public:
    using Segment = CSVGDataRepair::Segment;

    // Puts the segment at an end of the first chain that it meets, or starts
    // a new chain with it.
    void place(const Segment& segment);
    // Merges chains that meet, the first meeting pair first, until none do.
    void mergeAll();
    std::vector<CSVGDataRepair::Chain> chains() const;

private:
    // Reversing a whole chain only flips the flag; the segments are read
    // from the other end, each with start and end swapped.
    struct Chain
    {
        std::deque<Segment> segments;
        bool reversed = false;
        bool alive = true;
    };
    using Key = std::pair<double, double>;
    using Index = std::map<Key, std::set<int>>;

    static Segment swapped(Segment segment);
    static Segment logical(const Chain& chain, std::size_t at);
    static QPointF firstStart(const Chain& chain);
    static QPointF lastEnd(const Chain& chain);
    static void pushFront(Chain& chain, const Segment& segment);
    static void pushBack(Chain& chain, const Segment& segment);
    static Chain join(Chain front, Chain back);
    static int firstAfter(const Index& index, const QPointF& point, int after);
    static void add(Index& index, const QPointF& point, int id);
    static void remove(Index& index, const QPointF& point, int id);

    int firstMeeting(const QPointF& start, const QPointF& end, int after) const;
    void merge(int a, int b);
    void unindex(int id);
    void reindex(int id);

    std::vector<Chain> m_chains;
    Index m_starts;
    Index m_ends;
};
