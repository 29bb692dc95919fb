#pragma once

#include <string>
#include <unordered_map>

// Numbers names: element names to type codes, attribute names to ids. Names
// match exactly and case-sensitively. Hashed: every attribute read and
// written looks its name up here.
class CSVGNameIdMap
{
public:
    // Gives the name the id (a name already present takes the new one) and
    // moves the next free id to id + 1.
    void insert(const std::wstring& name, int id);
    // The id of the name, -1 when it is absent.
    int lookup(const std::wstring& name) const;
    int nextId() const { return m_nextId; }

private:
    // Wide enough that no number of registrations wraps back onto the fixed
    // ids; the store limits how many names a run may register.
    int m_nextId = 0;
    std::unordered_map<std::wstring, int> m_ids;
};
