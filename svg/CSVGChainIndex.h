#pragma once

#include "CSVGDataRepair.h"

#include <cstddef>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

// The chains of the path repair while they grow, with their end points
// indexed so that the chain a segment or another chain meets is found
// without a scan. Chains are known by their position in the order of their
// creation, which merging keeps.
//
// A chain holds numbers, not copies of segments: the segment's position in
// the list it was built from, and whether it runs backwards. Tens of
// thousands of strokes stay small enough to be worked on in the cache.
class CSVGChainIndex
{
public:
    using Segment = CSVGDataRepair::Segment;

    // The segments must outlive the index.
    explicit CSVGChainIndex(const std::vector<Segment>& segments);

    // Puts the segment at an end of the first chain that it meets, or starts
    // a new chain with it.
    void place(std::size_t segment);
    // Merges chains that meet, the first meeting pair first, until none do.
    void mergeAll();
    std::vector<CSVGDataRepair::Chain> chains() const;

private:
    // A segment as placed: twice its position, plus one when it runs from
    // its end to its start.
    using Item = std::size_t;

    // The items in order. Both ends grow without moving the others: items
    // put in front are kept in front, last one last. Reversing a whole chain
    // only flips the flag; the items are then read from the other end, each
    // turned round.
    struct Chain
    {
        std::vector<Item> front;
        std::vector<Item> back;
        bool reversed = false;
        bool alive = true;

        std::size_t size() const { return front.size() + back.size(); }
        Item at(std::size_t i) const { return i < front.size() ? front[front.size() - 1 - i] : back[i - front.size()]; }
    };
    using Key = std::pair<double, double>;
    struct KeyHash
    {
        std::size_t operator()(const Key& key) const
        {
            const std::size_t x = std::hash<double>()(key.first);
            return x ^ (std::hash<double>()(key.second) + 0x9e3779b97f4a7c15ULL + (x << 6) + (x >> 2));
        }
    };
    // Hashed, so that a look-up costs the same in a small drawing and a
    // large one; the chains at a point, ascending (rarely more than two).
    using Index = std::unordered_map<Key, std::vector<int>, KeyHash>;

    static Item turned(Item item) { return item ^ 1; }
    Segment segmentOf(Item item) const;
    QPointF startOf(Item item) const;
    QPointF endOf(Item item) const;
    // The item at position at, read in the chain's direction.
    static Item logical(const Chain& chain, std::size_t at);
    QPointF firstStart(const Chain& chain) const;
    QPointF lastEnd(const Chain& chain) const;
    static void pushFront(Chain& chain, Item item);
    static void pushBack(Chain& chain, Item item);
    static Chain join(Chain front, Chain back);
    static int firstAfter(const Index& index, const QPointF& point, int after);
    static void add(Index& index, const QPointF& point, int id);
    static void remove(Index& index, const QPointF& point, int id);

    int firstMeeting(const QPointF& start, const QPointF& end, int after) const;
    void merge(int a, int b);
    void unindex(int id);
    void reindex(int id);

    const std::vector<Segment>& m_segments;
    std::vector<Chain> m_chains;
    Index m_starts;
    Index m_ends;
};
