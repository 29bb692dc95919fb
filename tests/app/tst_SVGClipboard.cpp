#include "CSVGDocument.h"
#include "CSVGElement.h"
#include "SVGApplication.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QClipboard>
#include <QGraphicsPathItem>
#include <QPen>
#include <QProcess>

#include <set>

// Copy and paste between documents through the application's clipboard, and
// a picture from another program pasted as an image.
namespace {
const char* const kPieces = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\">"
                            "<rect id=\"a\" x=\"10\" y=\"10\" width=\"20\" height=\"10\"/>"
                            "<rect id=\"b\" x=\"40\" y=\"30\" width=\"10\" height=\"10\"/>"
                            "<circle id=\"c\" cx=\"100\" cy=\"50\" r=\"5\"/></svg>";

void load(CSVGDocument& document)
{
    QVERIFY(document.parseSvgText(QString(kPieces).toStdWString(), false, false));
}

std::vector<CSVGElement*> subtree(CSVGDocument& document)
{
    std::vector<CSVGElement*> elements;
    CSVGDocument::collectSubtree(document.getOwnerSvg(), elements);
    return elements;
}

// A red row over a blue one.
QImage picture()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    for (int x = 0; x < 3; ++x)
        image.setPixelColor(x, 0, Qt::red);
    return image;
}
} // namespace

class tst_SVGClipboard : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void copyFrom();
    void pasteInto_data();
    void pasteInto();
    void pictureDrawnWhereItWasPasted();

private:
    SVGClipboard& clipboard() { return *SVGApplication::instance()->clipboard(); }
};

void tst_SVGClipboard::cleanup()
{
    clipboard().text.clear();
    delete clipboard().preview;
    clipboard().preview = nullptr;
    QGuiApplication::clipboard()->clear();
}

// An empty selection leaves an empty outline and the earlier text.
void tst_SVGClipboard::copyFrom()
{
    CSVGDocument document;
    load(document);
    document.selectElement(document.getElementById(L"a"), Qt::green);
    document.selectElement(document.getElementById(L"b"), Qt::green);
    clipboard().copyFrom(&document);
    QVERIFY(!clipboard().isEmpty());
    QCOMPARE(clipboard().preview->path().boundingRect(), QRectF(10, 10, 40, 30));
    QVERIFY(clipboard().preview->pen().isCosmetic());
    const QString copied = clipboard().text;
    QCOMPARE(copied, QString::fromStdWString(document.selectionToSvgText()));

    document.clearSelection();
    clipboard().copyFrom(&document);
    QVERIFY(clipboard().preview->path().isEmpty());
    QCOMPARE(clipboard().text, copied);
}

void tst_SVGClipboard::pasteInto_data()
{
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("added");
    QTest::newRow("copied pieces, centred, ids unique") << true << picture() << 2;
    QTest::newRow("a picture without copied text") << false << picture() << 1;
    QTest::newRow("neither") << false << QImage() << 0;
}

void tst_SVGClipboard::pasteInto()
{
    QFETCH(bool, copied);
    QFETCH(QImage, image);
    QFETCH(int, added);
    CSVGDocument source;
    load(source);
    source.selectElement(source.getElementById(L"a"), Qt::green);
    source.selectElement(source.getElementById(L"b"), Qt::green);
    clipboard().copyFrom(&source);
    if (!copied)
        clipboard().text.clear();
    QGuiApplication::clipboard()->setImage(image);
    CSVGDocument target;
    load(target);
    const size_t before = subtree(target).size();

    clipboard().pasteInto(&target, QPointF(12.5, 7));
    QVERIFY(clipboard().isEmpty());
    QCOMPARE(clipboard().text.isEmpty(), !copied);
    const std::vector<CSVGElement*> elements = subtree(target);
    QCOMPARE(int(elements.size() - before), added);
    std::set<std::wstring> ids;
    for (CSVGElement* element : elements)
        QVERIFY(element->getId().empty() || ids.insert(element->getId()).second);
    if (copied)
        QCOMPARE(target.getSelectionRect().center(), QPointF(12.5, 7));
}

// The exact element, its pixels, and a renderer of our choice drawing it at
// the point.
void tst_SVGClipboard::pictureDrawnWhereItWasPasted()
{
    const QString element = SVGClipboard::imageElementText(picture(), QPointF(12.5, 7));
    const QString prefix = "<image x=\"12.5\" y=\"7\" width=\"3\" height=\"2\" xlink:href=\"data:image/png;base64,";
    QVERIFY(element.startsWith(prefix) && element.endsWith("\"/>"));
    const QByteArray base64 = element.mid(prefix.size()).chopped(3).toLatin1();
    QCOMPARE(QImage::fromData(QByteArray::fromBase64(base64), "PNG").convertToFormat(QImage::Format_ARGB32), picture());

    QGuiApplication::clipboard()->setImage(picture());
    CSVGDocument document;
    load(document);
    clipboard().pasteInto(&document, QPointF(12.5, 7));
    QTemporaryDir folder;
    QFile file(folder.filePath("pasted.svg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QString::fromStdWString(document.toSvgText()).toUtf8());
    file.close();
    const QString png = folder.filePath("pasted.png");
    QCOMPARE(QProcess::execute("rsvg-convert", { "-o", png, file.fileName() }), 0);
    const QImage drawn(png);
    QCOMPARE(drawn.pixelColor(14, 7), QColor(Qt::red));
    QCOMPARE(drawn.pixelColor(14, 8), QColor(Qt::blue));
    QCOMPARE(drawn.pixelColor(11, 7).alpha(), 0);
    QCOMPARE(drawn.pixelColor(14, 9).alpha(), 0);
}

ZOCUT_APPLICATION_TEST_MAIN(tst_SVGClipboard)
#include "tst_SVGClipboard.moc"
