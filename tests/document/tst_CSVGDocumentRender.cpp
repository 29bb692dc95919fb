#include "CSVGDocument.h"
#include "CSVGElementImage.h"
#include "CSVGElementPath.h"
#include "TestElements.h"
#include "TestEnvironment.h"
#include "TestImages.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString resvgFile(const QString& name)
{
    return QStringLiteral(ZOCUT_RESVG_DIR "/") + name;
}

std::wstring fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? CSVGDocument::decodeSvgBytes(file.readAll()).toStdWString()
                                          : std::wstring();
}

// The box of the dark pixels inside the rectangle.
QRect darkBox(const QImage& image, const QRect& inside)
{
    QRect box;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128 && qAlpha(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

bool near(const QRectF& a, const QRectF& b)
{
    return qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1 && qAbs(a.right() - b.right()) <= 1
        && qAbs(a.bottom() - b.bottom()) <= 1;
}

// A picture of the size with the resolution, as Base64 of its PNG file.
std::wstring pictureData(const QSize& size, int dotsPerMetre)
{
    QImage picture(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            picture.setPixelColor(x, y, QColor::fromHsv((x + y) % 360, 200, 200));
    }
    picture.setDotsPerMeterX(dotsPerMetre);
    picture.setDotsPerMeterY(dotsPerMetre);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return QString::fromLatin1(buffer.data().toBase64()).toStdWString();
}

// Definitions and comments are no pieces.
const std::wstring kRectangle = L"<svg><defs><linearGradient id=\"g\"/></defs><!-- note -->"
                                L"<rect x=\"100\" y=\"50\" width=\"200\" height=\"100\"/></svg>";

} // namespace

Q_DECLARE_METATYPE(std::wstring)

class tst_CSVGDocumentRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void resvgSuite();
    void mapping_data();
    void mapping();
    void divisions();
    void saveSize_data();
    void saveSize();
    void paintElements();
    void insertImage_data();
    void insertImage();
    void printImage();
};

void tst_CSVGDocumentRender::initTestCase()
{
    QGuiApplication::setFont(QFont("DejaVu Sans", 9));
}

// What the editor's element model draws otherwise than a browser does:
// - user units one to one: viewBox scaling, preserveAspectRatio and nested
//   svg viewports are not applied;
// - roots and markup the scanner does not take as SVG: a sizeless root,
//   foreign namespaces;
// - lengths in units other than px, in, pt and em, and percentages;
// - shapes of zero, negative or missing size stay visible as lines so that
//   they can be edited; corner radii as given;
// - point and path data that break off keep what was read before;
// - style sheets with !important, transform or non-presentation properties,
//   text styles, and transform lists broken by character references.
const QRegularExpression kDrawnOtherwise("^structure/svg/(preserveAspectRatio|proportional-viewBox|viewBox-not-at"
                                         "|background-color-with-viewbox|nested-svg|deeply-nested-svg)"
                                         "|^structure/svg/(no-size|negative-size|xmlns-validation|mixed-namespaces)"
                                         "|^shapes/rect/[\\w-]+-values|percent"
                                         "|^shapes/(rect|ellipse)/(zero|negative|missing|invalid|r[xy]-)"
                                         "|^shapes/(polygon|path)/(ignore-odd|stop-processing|invalid-data"
                                         "|missing-coordinate|A\\.svg)"
                                         "|^structure/style/(important|transform|non-presentational)"
                                         "|style-inheritance-on-text|numeric-character-references");

// Each file's outlines at its own size against rsvg-convert told to draw
// outlines only: dark pixels of either within 2 pixels of the other's.
void tst_CSVGDocumentRender::resvgSuite()
{
    ZOCUT_REQUIRE_RESVG(ZOCUT_RESVG_DIR);
    QStringList differing;
    int compared = 0;
    for (const char* folder : { "shapes", "structure" }) {
        QDirIterator files(resvgFile(folder), { "*.svg" }, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString name = QDir(resvgFile("")).relativeFilePath(path);
            if (kDrawnOtherwise.match(name).hasMatch())
                continue;
            const QImage ours = CSVGDocument::renderImageForSave(fileText(path), L"png");
            const QImage theirs = rsvgOutlines(path, {});
            ++compared;
            if (ours.size() != theirs.size() || shareNear(ours, theirs, 2) < 0.97 || shareNear(theirs, ours, 2) < 0.97)
                differing << name;
        }
    }
    QVERIFY(compared > 130);
    QVERIFY2(differing.isEmpty(), qPrintable(differing.join(" ")));
}

