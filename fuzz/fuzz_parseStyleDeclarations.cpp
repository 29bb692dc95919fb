// The "style" attribute: its declarations, the style computed from them and
// the rewrite of a declaration when a property changes.

#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementStop.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzzText(data, size);
    CSVGElementStyleable::StyleMap declarations;
    CSVGElementStyleable::parseStyleDeclarations(declarations, text);
    for (const auto& entry : declarations) {
        const std::wstring name = g_config.getAttributeName(entry.first);
        fuzzCheck(!name.empty() && name.size() <= 32 && !g_config.isWhiteSpace(name[0]));
    }

    CSVGDocument document;
    CSVGElement* parent = document.createElement(L"pattern");
    document.appendChild(parent, true, false);
    auto* stop = static_cast<CSVGElementStop*>(document.createElement(L"stop"));
    parent->appendChild(stop, true, false);
    parent->setAttribute(L"style", text, false);
    stop->setAttribute(L"style", text, false);
    stop->getEffectiveStyle();

    // A property that the declarations name is rewritten inside them.
    stop->setAttribute(L"stroke-width", L"0.5", true);
    CSVGElementStyleable::StyleMap rewritten;
    CSVGElementStyleable::parseStyleDeclarations(rewritten, stop->getAttribute(L"style"));
    const int strokeWidth = g_config.findAttributeId(L"stroke-width");
    const auto declared = declarations.find(strokeWidth);
    if (declared != declarations.end() && !declared->second.empty())
        fuzzCheck(rewritten[strokeWidth] == L"0.5");
    stop->getEffectiveStyle();
    return 0;
}
