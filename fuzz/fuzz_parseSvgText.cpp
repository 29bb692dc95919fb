// SVG text from anywhere: the reader builds a tree whatever the bytes, keeps
// it shallow, maps ids only to live elements that carry them, and reads its
// own output again.

#include "CSVGDocument.h"
#include "CSVGXmlScanner.h"
#include "FuzzInput.h"

#include <QByteArray>

#include <vector>

namespace {

int depthOf(const CSVGElement* element)
{
    int depth = 0;
    for (; element; element = element->getParent())
        ++depth;
    return depth;
}

void checkTree(CSVGDocument& document)
{
    fuzzCheck(document.getOwnerSvg() != nullptr && !document.isLoading());
    std::vector<CSVGElement*> elements;
    document.collectDescendants(elements, false);
    for (CSVGElement* element : elements) {
        // The document, the levels of the scan and a text's run nodes.
        fuzzCheck(depthOf(element) <= int(CSVGXmlScanner::kMaxDepth) + 3);
        const std::wstring id = element->getId();
        // A file may give two elements one id; the map names one of them.
        const CSVGElement* found = document.getElementById(id);
        fuzzCheck(!found || found->getId() == id);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CSVGDocument document;
    document.loadSvgData(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)));
    checkTree(document);
    document.getContentBoundingRect();
    document.addToTiles(document.getOwnerSvg());

    std::wstring written;
    document.getOwnerSvg()->writeSvg(written, 0, CSVGRect());
    document.parseSvgText(written, true, true);
    checkTree(document);
    fuzzEventLoopTurn();
    return 0;
}
