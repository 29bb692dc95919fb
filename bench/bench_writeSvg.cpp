#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"

#include <QRandomGenerator>
#include <QXmlStreamWriter>

#include <functional>

namespace {

// The drawing of paths100k.svg: a style sheet of two class rules and 100,000
// small closed paths.
void buildDrawing(CSVGDocument& document, int paths)
{
    CSVGElement* root = document.createElement(L"svg");
    document.appendChild(root, true, false);
    root->setAttribute(L"viewBox", L"0 0 10000 10000", false);
    CSVGElement* style = document.createElement(L"style");
    root->appendChild(style, true, false);
    CSVGElement* sheet = document.createElement(L"[CDATA[");
    sheet->setText(L"<![CDATA[ .a{fill:#c00;stroke:#000;stroke-width:2}.b{fill:none;stroke:#00f} ]]>", false);
    style->appendChild(sheet, true, false);
    style->parseContent();
    QRandomGenerator random(42);
    for (int i = 0; i < paths; ++i) {
        const double x = random.bounded(9900.0);
        const double y = random.bounded(9900.0);
        CSVGElement* path = document.createElement(L"path");
        path->setAttribute(L"class", i % 2 ? L"b" : L"a", false);
        path->setAttribute(L"d",
            QString("M%1 %2 C%3 %4 %5 %6 %7 %8L%9 %10Z")
                .arg(x, 0, 'f', 2)
                .arg(y, 0, 'f', 2)
                .arg(x + 30, 0, 'f', 2)
                .arg(y - 20, 0, 'f', 2)
                .arg(x + 60, 0, 'f', 2)
                .arg(y + 20, 0, 'f', 2)
                .arg(x + 80, 0, 'f', 2)
                .arg(y, 0, 'f', 2)
                .arg(x + 40, 0, 'f', 2)
                .arg(y + 60, 0, 'f', 2)
                .toStdWString(),
            false);
        root->appendChild(path, true, false);
    }
    root->updateMatrix(nullptr, false);
}

// The floor: Qt's XML writer on the same tree, the same attributes.
QString streamWrite(CSVGElement* element)
{
    QString out;
    QXmlStreamWriter writer(&out);
    writer.writeStartDocument();
    const std::function<void(CSVGElement*)> write = [&](CSVGElement* node) {
        writer.writeStartElement(QString::fromStdWString(node->getTagName()));
        for (const std::wstring& name : node->getAttributeNames()) {
            const std::wstring value = node->getAttribute(name);
            if (!value.empty())
                writer.writeAttribute(QString::fromStdWString(name), QString::fromStdWString(value));
        }
        if (!node->getText().empty())
            writer.writeCharacters(QString::fromStdWString(node->getText()));
        for (int i = 0; i < node->getChildCount(); ++i)
            write(node->getChild(i));
        writer.writeEndElement();
    };
    write(element);
    writer.writeEndDocument();
    return out;
}

} // namespace

// Saving and writing the page of 100,000 paths, against Qt's XML writer on
// the same tree; time and peak memory.
class bench_writeSvg : public QObject
{
    Q_OBJECT
private slots:
    void write();
};

void bench_writeSvg::write()
{
    CSVGDocument document;
    buildDrawing(document, 100000);
    document.setPageRect(QRectF(0, 0, 10000, 10000));
    CSVGElement* root = document.getOwnerSvg();
    size_t written = 0;
    const auto save = [&]() { written = document.toSvgText().size(); };
    const auto page = [&]() { written = document.toSvgText(document.getMappedPageRect()).size(); };
    const auto floor = [&]() { written = size_t(streamWrite(root).size()); };
    compareInterleaved("save", 5, save, "QXmlStreamWriter", floor);
    compareInterleaved("page (working copy)", 3, page, "QXmlStreamWriter", floor);
    qInfo().noquote() << QString("peak memory: save %1 MB, page %2 MB, QXmlStreamWriter %3 MB")
                             .arg(peakMemoryOf(save), 0, 'f', 1)
                             .arg(peakMemoryOf(page), 0, 'f', 1)
                             .arg(peakMemoryOf(floor), 0, 'f', 1);
    QVERIFY(written > 0);
}

ZOCUT_BENCH_MAIN(bench_writeSvg)
#include "bench_writeSvg.moc"
