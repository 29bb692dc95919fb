// The view's nesting preparation and its exports, on the shared generator's
// roll of 15 m with 2,000 curved pieces (generated into the build folder on
// first use):
// - the preparation of the automatic nesting for 200 and 2,000 pieces on the
//   nesting thread count against one thread;
// - the PNG export of the whole page and printing it into a PDF file at
//   real size, each against QSvgRenderer drawing the same text into the
//   same target.
// Run with QT_QPA_PLATFORM=offscreen; the preparation logs every piece, which
// the benchmark's quiet log keeps from the output.

#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGView.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>

namespace {

// A roll of paper as long as the turned page.
void setRollPage(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QSizeF(1600, 15100), QPageSize::Millimeter));
    printer.setFullPage(true);
}

} // namespace

class bench_viewFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void preparation_data();
    void preparation();
    void pngExport();
    void printing();

private:
    CSVGView* m_view = nullptr;
    QTemporaryDir m_dir;
};

void bench_viewFiles::initTestCase()
{
    m_view = new CSVGView(nullptr);
    m_view->setPageRect(QRectF(0, 0, 15000, 1520));
    QVERIFY(m_view->openFile(benchInput(QStringLiteral("roll15m.svg")).toStdWString()));
    m_view->getDocument()->selectAll();
}

void bench_viewFiles::preparation_data()
{
    QTest::addColumn<int>("pieces");
    QTest::newRow("200") << 200;
    QTest::newRow("2000") << 2000;
}

void bench_viewFiles::preparation()
{
    QFETCH(int, pieces);
    // The roll's pieces are fewer than 2,000 where some are grouped.
    const QVector<CSVGElement*> selection = m_view->getDocument()->getSelection().mid(0, pieces);
    pieces = selection.size();
    const int threads = CSVGView::nestingThreadCount();
    compareInterleaved(
        QString("preparation of %1 pieces on %2 threads").arg(pieces).arg(threads), 5,
        [&] { CSVGView::prepareNestingPieces(selection, threads); }, "one thread",
        [&] { CSVGView::prepareNestingPieces(selection, 1); });
}

void bench_viewFiles::pngExport()
{
    const std::wstring text = m_view->getDocument()->toSvgText();
    const QByteArray bytes = QString::fromStdWString(text).toUtf8();
    const QString ours = m_dir.filePath("ours.png");
    const QString peer = m_dir.filePath("peer.png");
    // The peer draws into an image of the export's own pixel size.
    const QSize size = CSVGDocument::renderImageForSave(text, L"png").size();
    QVERIFY(!size.isEmpty());
    compareInterleaved(
        QString("PNG export of the 15 m page (%1 x %2 pixels)").arg(size.width()).arg(size.height()), 3,
        [&] { CSVGDocument::renderImageForSave(text, L"png").save(ours); }, "QSvgRenderer at the same size",
        [&] {
            QSvgRenderer renderer(bytes);
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter, QRectF(QPointF(0, 0), size));
            painter.end();
            image.save(peer);
        });
}

void bench_viewFiles::printing()
{
    const QByteArray bytes = QString::fromStdWString(m_view->getDocument()->toSvgText()).toUtf8();
    compareInterleaved(
        "printing the 15 m page into a PDF file", 3,
        [&] {
            QPrinter printer(QPrinter::HighResolution);
            setRollPage(printer, m_dir.filePath("ours.pdf"));
            m_view->printOn(&printer);
        },
        "QSvgRenderer",
        [&] {
            QPrinter printer(QPrinter::HighResolution);
            setRollPage(printer, m_dir.filePath("peer.pdf"));
            QSvgRenderer renderer(bytes);
            QPainter painter(&printer);
            const double scale = printer.resolution() / 25.4;
            painter.scale(scale, scale);
            painter.rotate(-90);
            painter.translate(-15000, 0);
            renderer.render(&painter, QRectF(0, 0, 15000, 1520));
        });
}

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_viewFiles)
#include "bench_viewFiles.moc"
