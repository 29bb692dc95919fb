#include "CSVGElementStyle.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGStyleRule.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

#include <algorithm>

CSVGElementStyle::CSVGElementStyle(CSVGDocument* document)
    : CSVGElement(document, L"style", SvgType::Style)
{
    if (document)
        document->registerStyleElement(this);
}

// Out of the registry before the rules go, so no lookup meets a rule that is
// being deleted.
CSVGElementStyle::~CSVGElementStyle()
{
    if (CSVGDocument* document = getDocument())
        document->unregisterStyleElement(this);
    for (CSVGStyleRule* rule : m_rules)
        delete rule;
}

CSVGElement* CSVGElementStyle::cloneKeepId(bool deep)
{
    CSVGElement* copy = CSVGElement::cloneKeepId(deep);
    if (auto* style = dynamic_cast<CSVGElementStyle*>(copy)) {
        for (const CSVGStyleRule* rule : m_rules)
            style->appendRule(new CSVGStyleRule(*rule));
    }
    return copy;
}

CSVGStyleRule* CSVGElementStyle::findRule(const std::wstring& name) const
{
    if (m_indexRenames != CSVGStyleRule::renameCount()) {
        m_index.clear();
        for (CSVGStyleRule* rule : m_rules)
            m_index.emplace(rule->getName(), rule);
        m_indexRenames = CSVGStyleRule::renameCount();
    }
    const auto found = m_index.find(name);
    return found == m_index.end() ? nullptr : found->second;
}

void CSVGElementStyle::appendRule(CSVGStyleRule* rule)
{
    m_rules.push_back(rule);
    if (m_indexRenames == CSVGStyleRule::renameCount())
        m_index.emplace(rule->getName(), rule);
}

void CSVGElementStyle::parseContent()
{
    parseSheet(sheetText());
}

// The own text, then every CDATA section without its markers.
std::wstring CSVGElementStyle::sheetText() const
{
    std::wstring sheet = getText();
    for (int i = 0; i < getChildCount(); ++i) {
        const CSVGElement* child = getChild(i);
        if (child->getType() != SvgType::CData)
            continue;
        const std::wstring text = CSVGUtils::replaceAll(child->getText(), L"<![CDATA[", std::wstring());
        sheet += CSVGUtils::replaceAll(text, L"]]>", std::wstring());
    }
    return sheet;
}

namespace {

// One class rule block of a sheet: the selector after its "." and the
// declarations between the braces, as positions in the text.
struct ClassBlock
{
    size_t selectorBegin;
    size_t selectorEnd;
    size_t open;
    size_t close;
};

// A class selector runs from its "." to the next blank or "{", so of a list
// written with blanks after the commas only the first class counts. A block
// of any other selector is passed over whole: a "." inside it, as in
// "stroke-width:0.5", must not start a class.
template <typename Visit> void forEachClassBlock(const std::wstring& sheet, Visit visit)
{
    const size_t size = sheet.size();
    size_t position = 0;
    while (position < size) {
        const wchar_t c = sheet[position];
        if (c == L'{') {
            const size_t close = sheet.find(L'}', position);
            if (close == std::wstring::npos)
                return;
            position = close + 1;
            continue;
        }
        if (c != L'.') {
            ++position;
            continue;
        }
        const size_t selectorEnd = sheet.find_first_of(L" \t\r\n{", position + 1);
        const size_t open = sheet.find(L'{', selectorEnd == std::wstring::npos ? size : selectorEnd);
        const size_t close = open == std::wstring::npos ? open : sheet.find(L'}', open);
        if (close == std::wstring::npos)
            return;
        visit(ClassBlock { position + 1, selectorEnd, open, close });
        position = close + 1;
    }
}

// The class names of a selector list; a piece may carry its own ".".
std::vector<std::wstring> selectorNames(const std::wstring& selector)
{
    std::vector<std::wstring> names;
    for (std::wstring name : CGlobalConfig::splitString(selector, L",")) {
        if (name[0] == L'.')
            name.erase(0, 1);
        if (!name.empty())
            names.push_back(name);
    }
    return names;
}

} // namespace

void CSVGElementStyle::parseSheet(const std::wstring& sheet)
{
    forEachClassBlock(sheet, [this, &sheet](const ClassBlock& block) {
        const std::wstring selector = sheet.substr(block.selectorBegin, block.selectorEnd - block.selectorBegin);
        const std::wstring declarations = sheet.substr(block.open + 1, block.close - block.open - 1);
        for (const std::wstring& name : selectorNames(selector))
            defineRule(name, declarations);
    });
    for (CSVGStyleRule* rule : m_rules)
        rule->markSheetCurrent();
}

void CSVGElementStyle::updateSheetText()
{
    if (std::all_of(
            m_rules.begin(), m_rules.end(), [](const CSVGStyleRule* rule) { return rule->isSheetTextCurrent(); }))
        return;
    setText(rewriteSheet(getText()), false);
    for (int i = 0; i < getChildCount(); ++i) {
        CSVGElement* child = getChild(i);
        if (child->getType() == SvgType::CData)
            child->setText(rewriteSheet(child->getText()), false);
    }
    for (CSVGStyleRule* rule : m_rules)
        rule->markSheetCurrent();
}

// Each class of a block under its current name; the block's declarations
// replaced when its first rule's declarations changed since they were read.
std::wstring CSVGElementStyle::rewriteSheet(const std::wstring& sheet) const
{
    std::wstring out;
    size_t copied = 0;
    forEachClassBlock(sheet, [&](const ClassBlock& block) {
        const std::wstring selector = sheet.substr(block.selectorBegin, block.selectorEnd - block.selectorBegin);
        std::wstring renamed;
        const CSVGStyleRule* first = nullptr;
        for (const std::wstring& piece : CGlobalConfig::splitString(selector, L",")) {
            const bool dotted = !piece.empty() && piece[0] == L'.';
            const CSVGStyleRule* rule = findRuleOfSheet(dotted ? piece.substr(1) : piece);
            first = first ? first : rule;
            renamed += (renamed.empty() ? L"" : L",") + std::wstring(dotted ? L"." : L"")
                + (rule          ? rule->getName()
                        : dotted ? piece.substr(1)
                                 : piece);
        }
        out.append(sheet, copied, block.selectorBegin - copied);
        out += renamed;
        out.append(sheet, block.selectorEnd, block.open + 1 - block.selectorEnd);
        if (first && !first->isSheetDeclarationCurrent())
            out += first->getText();
        else
            out.append(sheet, block.open + 1, block.close - block.open - 1);
        copied = block.close;
    });
    out.append(sheet, copied, std::wstring::npos);
    return out;
}

CSVGStyleRule* CSVGElementStyle::findRuleOfSheet(const std::wstring& sheetName) const
{
    const auto found = std::find_if(m_rules.begin(), m_rules.end(),
        [&sheetName](const CSVGStyleRule* rule) { return rule->getSheetName() == sheetName; });
    return found == m_rules.end() ? nullptr : *found;
}

void CSVGElementStyle::defineRule(const std::wstring& name, const std::wstring& declarations)
{
    CSVGStyleRule* rule = findRule(name);
    if (!rule) {
        rule = new CSVGStyleRule(name);
        appendRule(rule);
    }
    rule->setText(declarations);
}
