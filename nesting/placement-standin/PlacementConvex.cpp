#include "PlacementConvex.h"

#include <algorithm>
#include <cmath>

using namespace ClipperLib;

namespace Vantor {
namespace Placement {

namespace {
// Twice the signed area of the triangle; exact in 64 bits, as a usable
// piece's coordinates stay within a few times 10^8 units.
cInt cross(const IntPoint& o, const IntPoint& a, const IntPoint& b)
{
    return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X);
}

cInt twiceArea(const Path& ring, const std::vector<int>& piece)
{
    cInt area = 0;
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const IntPoint& a = ring[piece[i]];
        const IntPoint& b = ring[piece[(i + 1) % piece.size()]];
        area += a.X * b.Y - b.X * a.Y;
    }
    return area;
}

// Whether p lies in the closed triangle a, b, c (counter-clockwise).
bool inTriangle(const IntPoint& p, const IntPoint& a, const IntPoint& b, const IntPoint& c)
{
    return cross(a, b, p) >= 0 && cross(b, c, p) >= 0 && cross(c, a, p) >= 0;
}
} // namespace

Paths PlacementConvex::pieces(const Path& input)
{
    // Counter-clockwise, without repeated points and straight corners,
    // which only split the ring where nothing turns.
    Path ring;
    for (const IntPoint& p : input)
        if (ring.empty() || !(p == ring.back()))
            ring.push_back(p);
    while (ring.size() > 1 && ring.front() == ring.back())
        ring.pop_back();
    for (bool removed = true; removed && ring.size() >= 3;) {
        removed = false;
        for (std::size_t i = 0; i < ring.size() && ring.size() >= 3; ++i) {
            const std::size_t n = ring.size();
            if (cross(ring[(i + n - 1) % n], ring[i], ring[(i + 1) % n]) == 0) {
                ring.erase(ring.begin() + std::ptrdiff_t(i));
                removed = true;
            }
        }
    }
    if (ring.size() < 3)
        return {};
    std::vector<int> all(ring.size());
    for (std::size_t i = 0; i < ring.size(); ++i)
        all[i] = int(i);
    const cInt area = twiceArea(ring, all);
    if (area < 0)
        std::reverse(ring.begin(), ring.end());
    std::vector<std::vector<int>> parts;
    if (area == 0 || !triangulate(ring, parts))
        return {};
    // Ears that tile a simple ring add up to its area; anything else (a ring
    // that touches itself, say) is left to the exact sweep.
    cInt total = 0;
    for (const std::vector<int>& triangle : parts)
        total += twiceArea(ring, triangle);
    if (total != std::abs(area))
        return {};
    merge(ring, parts);
    Paths result;
    for (const std::vector<int>& part : parts) {
        Path path;
        for (int i : part)
            path.push_back(ring[i]);
        result.push_back(std::move(path));
    }
    return result;
}

bool PlacementConvex::triangulate(const Path& ring, std::vector<std::vector<int>>& triangles)
{
    std::vector<int> left(ring.size());
    for (std::size_t i = 0; i < ring.size(); ++i)
        left[i] = int(i);
    while (left.size() > 3) {
        const std::size_t n = left.size();
        bool clipped = false;
        for (std::size_t i = 0; i < n && !clipped; ++i) {
            const int a = left[(i + n - 1) % n];
            const int b = left[i];
            const int c = left[(i + 1) % n];
            if (cross(ring[a], ring[b], ring[c]) <= 0)
                continue;
            bool empty = true;
            for (int k : left)
                if (k != a && k != b && k != c && inTriangle(ring[k], ring[a], ring[b], ring[c])) {
                    empty = false;
                    break;
                }
            if (empty) {
                triangles.push_back({ a, b, c });
                left.erase(left.begin() + std::ptrdiff_t(i));
                clipped = true;
            }
        }
        if (!clipped)
            return false;
    }
    if (cross(ring[left[0]], ring[left[1]], ring[left[2]]) <= 0)
        return false;
    triangles.push_back(left);
    return true;
}

bool PlacementConvex::isConvex(const Path& ring, const std::vector<int>& piece)
{
    const std::size_t n = piece.size();
    for (std::size_t i = 0; i < n; ++i)
        if (cross(ring[piece[i]], ring[piece[(i + 1) % n]], ring[piece[(i + 2) % n]]) <= 0)
            return false;
    return true;
}

