#include "CSVGNameIdMap.h"

void CSVGNameIdMap::insert(const std::wstring& name, int id)
{
    m_ids[name] = id;
    m_nextId = id + 1;
}

int CSVGNameIdMap::lookup(const std::wstring& name) const
{
    const auto found = m_ids.find(name);
    return found == m_ids.end() ? -1 : found->second;
}