// A rectangle of 200 by 100 at (100, 50), fitted and centred: the page (or,
// without one, the drawing's box, 2 pixels clear of the edges) in the
// target. The page comes back in target pixels; the count is the one piece.
void tst_CSVGDocumentRender::mapping_data()
{
    QTest::addColumn<QSize>("target");
    QTest::addColumn<QRectF>("page");
    QTest::addColumn<QRectF>("rectangle");
    QTest::addColumn<QRectF>("mappedPage");
    const double s = 300.0 / 1001;
    QTest::newRow("box in a square") << QSize(300, 300) << QRectF() << QRectF(2, 76, 296, 148) << QRectF();
    QTest::newRow("box in a page shape") << QSize(400, 100) << QRectF() << QRectF(104, 2, 192, 96) << QRectF();
    QTest::newRow("page in a square") << QSize(300, 300) << QRectF(0, 0, 1000, 500)
                                      << QRectF(100 * s, 150 - 250.5 * s + 50 * s, 200 * s, 100 * s)
                                      << QRectF(0, 150 - 250.5 * s, 1000 * s, 500 * s);
}

void tst_CSVGDocumentRender::mapping()
{
    QFETCH(QSize, target);
    QFETCH(QRectF, page);
    QFETCH(QRectF, rectangle);
    QImage image;
    int count = -1;
    CSVGDocument::renderSvgToImage(image, count, kRectangle, target.width(), target.height(), page, 0);
    QCOMPARE(image.size(), target);
    QCOMPARE(count, 1);
    QFETCH(QRectF, mappedPage);
    QVERIFY(near(page, mappedPage));
    const QRect inside = page.isValid() ? page.toRect().adjusted(3, 3, -3, -3) : image.rect();
    const QRect drawn = darkBox(image, inside);
    QVERIFY2(near(drawn, rectangle),
        qPrintable(QString("%1 %2 %3 %4").arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height())));
}

// Three divisions: three red lines, the last on the page's right edge, and
// the numbers 0, 1, 2 in blue centred in the strips, as the painter writes
// them. An absurd number draws no more lines than the page has columns; an
// empty drawing without a page draws nothing.
void tst_CSVGDocumentRender::divisions()
{
    QImage image;
    int count = 0;
    QRectF page(0, 0, 900, 300);
    CSVGDocument::renderSvgToImage(image, count, L"<svg/>", 901, 301, page, 3);
    QCOMPARE(count, 0);
    QList<int> redColumns;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, 150) == Qt::red)
            redColumns << x;
    }
    QCOMPARE(redColumns, QList<int>({ 300, 600, 900 }));
    QImage labels(image.size(), QImage::Format_ARGB32);
    labels.fill(Qt::white);
    QPainter painter(&labels);
    painter.setPen(Qt::blue);
    for (int k = 0; k < 3; ++k)
        painter.drawText(QRectF(k * 300, 0, 300, 300), Qt::AlignCenter, QString::number(k));
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            QCOMPARE(image.pixelColor(x, y) == Qt::blue, labels.pixelColor(x, y) == Qt::blue);
    }

    page = QRectF(0, 0, 99, 99);
    CSVGDocument::renderSvgToImage(image, count, L"<svg/>", 100, 100, page, 1000000000);
    QVERIFY(image.pixelColor(50, 50) == Qt::red);

    page = QRectF();
    CSVGDocument::renderSvgToImage(image, count, L"<svg/>", 100, 100, page, 3);
    QCOMPARE(image.size(), QSize(100, 100));
    QCOMPARE(image.pixelColor(50, 50), QColor(Qt::transparent));
}

// The image size from "width" and "height", else from a four-part
// "viewBox"; sizes that do not load or exceed the pixel budget give the
// 32 by 32 start image, white for "jpg".
void tst_CSVGDocumentRender::saveSize_data()
{
    QTest::addColumn<std::wstring>("text");
    QTest::addColumn<std::wstring>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("corner");
    QTest::newRow("percentage and viewBox") << std::wstring(L"<svg width=\"100%\" viewBox=\"0,0,800,600\"/>")
                                            << std::wstring(L"png") << QSize(800, 600) << QColor(Qt::transparent);
    QTest::newRow("jpg on white") << std::wstring(L"<svg width=\"40\" height=\"30\"/>") << std::wstring(L"jpg")
                                  << QSize(40, 30) << QColor(Qt::white);
    QTest::newRow("no usable size") << std::wstring(L"<svg viewBox=\"0 0 800\"/>") << std::wstring(L"png")
                                    << QSize(0, 0) << QColor();
    QTest::newRow("beyond the pixel budget") << std::wstring(L"<svg width=\"100000\" height=\"100000\"/>")
                                             << std::wstring(L"jpg") << QSize(32, 32) << QColor(Qt::white);
    QTest::newRow("not SVG") << std::wstring(L"no markup") << std::wstring(L"png") << QSize(32, 32)
                             << QColor(Qt::transparent);
}