void PlacementConvex::merge(const Path& ring, std::vector<std::vector<int>>& parts)
{
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t p = 0; p < parts.size() && !merged; ++p)
            for (std::size_t q = p + 1; q < parts.size() && !merged; ++q) {
                const std::vector<int>& first = parts[p];
                const std::vector<int>& second = parts[q];
                for (std::size_t a = 0; a < first.size() && !merged; ++a) {
                    const int from = first[a];
                    const int to = first[(a + 1) % first.size()];
                    for (std::size_t b = 0; b < second.size(); ++b) {
                        if (second[b] != to || second[(b + 1) % second.size()] != from)
                            continue;
                        // The first piece from the far end of the shared edge
                        // round to its near end, then the rest of the second.
                        std::vector<int> joined;
                        for (std::size_t k = 1; k <= first.size(); ++k)
                            joined.push_back(first[(a + k) % first.size()]);
                        for (std::size_t k = 2; k < second.size(); ++k)
                            joined.push_back(second[(b + k) % second.size()]);
                        if (isConvex(ring, joined)) {
                            parts[p] = std::move(joined);
                            parts.erase(parts.begin() + std::ptrdiff_t(q));
                            merged = true;
                        }
                        break;
                    }
                }
            }
    }
}

Path PlacementConvex::sum(const Path& a, const Path& b)
{
    // Both walked from their lowest point (then leftmost), edges taken in
    // the order of their direction.
    const auto lowest = [](const Path& ring) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < ring.size(); ++i)
            if (ring[i].Y < ring[best].Y || (ring[i].Y == ring[best].Y && ring[i].X < ring[best].X))
                best = i;
        return best;
    };
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    const std::size_t startA = lowest(a);
    const std::size_t startB = lowest(b);
    const auto at = [](const Path& ring, std::size_t start, std::size_t i) { return ring[(start + i) % ring.size()]; };
    Path result;
    result.reserve(n + m);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        const IntPoint p = at(a, startA, i);
        const IntPoint q = at(b, startB, j);
        result.emplace_back(p.X + q.X, p.Y + q.Y);
        const IntPoint pNext = at(a, startA, i + 1);
        const IntPoint qNext = at(b, startB, j + 1);
        const cInt turn = (pNext.X - p.X) * (qNext.Y - q.Y) - (pNext.Y - p.Y) * (qNext.X - q.X);
        const bool stepA = j >= m || (i < n && turn >= 0);
        const bool stepB = i >= n || (j < m && turn <= 0);
        i += stepA ? 1 : 0;
        j += stepB ? 1 : 0;
    }
    return result;
}

// Sutherland and Hodgman's clipping, one side of the rectangle at a time.
Path PlacementConvex::clipped(const Path& ring, const IntRect& rect)
{
    Path result = ring;
    const auto clip = [&](const auto& inside, const auto& crossing) {
        Path kept;
        for (std::size_t i = 0; i < result.size(); ++i) {
            const IntPoint& p = result[i];
            const IntPoint& q = result[(i + 1) % result.size()];
            if (inside(p))
                kept.push_back(p);
            if (inside(p) != inside(q))
                kept.push_back(crossing(p, q));
        }
        result = std::move(kept);
    };
    // The crossing with the line where the coordinate of a point is at.
    const auto onX = [](cInt x) {
        return [x](const IntPoint& p, const IntPoint& q) {
            return IntPoint(x, p.Y + cInt(std::llround(double(q.Y - p.Y) * double(x - p.X) / double(q.X - p.X))));
        };
    };
    const auto onY = [](cInt y) {
        return [y](const IntPoint& p, const IntPoint& q) {
            return IntPoint(p.X + cInt(std::llround(double(q.X - p.X) * double(y - p.Y) / double(q.Y - p.Y))), y);
        };
    };
    clip([&](const IntPoint& p) { return p.X >= rect.left; }, onX(rect.left));
    clip([&](const IntPoint& p) { return p.X <= rect.right; }, onX(rect.right));
    clip([&](const IntPoint& p) { return p.Y >= rect.top; }, onY(rect.top));
    clip([&](const IntPoint& p) { return p.Y <= rect.bottom; }, onY(rect.bottom));
    return result;
}

Path PlacementConvex::negated(const Path& ring)
{
    Path result;
    result.reserve(ring.size());
    for (const IntPoint& p : ring)
        result.emplace_back(-p.X, -p.Y);
    return result;
}

} // namespace Placement
} // namespace Vantor
