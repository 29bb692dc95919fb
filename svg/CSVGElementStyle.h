#pragma once

#include "CSVGElement.h"

#include <string>
#include <unordered_map>
#include <vector>

class CSVGStyleRule;

// A style element. It reads the class rules of its style sheet (its text and
// its CDATA sections) when the reader reaches its end tag and owns them; the
// document finds them by class name through its registry of style elements,
// which the element joins when it is made or put into the tree, and leaves
// when it is taken out of the tree or dies.
class CSVGElementStyle : public CSVGElement
{
    Q_OBJECT
public:
    explicit CSVGElementStyle(CSVGDocument* document);
    ~CSVGElementStyle() override;

    // The copy holds copies of the rules; a plain clone holds none.
    CSVGElement* cloneKeepId(bool deep) override;
    // Reads the class rules of the sheet. Only ".name" selectors are read;
    // the blocks of other selectors are skipped whole. A class that this
    // sheet defines again gets the later declarations; each sheet keeps its
    // own rules, so removing one sheet never takes another's with it.
    void parseContent() override;

    // Rewrites the sheet's text (the own text and the CDATA sections) so
    // that it names each rule by its current name and holds its current
    // declarations, after a merge renamed the rules or their references.
    // Everything else of the text stays as it was read.
    void updateSheetText();

    // The rules stay owned by this element.
    std::vector<CSVGStyleRule*> getRules() const { return m_rules; }
    // The first rule of exactly that name (no dot, case-sensitive); null when
    // none.
    CSVGStyleRule* findRule(const std::wstring& name) const;

private:
    std::wstring sheetText() const;
    void parseSheet(const std::wstring& sheet);
    std::wstring rewriteSheet(const std::wstring& sheet) const;
    CSVGStyleRule* findRuleOfSheet(const std::wstring& sheetName) const;
    void defineRule(const std::wstring& name, const std::wstring& declarations);
    void appendRule(CSVGStyleRule* rule);

    std::vector<CSVGStyleRule*> m_rules;
    // Names to the first rule of each name, valid while no rule anywhere has
    // been renamed since it was built.
    mutable std::unordered_map<std::wstring, CSVGStyleRule*> m_index;
    mutable std::uint64_t m_indexRenames = 0;
};
