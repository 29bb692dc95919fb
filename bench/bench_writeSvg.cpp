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

// The tree as plain Qt values, made before any timing, so that the peer's
// time is the writer's alone and not that of the model's accessors.
struct PlainElement
{
    QString tag;
    QVector<QPair<QString, QString>> attributes;
    QString text;
    QVector<PlainElement> children;
};

PlainElement plainCopy(CSVGElement* node)
{
    PlainElement copy { QString::fromStdWString(node->getTagName()), {}, QString::fromStdWString(node->getText()), {} };
    for (const std::wstring& name : node->getAttributeNames()) {
        const std::wstring value = node->getAttribute(name);
        if (!value.empty())
            copy.attributes.append({ QString::fromStdWString(name), QString::fromStdWString(value) });
    }
    copy.children.reserve(node->getChildCount());
    for (int i = 0; i < node->getChildCount(); ++i)
        copy.children.append(plainCopy(node->getChild(i)));
    return copy;
}

// The floor: Qt's XML writer on the same tree, the same attributes.
QString streamWrite(const PlainElement& root)
{
    QString out;
    QXmlStreamWriter writer(&out);
    writer.writeStartDocument();
    const std::function<void(const PlainElement&)> write = [&](const PlainElement& node) {
        writer.writeStartElement(node.tag);
        for (const QPair<QString, QString>& attribute : node.attributes)
            writer.writeAttribute(attribute.first, attribute.second);
        if (!node.text.isEmpty())
            writer.writeCharacters(node.text);
        for (const PlainElement& child : node.children)
            write(child);
        writer.writeEndElement();
    };
    write(root);
    writer.writeEndDocument();
    return out;
}

} // namespace

// Saving and writing the page of 100,000 paths, against Qt's XML writer on
// the same tree read into plain Qt values; time and peak memory.
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
    const PlainElement plain = plainCopy(document.getOwnerSvg());
    size_t written = 0;
    const auto save = [&]() { written = document.toSvgText().size(); };
    const auto page = [&]() { written = document.toSvgText(document.getMappedPageRect()).size(); };
    const auto floor = [&]() { written = size_t(streamWrite(plain).size()); };
    compareInterleaved("save", 5, save, "QXmlStreamWriter", floor, "<= 1.0");
    compareInterleaved("page (working copy)", 3, page, "QXmlStreamWriter", floor);
    qInfo().noquote() << QString("peak memory: save %1 MB, page %2 MB, QXmlStreamWriter %3 MB")
                             .arg(peakMemoryOf(save), 0, 'f', 1)
                             .arg(peakMemoryOf(page), 0, 'f', 1)
                             .arg(peakMemoryOf(floor), 0, 'f', 1);
    QVERIFY(written > 0);
}

ZOCUT_BENCH_MAIN(bench_writeSvg)
#include "bench_writeSvg.moc"
