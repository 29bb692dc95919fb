// The style sheet of a style element, and the class rules it gives to the
// elements that name them.

#include "CSVGDocument.h"
#include "CSVGElementStop.h"
#include "CSVGElementStyle.h"
#include "CSVGStyleRule.h"
#include "FuzzInput.h"

#include <QChar>

#include <memory>
#include <set>

namespace {
bool isTrimmed(const std::wstring& text)
{
    return text.empty()
        || (!QChar::isSpace(static_cast<uint>(text.front())) && !QChar::isSpace(static_cast<uint>(text.back())));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring sheet = fuzzText(data, size);
    CSVGDocument document;
    CSVGElement* root = document.getOwnerSvg();
    auto* style = static_cast<CSVGElementStyle*>(document.createElement(L"style"));
    root->appendChild(style, true, false);
    CSVGElement* cdata = document.createElement(L"[CDATA[");
    cdata->setText(L"<![CDATA[" + sheet + L"]]>", false);
    style->appendChild(cdata, true, false);
    style->parseContent();

    std::set<std::wstring> names;
    std::wstring classes;
    for (const CSVGStyleRule* rule : style->getRules()) {
        const std::wstring name = rule->getName();
        fuzzCheck(!name.empty() && name.find_first_of(L" \t\r\n{,") == std::wstring::npos);
        fuzzCheck(names.insert(name).second);
        fuzzCheck(style->findRule(name) == rule && document.findStyleRule(name) == rule);
        for (const auto& [property, value] : rule->getProperties())
            fuzzCheck(!property.empty() && isTrimmed(property) && isTrimmed(value));
        classes += name + L' ';
    }

    // Every rule applied to one element, as a "class" attribute does.
    auto* stop = static_cast<CSVGElementStop*>(document.createElement(L"stop"));
    root->appendChild(stop, true, false);
    stop->setAttribute(L"class", classes, false);
    stop->getEffectiveStyle();
    stop->flattenStyles();
    document.updateReferencedIds();
    return 0;
}
