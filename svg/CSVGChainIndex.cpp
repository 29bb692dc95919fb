#include "CSVGChainIndex.h"

#include <cmath>

namespace {
constexpr int kNone = -1;

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// End points are whole numbers, so this is equality for them; points that
// are not finite equal nothing, not even themselves.
bool meets(const QPointF& a, const QPointF& b)
{
    return std::abs(a.x() - b.x()) <= 1e-12 && std::abs(a.y() - b.y()) <= 1e-12;
}

int earlier(int a, int b)
{
    if (a == kNone)
        return b;
    if (b == kNone)
        return a;
    return a < b ? a : b;
}
} // namespace

// The tests run in this order for the first chain that passes any of them.
void CSVGChainIndex::place(const Segment& segment)
{
    const int id = firstMeeting(segment.start, segment.end, kNone);
    if (id == kNone) {
        m_chains.push_back(Chain { { segment }, false, true });
        reindex(int(m_chains.size()) - 1);
        return;
    }
    Chain& chain = m_chains[std::size_t(id)];
    unindex(id);
    if (meets(segment.end, firstStart(chain)))
        pushFront(chain, segment);
    else if (meets(segment.start, firstStart(chain)))
        pushFront(chain, swapped(segment));
    else if (meets(segment.start, lastEnd(chain)))
        pushBack(chain, segment);
    else
        pushBack(chain, swapped(segment));
    reindex(id);
}

// Each chain looks only at later chains. A merge leaves the merged chain's
// ends among the ends of the two it joined, so a chain that met no later
// chain meets none after later merges either, and one ascending pass finds
// the same pairs as rescanning from the front after every merge.
void CSVGChainIndex::mergeAll()
{
    for (int a = 0; a < int(m_chains.size()); ++a) {
        if (!m_chains[std::size_t(a)].alive)
            continue;
        const Chain& chain = m_chains[std::size_t(a)];
        const int b = firstMeeting(firstStart(chain), lastEnd(chain), a);
        if (b != kNone)
            merge(a, b);
    }
}

std::vector<CSVGDataRepair::Chain> CSVGChainIndex::chains() const
{
    std::vector<CSVGDataRepair::Chain> result;
    for (const Chain& chain : m_chains) {
        if (!chain.alive)
            continue;
        CSVGDataRepair::Chain segments;
        segments.reserve(chain.segments.size());
        for (std::size_t i = 0; i < chain.segments.size(); ++i)
            segments.push_back(logical(chain, i));
        result.push_back(std::move(segments));
    }
    return result;
}

CSVGChainIndex::Segment CSVGChainIndex::swapped(Segment segment)
{
    std::swap(segment.start, segment.end);
    return segment;
}

CSVGChainIndex::Segment CSVGChainIndex::logical(const Chain& chain, std::size_t at)
{
    if (!chain.reversed)
        return chain.segments[at];
    return swapped(chain.segments[chain.segments.size() - 1 - at]);
}

QPointF CSVGChainIndex::firstStart(const Chain& chain)
{
    return chain.reversed ? chain.segments.back().end : chain.segments.front().start;
}

QPointF CSVGChainIndex::lastEnd(const Chain& chain)
{
    return chain.reversed ? chain.segments.front().start : chain.segments.back().end;
}

void CSVGChainIndex::pushFront(Chain& chain, const Segment& segment)
{
    if (chain.reversed)
        chain.segments.push_back(swapped(segment));
    else
        chain.segments.push_front(segment);
}

void CSVGChainIndex::pushBack(Chain& chain, const Segment& segment)
{
    if (chain.reversed)
        chain.segments.push_front(swapped(segment));
    else
        chain.segments.push_back(segment);
}

// The shorter chain moves into the longer one, so a segment moves only when
// its chain at least doubles: n log n moves for n segments in all.
CSVGChainIndex::Chain CSVGChainIndex::join(Chain front, Chain back)
{
    if (front.segments.size() >= back.segments.size()) {
        for (std::size_t i = 0; i < back.segments.size(); ++i)
            pushBack(front, logical(back, i));
        return front;
    }
    for (std::size_t i = front.segments.size(); i-- > 0;)
        pushFront(back, logical(front, i));
    return back;
}

// The pair's tests run in this order; the merged chain takes b's place.
void CSVGChainIndex::merge(int a, int b)
{
    Chain& first = m_chains[std::size_t(a)];
    Chain& second = m_chains[std::size_t(b)];
    unindex(a);
    unindex(b);
    if (meets(firstStart(first), firstStart(second))) {
        first.reversed = !first.reversed;
        second = join(std::move(first), std::move(second));
    } else if (meets(firstStart(first), lastEnd(second))) {
        second = join(std::move(second), std::move(first));
    } else if (meets(lastEnd(first), firstStart(second))) {
        second = join(std::move(first), std::move(second));
    } else {
        first.reversed = !first.reversed;
        second = join(std::move(second), std::move(first));
    }
    second.alive = true;
    first = Chain { {}, false, false };
    reindex(b);
}

// The first chain after the given one whose first start or last end is one
// of the two points.
int CSVGChainIndex::firstMeeting(const QPointF& start, const QPointF& end, int after) const
{
    int id = kNone;
    for (const Index* index : { &m_starts, &m_ends }) {
        id = earlier(id, firstAfter(*index, start, after));
        id = earlier(id, firstAfter(*index, end, after));
    }
    return id;
}

int CSVGChainIndex::firstAfter(const Index& index, const QPointF& point, int after)
{
    // Not a number compares equivalent to every key.
    if (!isFinite(point))
        return kNone;
    const auto entry = index.find(Key(point.x(), point.y()));
    if (entry == index.end())
        return kNone;
    const auto id = entry->second.upper_bound(after);
    return id == entry->second.end() ? kNone : *id;
}

void CSVGChainIndex::add(Index& index, const QPointF& point, int id)
{
    if (isFinite(point))
        index[Key(point.x(), point.y())].insert(id);
}

void CSVGChainIndex::remove(Index& index, const QPointF& point, int id)
{
    if (!isFinite(point))
        return;
    const auto entry = index.find(Key(point.x(), point.y()));
    if (entry == index.end())
        return;
    entry->second.erase(id);
    if (entry->second.empty())
        index.erase(entry);
}

void CSVGChainIndex::unindex(int id)
{
    const Chain& chain = m_chains[std::size_t(id)];
    remove(m_starts, firstStart(chain), id);
    remove(m_ends, lastEnd(chain), id);
}

void CSVGChainIndex::reindex(int id)
{
    const Chain& chain = m_chains[std::size_t(id)];
    add(m_starts, firstStart(chain), id);
    add(m_ends, lastEnd(chain), id);
}
