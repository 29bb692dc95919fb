#include "CSVGElementImage.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QPainter>

#include <sys/stat.h>

namespace {

// Red on the left, green on the right.
QImage picture(int width = 2)
{
    QImage image(width, 1, QImage::Format_RGB32);
    image.fill(Qt::green);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    return image;
}

QString base64(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QString::fromLatin1(bytes.toBase64());
}

CSVGElementImage* makeImage(CSVGDocument& document, const QString& attributes)
{
    auto* image = appendShape<CSVGElementImage>(&document, "image", attributes);
    document.updateMatrix(nullptr, false);
    return image;
}

} // namespace

class tst_CSVGElementImage : public QObject
{
    Q_OBJECT
private slots:
    void sources_data();
    void sources();
    void onlyRegularFilesAndBoundedPictures();
    void svgPictures_data();
    void svgPictures();
    void decodedOncePerSource();
    void frame();
};

void tst_CSVGElementImage::sources_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("data URL") << "data:image/png;base64," + base64(picture()) << true;
    QTest::newRow("metafile marker") << "data:metafile;base64," + base64(picture()) << true;
    QTest::newRow("without base64") << "data:image/png," + base64(picture()) << false;
    QTest::newRow("not a picture") << "data:image/png;base64,bm8gcGljdHVyZQ==" << false;
    QTest::newRow("beside the document") << "pic.png" << true;
    QTest::newRow("absolute") << "DIR/pic.png" << true;
    // A file that is not found keeps the picture there was.
    QTest::newRow("missing file") << "gone.png" << true;
}

// Each element starts from a picture of its own, then takes the reference.
void tst_CSVGElementImage::sources()
{
    QFETCH(QString, href);
    QFETCH(bool, loaded);
    QTemporaryDir folder;
    QVERIFY(picture().save(folder.filePath("pic.png")));
    CSVGDocument document;
    document.setBaseDir((folder.path() + '/').toStdWString());
    CSVGElementImage* image = makeImage(document, "xlink:href=data:image/png;base64," + base64(picture(4)));
    QCOMPARE(image->getImage().width(), 4);

    image->setAttribute(L"xlink:href", href.replace("DIR", folder.path()).toStdWString(), true);
    QCOMPARE(!image->getImage().isNull(), loaded);
    if (loaded && href != "gone.png")
        QCOMPARE(image->getImage().convertToFormat(QImage::Format_RGB32), picture());
    QCOMPARE(image->isDataUrl(), href.startsWith("data:"));
    QCOMPARE(image->getBase64Data().empty(), !href.contains("base64,"));
}

// A pipe named as the picture must not block; a picture beyond the pixel
// budget is not decoded, however small its file.
void tst_CSVGElementImage::onlyRegularFilesAndBoundedPictures()
{
    QTemporaryDir folder;
    QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("pipe.png")).constData(), 0600), 0);
    CSVGDocument document;
    document.setBaseDir((folder.path() + '/').toStdWString());
    for (const QString& href : { folder.filePath("pipe.png"), QStringLiteral("pipe.png"), QStringLiteral("/dev/zero") })
        QVERIFY(makeImage(document, "xlink:href=" + href)->getImage().isNull());

    for (const int height : { 10000, 10001 }) {
        QImage blank(10000, height, QImage::Format_Mono);
        blank.fill(0);
        const QImage read = makeImage(document, "xlink:href=data:image/png;base64," + base64(blank))->getImage();
        QCOMPARE(read.isNull(), height > 10000);
    }
}

