#pragma once

#include <deque>
#include <map>
#include <string>

// The entities that a document type declaration declares in its internal
// subset, <!DOCTYPE svg [ <!ENTITY name "text"> ]>, as some illustration
// programs write every file (their namespaces among them). Only internal
// general entities are kept: parameter entities and external entities
// (SYSTEM, PUBLIC) are passed over, so that nothing outside the file is ever
// read. The first declaration of a name binds, as in XML; the five
// predefined entities are not declared over.
class CSVGEntityTable
{
public:
    struct Entity
    {
        std::u16string name;
        // The value with its character references decoded; references to
        // entities stay, to be expanded where the entity is used.
        std::u16string text;
        // Whether the text, or an entity it refers to, holds markup: used
        // in content, such an entity is elements to read, not characters.
        bool holdsMarkup = false;
    };

    // Reads the declaration that starts at p ("<!DOCTYPE") into the table
    // and returns the position after its ">"; null when the text ends first.
    const char16_t* readDoctype(const char16_t* p, const char16_t* end);
    // The entity of that name; null for any other name.
    const Entity* find(const char16_t* name, const char16_t* nameEnd) const;
    bool isEmpty() const { return m_entities.empty(); }
    // "<!DOCTYPE svg [...]>" declaring the entities again, each value
    // written so that it reads back as the same text; empty without
    // entities.
    std::wstring toDoctype() const;

    // The ";" that ends the reference starting at amp ("&"), or end when
    // the characters after amp are no name followed by ";".
    static const char16_t* referenceEnd(const char16_t* amp, const char16_t* end);
    // The character of "&name;" for the five predefined entities and the
    // numeric character references of characters that XML allows; 0 for any
    // other name.
    static char32_t characterReference(const char16_t* name, const char16_t* nameEnd);

private:
    const char16_t* readSubset(const char16_t* p, const char16_t* end);
    const char16_t* readEntity(const char16_t* p, const char16_t* end);
    void declare(const char16_t* name, const char16_t* nameEnd, const char16_t* value, const char16_t* valueEnd);
    void markMarkup();

    // A deque, so that an entity's text stays where it is while the reader
    // reads it in place.
    std::deque<Entity> m_entities;
    std::map<std::u16string, Entity*> m_byName;
};
