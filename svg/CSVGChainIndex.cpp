#include "CSVGChainIndex.h"

#include <algorithm>
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

CSVGChainIndex::CSVGChainIndex(const std::vector<Segment>& segments)
    : m_segments(segments)
{
    m_chains.reserve(segments.size());
}

// The tests run in this order for the first chain that passes any of them.
void CSVGChainIndex::place(std::size_t segment)
{
    const Item item = 2 * segment;
    const QPointF start = startOf(item);
    const QPointF end = endOf(item);
    const int id = firstMeeting(start, end, kNone);
    if (id == kNone) {
        m_chains.push_back(Chain { {}, { item }, false, true });
        reindex(int(m_chains.size()) - 1);
        return;
    }
    Chain& chain = m_chains[std::size_t(id)];
    unindex(id);
    if (meets(end, firstStart(chain)))
        pushFront(chain, item);
    else if (meets(start, firstStart(chain)))
        pushFront(chain, turned(item));
    else if (meets(start, lastEnd(chain)))
        pushBack(chain, item);
    else
        pushBack(chain, turned(item));
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
        segments.reserve(chain.size());
        for (std::size_t i = 0; i < chain.size(); ++i)
            segments.push_back(segmentOf(logical(chain, i)));
        result.push_back(std::move(segments));
    }
    return result;
}

CSVGChainIndex::Segment CSVGChainIndex::segmentOf(Item item) const
{
    Segment segment = m_segments[item / 2];
    if (item & 1)
        std::swap(segment.start, segment.end);
    return segment;
}

QPointF CSVGChainIndex::startOf(Item item) const
{
    const Segment& segment = m_segments[item / 2];
    return item & 1 ? segment.end : segment.start;
}

QPointF CSVGChainIndex::endOf(Item item) const
{
    return startOf(turned(item));
}

CSVGChainIndex::Item CSVGChainIndex::logical(const Chain& chain, std::size_t at)
{
    if (!chain.reversed)
        return chain.at(at);
    return turned(chain.at(chain.size() - 1 - at));
}

QPointF CSVGChainIndex::firstStart(const Chain& chain) const
{
    return startOf(logical(chain, 0));
}

QPointF CSVGChainIndex::lastEnd(const Chain& chain) const
{
    return endOf(logical(chain, chain.size() - 1));
}

void CSVGChainIndex::pushFront(Chain& chain, Item item)
{
    if (chain.reversed)
        chain.back.push_back(turned(item));
    else
        chain.front.push_back(item);
}

void CSVGChainIndex::pushBack(Chain& chain, Item item)
{
    if (chain.reversed)
        chain.front.push_back(turned(item));
    else
        chain.back.push_back(item);
}

// The shorter chain moves into the longer one, so an item moves only when
// its chain at least doubles: n log n moves for n segments in all.
CSVGChainIndex::Chain CSVGChainIndex::join(Chain front, Chain back)
{
    if (front.size() >= back.size()) {
        for (std::size_t i = 0; i < back.size(); ++i)
            pushBack(front, logical(back, i));
        return front;
    }
    for (std::size_t i = front.size(); i-- > 0;)
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
    first = Chain { {}, {}, false, false };
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
    const auto id = std::upper_bound(entry->second.begin(), entry->second.end(), after);
    return id == entry->second.end() ? kNone : *id;
}

void CSVGChainIndex::add(Index& index, const QPointF& point, int id)
{
    if (!isFinite(point))
        return;
    std::vector<int>& ids = index[Key(point.x(), point.y())];
    const auto at = std::lower_bound(ids.begin(), ids.end(), id);
    if (at == ids.end() || *at != id)
        ids.insert(at, id);
}

void CSVGChainIndex::remove(Index& index, const QPointF& point, int id)
{
    if (!isFinite(point))
        return;
    const auto entry = index.find(Key(point.x(), point.y()));
    if (entry == index.end())
        return;
    std::vector<int>& ids = entry->second;
    const auto at = std::lower_bound(ids.begin(), ids.end(), id);
    if (at != ids.end() && *at == id)
        ids.erase(at);
    if (ids.empty())
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
