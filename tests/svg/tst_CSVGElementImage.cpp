#include "CSVGElementImage.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <QPainter>

#include <sys/stat.h>

namespace {

// Red, green / blue, white.
QImage quarters()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    return image;
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString dataUrl(const QImage& image)
{
    return "data:image/png;base64," + QString::fromLatin1(png(image).toBase64());
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
    void frame();
    void paintsIntoItsFrame();
};

void tst_CSVGElementImage::sources_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("data URL") << dataUrl(quarters()) << true;
    const QString base64 = QString::fromLatin1(png(quarters()).toBase64());
    QTest::newRow("metafile marker") << "data:metafile;base64," + base64 << true;
    QTest::newRow("without base64") << "data:image/png," + base64 << false;
    QTest::newRow("not a picture") << "data:image/png;base64,"
            + QString::fromLatin1(QByteArray("no picture").toBase64())
                                   << false;
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
    QVERIFY(quarters().save(folder.filePath("pic.png")));
    CSVGDocument document;
    document.setBaseDir((folder.path() + '/').toStdWString());
    CSVGElementImage* image = makeImage(document, "xlink:href=" + dataUrl(quarters().scaled(4, 4)));
    QCOMPARE(image->getImage().size(), QSize(4, 4));

    image->setAttribute(L"xlink:href", href.replace("DIR", folder.path()).toStdWString(), true);
    const QImage picture = image->getImage();
    QCOMPARE(!picture.isNull(), loaded);
    if (loaded && href != "gone.png")
        QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), quarters());
    QCOMPARE(image->isDataUrl(), href.startsWith("data:"));
    QCOMPARE(image->getBase64Data().empty(), !href.contains("base64,"));
}

// A pipe named as the picture must not block; a picture beyond the pixel
// budget is not decoded, however small its file.
void tst_CSVGElementImage::onlyRegularFilesAndBoundedPictures()
{
    QTemporaryDir folder;
    const QString pipe = folder.filePath("pipe.png");
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    CSVGDocument document;
    document.setBaseDir((folder.path() + '/').toStdWString());
    QVERIFY(makeImage(document, "xlink:href=" + pipe)->getImage().isNull());
    QVERIFY(makeImage(document, "xlink:href=pipe.png")->getImage().isNull());
    QVERIFY(makeImage(document, "xlink:href=/dev/zero")->getImage().isNull());

    const auto blank = [](int width, int height) {
        QImage image(width, height, QImage::Format_Mono);
        image.fill(0);
        return image;
    };
    QCOMPARE(makeImage(document, "xlink:href=" + dataUrl(blank(10000, 10000)))->getImage().size(), QSize(10000, 10000));
    QVERIFY(makeImage(document, "xlink:href=" + dataUrl(blank(10000, 10001)))->getImage().isNull());
}

// Hit within the stroke width of the frame; the frame and the picture
// follow only notified changes; there is no outline.
void tst_CSVGElementImage::frame()
{
    CSVGDocument document;
    CSVGElementImage* image
        = makeImage(document, "x=10|y=20|width=30|height=40|stroke-width=2|xlink:href=" + dataUrl(quarters()));
    QCOMPARE(image->getBoundingRect().toQRectF(), QRectF(10, 20, 30, 40));
    const QList<QPair<QPointF, bool>> points
        = { { { 8.5, 25 }, true }, { { 7.5, 25 }, false }, { { 41.5, 61 }, true }, { { 25, 63 }, false } };
    for (const auto& point : points) {
        std::wstring groupId = L"kept";
        std::wstring id;
        QCOMPARE(image->hitTest(point.first.x(), int(point.first.y()), groupId, id), point.second);
        QCOMPARE(id, point.second ? image->getId() : std::wstring());
        QCOMPARE(groupId, std::wstring(L"kept"));
    }

    image->setAttribute(L"width", L"50", false);
    image->setAttribute(L"xlink:href", L"", false);
    QCOMPARE(image->getBoundingRect().toQRectF(), QRectF(10, 20, 30, 40));
    QVERIFY(!image->getImage().isNull());
    image->setAttribute(L"height", L"60", true);
    QCOMPARE(image->getBoundingRect().toQRectF(), QRectF(10, 20, 50, 60));
    QVERIFY(image->getPainterPath().isEmpty());
    QVERIFY(image->getTransformedPath().isEmpty());
    QCOMPARE(image->getAttributeNames().count(L"height"), size_t(1));
}

// Stretched into the frame under the element's matrix; a frame far larger
// than the canvas costs nothing more.
void tst_CSVGElementImage::paintsIntoItsFrame()
{
    CSVGDocument document;
    CSVGElementImage* image
        = makeImage(document, "x=10|y=20|width=50|height=40|transform=scale(2)|xlink:href=" + dataUrl(quarters()));
    const auto paint = [image]() {
        QImage canvas(200, 200, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        image->draw(&painter, CSVGMatrix(), false, false, false, false);
        return canvas;
    };
    QImage canvas = paint();
    QCOMPARE(QColor(canvas.pixel(25, 45)), QColor(Qt::red));
    QCOMPARE(QColor(canvas.pixel(115, 45)), QColor(Qt::green));
    QCOMPARE(QColor(canvas.pixel(25, 115)), QColor(Qt::blue));
    QCOMPARE(QColor(canvas.pixel(10, 10)), QColor(Qt::black));
    image->setAttribute(L"width", L"1e9", true);
    canvas = paint();
    QCOMPARE(QColor(canvas.pixel(115, 45)), QColor(Qt::red));
}

ZOCUT_TEST_MAIN(tst_CSVGElementImage)
#include "tst_CSVGElementImage.moc"
