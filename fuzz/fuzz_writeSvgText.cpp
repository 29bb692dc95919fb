// SVG text from anywhere, written out: the written text is XML and reads
// back to the same text (texts aside: the white space inside them is the
// text writer's matter), and the page and the clipboard forms are written
// without harm.

#include "CSVGDocument.h"
#include "FuzzInput.h"

#include <QXmlStreamReader>

namespace {

bool isWellFormed(const std::wstring& text)
{
    QXmlStreamReader reader(QString::fromStdWString(text));
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzzGuiApplication(argc, argv);
    return 0;
}

namespace {
void writeAndReadBack(const std::uint8_t* data, std::size_t size)
{
    CSVGDocument document;
    document.parseSvgText(fuzzText(data, size), false, false);
    const std::wstring written = document.toSvgText();
    fuzzCheck(isWellFormed(written));
    CSVGDocument again;
    again.parseSvgText(written, false, false);
    fuzzCheck(written.find(L"<text") != std::wstring::npos || again.toSvgText() == written);

    document.setPageRect(QRectF(0, 0, 200, 200));
    document.pageToSvgText(-1, 0.0, -1, -1, true);
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i)
        document.selectElement(root->getChild(i), Qt::green);
    document.selectionToSvgText();
}
} // namespace

// The documents are gone before the event loop turns, so that their trees
// are freed in this run.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeAndReadBack(data, size);
    fuzzEventLoopTurn();
    return 0;
}
