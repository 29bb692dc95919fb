#include "CSVGElementStyle.h"

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGStyleRule.h"
#include "CSVGUtils.h"
#include "SvgCodes.h"

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

// A class selector runs from its "." to the next blank or "{", so of a list
// written with blanks after the commas only the first class counts. A block
// of any other selector is passed over whole: a "." inside it, as in
// "stroke-width:0.5", must not start a class.
void CSVGElementStyle::parseSheet(const std::wstring& sheet)
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
        const std::wstring selector = sheet.substr(position + 1, selectorEnd - position - 1);
        const std::wstring declarations = sheet.substr(open + 1, close - open - 1);
        for (std::wstring name : CGlobalConfig::splitString(selector, L",")) {
            if (name[0] == L'.')
                name.erase(0, 1);
            if (!name.empty())
                defineRule(name, declarations);
        }
        position = close + 1;
    }
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
