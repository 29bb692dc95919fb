#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// One class rule of a style sheet: ".name { property: value; ... }". The
// style element that read it owns it; the document looks rules up by class
// name for the "class" attributes of elements.
class CSVGStyleRule
{
public:
    using Properties = std::map<std::wstring, std::wstring>;

    // Holds the one property "noused" with an empty value until it is given
    // its declarations.
    explicit CSVGStyleRule(const std::wstring& name = std::wstring());

    std::wstring getName() const { return m_name; }
    void setName(const std::wstring& name);
    // The declaration text between the braces, as last set.
    std::wstring getText() const { return m_text; }
    // Replaces every property with the declarations of the text; empty text
    // changes nothing. Declarations end at ";" or a line break, names and
    // values lose their surrounding white space, and a piece without ":" is
    // left out.
    void setText(const std::wstring& text);
    const Properties& getProperties() const { return m_properties; }
    // The properties by attribute id (-1 where the attribute table is full),
    // for applying the rule to the elements of its class: their names are
    // looked up once, at the first use after a change.
    const std::vector<std::pair<int, std::wstring>>& getPropertiesById() const;

    // Gives the rule the new name "st" + a new element id and records the
    // change in renames (old name -> new name), for a merge of two files.
    void renameUnique(std::map<std::wstring, std::wstring>& renames);
    // Makes every "url(#" + oldId reference of the declarations point at
    // newId. Only the start of an id is matched: with oldId "a" a reference
    // to "ab" becomes newId + "b".
    void replaceUrlReference(const std::wstring& oldId, const std::wstring& newId);
    // The id that the "fill" property references, if it is a url reference.
    std::vector<std::wstring> getFillUrlIds() const;

    // Counts every rename of any rule, so that an index by name can tell
    // when it has gone stale.
    static std::uint64_t renameCount();

    // The name and the declarations as the style sheet's text holds them: a
    // rename or a new reference changes the rule before the text follows.
    std::wstring getSheetName() const { return m_sheetName; }
    bool isSheetTextCurrent() const { return m_sheetName == m_name && m_sheetText == m_text; }
    bool isSheetDeclarationCurrent() const { return m_sheetText == m_text; }
    // The sheet's text now holds the rule as it is.
    void markSheetCurrent();

private:
    Properties m_properties;
    mutable std::vector<std::pair<int, std::wstring>> m_propertiesById;
    mutable bool m_propertiesByIdValid = false;
    std::wstring m_name;
    std::wstring m_text;
    std::wstring m_sheetName;
    std::wstring m_sheetText;
};
