// SVG text merged into a drawing (loaded below it, pasted into it): the
// drawing's own pieces keep their ids, and the id map names only live
// elements that carry the id.

#include "CActionComposite.h"
#include "CSVGDocument.h"
#include "FuzzInput.h"

#include <QByteArray>

#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CSVGDocument document;
    document.parseSvgText(L"<svg><style>.a{fill:url(#grad_1)}</style><linearGradient id=\"grad_1\"/>"
                          L"<rect id=\"rect_1\" class=\"a\" x=\"10\" y=\"10\" width=\"50\" height=\"20\"/>"
                          L"<use id=\"use_2\" xlink:href=\"#rect_1\"/></svg>",
        false, false);
    CSVGElement* piece = document.getElementById(L"rect_1");
    document.loadSvgData(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)));
    document.pasteSvgTextAt(fuzzText(data, size), QPointF(100, 100));
    fuzzCheck(document.getElementById(L"rect_1") == piece && document.getElementById(L"use_2"));

    std::vector<CSVGElement*> elements;
    document.collectDescendants(elements, false);
    for (CSVGElement* element : elements) {
        const std::wstring id = element->getId();
        // A file may give two elements one id; the map names one of them.
        const CSVGElement* found = document.getElementById(id);
        fuzzCheck(!found || found->getId() == id);
    }
    document.clearSelection();
    fuzzEventLoopTurn();
    return 0;
}