void tst_CSVGDocumentRender::saveSize()
{
    QFETCH(std::wstring, text);
    QFETCH(std::wstring, format);
    QFETCH(QColor, corner);
    const QImage image = CSVGDocument::renderImageForSave(text, format);
    QTEST(image.size(), "size");
    if (corner.isValid())
        QCOMPARE(image.pixelColor(0, 0), corner);
}

// Printing: the document's pieces on a PDF printer, and the same call on an
// image puts the rectangle where the matrix says.
void tst_CSVGDocumentRender::paintElements()
{
    TestDrawing drawing;
    drawing.addPath(squareData(10, 10, 40));
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("print.pdf"));
    QPainter onPrinter(&printer);
    drawing.document.paintElements(&onPrinter, CSVGMatrix(10, 0, 0, 10, 0, 0));
    QVERIFY(onPrinter.end());
    QFile pdf(printer.outputFileName());
    QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-" && pdf.size() > 1000);

    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(50, 50);
    drawing.document.paintElements(&painter, CSVGMatrix(2, 0, 0, 2, 5, 5));
    painter.end();
    QVERIFY(near(darkBox(image, image.rect()), QRectF(25, 25, 80, 80)));
}

// Sizes in millimetres from the resolution (96 dpi when below 1000 dots per
// metre); one undo takes the picture out again. What is not a picture adds
// nothing and no undo step.
void tst_CSVGDocumentRender::insertImage_data()
{
    QTest::addColumn<std::wstring>("data");
    QTest::addColumn<QString>("size");
    QTest::newRow("96 dpi") << pictureData(QSize(300, 150), 3780) << "100 50";
    QTest::newRow("below 1000 dots per metre") << pictureData(QSize(300, 150), 500) << "100 50";
    QTest::newRow("not a picture") << std::wstring(L"bm90IGEgcGljdHVyZQ==") << QString();
}

void tst_CSVGDocumentRender::insertImage()
{
    QFETCH(std::wstring, data);
    TestDrawing drawing;
    const bool inserted = drawing.document.insertImage(data);
    QFETCH(QString, size);
    QCOMPARE(inserted, !size.isEmpty());
    QCOMPARE(drawing.root->getChildCount(), inserted ? 1 : 0);
    QCOMPARE(drawing.document.getHistory().size(), size_t(inserted ? 1 : 0));
    if (!inserted)
        return;
    CSVGElement* image = drawing.root->getChild(0);
    QCOMPARE(QString::fromStdWString(image->getAttribute(L"width") + L" " + image->getAttribute(L"height")), size);
    QCOMPARE(drawing.document.getSelection(), QVector<CSVGElement*>({ image }));
    drawing.document.undo();
    QCOMPARE(drawing.root->getChildCount(), 0);
}

// A picture moved on the canvas, under a circle: the file holds the picture
// clipped as QPainter clips it to the circle in picture pixels. An id that
// names another folder still writes into the one chosen.
void tst_CSVGDocumentRender::printImage()
{
    TestDrawing drawing;
    QVERIFY(drawing.document.insertImage(pictureData(QSize(300, 150), 3780)));
    CSVGElement* image = drawing.root->getChild(0);
    image->setAttribute(L"transform", L"translate(1000,20)", false);
    QPainterPath circle;
    circle.addEllipse(QPointF(1050, 45), 20, 20);
    drawing.root->appendChild(drawing.document.createPathElement(circle), true, false);
    drawing.root->updateMatrix(nullptr, false);
    image->setAttribute(L"id", L"../x", false);
    QTemporaryDir parent;
    QDir(parent.path()).mkdir("out");
    const QString folder = parent.filePath("out");
    drawing.document.printSelectedImages(folder);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { ".._x.png" });
    QCOMPARE(QDir(parent.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    const QImage written(QDir(folder).filePath(".._x.png"));
    const QImage picture = CSVGElementImage::imageFromBase64(pictureData(QSize(300, 150), 3780));
    QImage expected(picture.size(), QImage::Format_ARGB32);
    expected.fill(Qt::transparent);
    QPainter painter(&expected);
    QPainterPath clip;
    clip.addEllipse(QPointF(150, 75), 60, 60);
    painter.setClipPath(clip);
    painter.drawImage(0, 0, picture);
    painter.end();
    int same = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            same += (qAlpha(written.pixel(x, y)) > 128) == (qAlpha(expected.pixel(x, y)) > 128) ? 1 : 0;
    }
    QVERIFY(same >= 0.99 * picture.width() * picture.height());
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentRender)
#include "tst_CSVGDocumentRender.moc"
