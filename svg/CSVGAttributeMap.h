#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

// An element's attributes, by attribute id in ascending order (the order in
// which they are written). Elements carry a handful each, and a drawing
// hundreds of thousands of elements: one small array per element instead of
// a tree node per attribute.
class CSVGAttributeMap
{
public:
    using Entry = std::pair<int, std::wstring>;
    using const_iterator = std::vector<Entry>::const_iterator;

    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }
    bool empty() const { return m_entries.empty(); }

    const_iterator find(int id) const
    {
        const auto at = lowerBound(id);
        return at != m_entries.end() && at->first == id ? at : m_entries.end();
    }

    // The value under the id, inserted empty when absent.
    std::wstring& operator[](int id)
    {
        auto at = std::lower_bound(
            m_entries.begin(), m_entries.end(), id, [](const Entry& entry, int key) { return entry.first < key; });
        if (at == m_entries.end() || at->first != id)
            at = m_entries.insert(at, Entry(id, std::wstring()));
        return at->second;
    }

    // 1 when the id was there, else 0.
    std::size_t erase(int id)
    {
        const auto at = find(id);
        if (at == m_entries.end())
            return 0;
        m_entries.erase(at);
        return 1;
    }

    void clear() { m_entries.clear(); }

private:
    const_iterator lowerBound(int id) const
    {
        return std::lower_bound(
            m_entries.begin(), m_entries.end(), id, [](const Entry& entry, int key) { return entry.first < key; });
    }

    std::vector<Entry> m_entries;
};
