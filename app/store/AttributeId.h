#pragma once

#include <atomic>
#include <string>

// The id of an attribute name that code asks for by a fixed text, looked up
// once: painting asks for "visibility" or "tear_line" of every element, and
// a look-up by text builds a string, takes the table's lock and hashes. A
// name that no file has used yet has no id; it is looked up again until it
// has one, which it then keeps for the run.
class AttributeId
{
public:
    explicit AttributeId(const wchar_t* name)
        : m_name(name)
    {
    }
    AttributeId(const AttributeId&) = delete;
    AttributeId& operator=(const AttributeId&) = delete;

    // -1 while the name is not registered.
    int get() const;
    const wchar_t* name() const { return m_name; }

private:
    const wchar_t* m_name;
    mutable std::atomic<int> m_id { -1 };
};
