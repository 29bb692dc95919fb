#pragma once

#include "CSVGAttributeText.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// An element's attributes, by attribute id in ascending order (the order in
// which they are written). Elements carry a handful each, and a drawing
// hundreds of thousands of elements: one small array per element, of no
// more room than its entries, instead of a tree node per attribute.
class CSVGAttributeMap
{
public:
    using Entry = std::pair<int, CSVGAttributeText>;
    using const_iterator = std::vector<Entry>::const_iterator;

    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }
    bool empty() const { return m_entries.empty(); }

    // Null when the id is absent.
    const CSVGAttributeText* find(int id) const
    {
        const auto at = lowerBound(id);
        return at != m_entries.end() && at->first == id ? &at->second : nullptr;
    }

    void set(int id, const std::wstring& value) { slot(id).assign(value); }
    void set(int id, CSVGAttributeText value) { slot(id) = std::move(value); }

    // 1 when the id was there, else 0.
    std::size_t erase(int id)
    {
        const auto at = lowerBound(id);
        if (at == m_entries.end() || at->first != id)
            return 0;
        m_entries.erase(at);
        return 1;
    }

    void clear() { m_entries.clear(); }
    // Room for that many more entries at once, for a batch of new ones.
    void reserveMore(std::size_t count) { m_entries.reserve(m_entries.size() + count); }

private:
    // The value under the id, an empty one put in its place when absent.
    CSVGAttributeText& slot(int id)
    {
        const auto position = lowerBound(id) - m_entries.begin();
        const auto at = m_entries.begin() + position;
        if (at != m_entries.end() && at->first == id)
            return at->second;
        // The first entry is an element's own id, and many elements (the
        // runs of characters of a text) carry nothing else: it takes room
        // for itself alone. The reader makes room for the rest of a tag's
        // attributes at once; one by one, an element is given room for
        // three, then the array grows by one and beyond a handful by half,
        // so that an element of many attributes is not copied once for
        // each.
        if (m_entries.size() == m_entries.capacity()) {
            const std::size_t size = m_entries.size();
            m_entries.reserve(size == 0 ? 1 : size < 3 ? 3 : size < 8 ? size + 1 : size + size / 2);
        }
        return m_entries.insert(m_entries.begin() + position, Entry(id, CSVGAttributeText()))->second;
    }

    const_iterator lowerBound(int id) const
    {
        return std::lower_bound(
            m_entries.begin(), m_entries.end(), id, [](const Entry& entry, int key) { return entry.first < key; });
    }

    std::vector<Entry> m_entries;
};
