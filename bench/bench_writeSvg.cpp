#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"

#include <QDir>
#include <QProcess>
#include <QXmlStreamWriter>

#include <functional>

namespace {

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
    QVERIFY(document.openFile(benchInput(QStringLiteral("paths100k.svg")).toStdWString()));
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