// An SVG picture is shown when every picture it shows lies inside it; one
// that links to a file (leading back to itself, in the worst case) shows
// its frame alone, and never overflows the stack. The pictures inside count
// towards the pixels that one picture may take.
void tst_CSVGElementImage::svgPictures_data()
{
    const QByteArray rect = "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='2'><rect width='4' "
                            "height='2' fill='red'/></svg>";
    const auto linking = [](const QByteArray& href) {
        return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='50' "
               "height='50'><image xlink:href='"
            + href + "' width='50' height='50'/></svg>";
    };
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<bool>("shown");
    QTest::newRow("plain") << rect << QByteArray() << true;
    QTest::newRow("embedded picture") << linking("data:image/svg+xml;base64," + rect.toBase64()) << QByteArray()
                                      << true;
    QTest::newRow("itself") << linking("DIR/a.svg") << QByteArray() << false;
    QTest::newRow("two files") << linking("DIR/b.svg") << linking("DIR/a.svg") << false;
    QTest::newRow("into a loop") << linking("DIR/b.svg") << linking("DIR/b.svg") << false;
    QTest::newRow("loop inside data") << linking("data:image/svg+xml;base64," + linking("DIR/a.svg").toBase64())
                                      << QByteArray() << false;
    const QByteArray huge = "<svg xmlns='http://www.w3.org/2000/svg' width='10001' height='10000'/>";
    QTest::newRow("a picture inside beyond the pixels")
        << linking("data:image/svg+xml;base64," + huge.toBase64()) << QByteArray() << false;
}

void tst_CSVGElementImage::svgPictures()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(bool, shown);
    QTemporaryDir folder;
    a.replace("DIR", folder.path().toUtf8());
    b.replace("DIR", folder.path().toUtf8());
    for (const auto& file : { std::make_pair("a.svg", a), std::make_pair("b.svg", b) }) {
        QFile out(folder.filePath(file.first));
        QVERIFY(file.second.isEmpty() || (out.open(QIODevice::WriteOnly) && out.write(file.second) > 0));
    }
    CSVGDocument document;
    document.setBaseDir((folder.path() + '/').toStdWString());
    for (const QString& href : QStringList { "a.svg", "data:image/svg+xml;base64," + a.toBase64() })
        QCOMPARE(makeImage(document, "xlink:href=" + href)->getImage().isNull(), !shown);
}

// Moving a picture, and reading the drawing's text again (as a save does),
// decode nothing: the picture is the one decoded first. A new link is a new
// picture.
void tst_CSVGElementImage::decodedOncePerSource()
{
    const QString href = "data:image/png;base64," + base64(picture());
    CSVGDocument document;
    CSVGElementImage* image = makeImage(document, "xlink:href=" + href);
    const qint64 decoded = image->getImage().cacheKey();
    image->setAttribute(L"x", L"5", true);
    QCOMPARE(image->getImage().cacheKey(), decoded);
    CSVGDocument again;
    QCOMPARE(makeImage(again, "xlink:href=" + href)->getImage().cacheKey(), decoded);
    image->setAttribute(L"xlink:href", ("data:image/png;base64," + base64(picture(3))).toStdWString(), true);
    QCOMPARE(image->getImage().width(), 3);
}

// Hit within the stroke width of the frame; the frame follows only notified
// changes; the picture is stretched into it under the element's matrix, and
// a frame far larger than the canvas costs nothing more. No outline.
void tst_CSVGElementImage::frame()
{
    CSVGDocument document;
    CSVGElementImage* image = makeImage(document,
        "x=10|y=20|width=50|height=40|stroke-width=2|transform=scale(2)|xlink:href=data:image/png;base64,"
            + base64(picture()));
    std::wstring groupId;
    std::wstring id;
    QVERIFY(image->hitTest(17, 37, groupId, id) && !image->hitTest(14.5, 50, groupId, id));
    image->setAttribute(L"height", L"10", false);
    QCOMPARE(image->getBoundingRect().toQRectF(), QRectF(10, 20, 50, 40));
    QVERIFY(image->getTransformedPath().isEmpty());

    const auto paint = [image]() {
        QImage canvas(200, 200, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        image->draw(&painter, CSVGMatrix(), false, false, false, false);
        return canvas;
    };
    QImage canvas = paint();
    QCOMPARE(QColor(canvas.pixel(25, 100)), QColor(Qt::red));
    QCOMPARE(QColor(canvas.pixel(115, 45)), QColor(Qt::green));
    QCOMPARE(QColor(canvas.pixel(10, 100)), QColor(Qt::black));
    image->setAttribute(L"width", L"1e9", true);
    QCOMPARE(QColor(paint().pixel(115, 45)), QColor(Qt::red));
}

ZOCUT_TEST_MAIN(tst_CSVGElementImage)
#include "tst_CSVGElementImage.moc"
