#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGScene.h"
#include "CSVGTreeDisposal.h"
#include "CSVGView.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace {

const QSize kFrame(1000, 1000);

// Through the reader, as a file opened in a tab.
void loadIntoView(CSVGView& view, const QByteArray& svg)
{
    if (!view.loadData(svg))
        qFatal("the benchmark's drawing did not load");
}

// Each benchmark compares two ways in interleaved rounds.
void rounds(const char* ours, const char* peer)
{
    QTest::addColumn<bool>("peer");
    for (int round = 1; round <= 3; ++round) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(ours)).arg(round))) << false;
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(peer)).arg(round))) << true;
    }
}

} // namespace

// The canvas with the generator's 10 k-path drawing. Run offscreen.
class bench_canvas : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loadFitPaint();
    void rebuild_data() { rounds("after one edit", "all items new"); }
    void rebuild();
    void paintSelected_data() { rounds("nothing selected", "all selected"); }
    void paintSelected();

private:
    QByteArray m_svg;
};

void bench_canvas::initTestCase()
{
    QFile file(benchInput(QStringLiteral("paths10k.svg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_svg = file.readAll();
}

// A drawing opened into a tab against QSvgRenderer drawing the same file at
// the same size, each freeing what it made. Between rounds the event loop
// runs until the closed drawing's elements are freed, as it does between
// two files a user opens.
void bench_canvas::loadFitPaint()
{
    QImage ours;
    QImage peer;
    compareInterleaved(
        "paths10k.svg loaded into a view, fitted and painted", 7,
        [&] {
            CSVGView view(nullptr);
            view.resize(kFrame);
            loadIntoView(view, m_svg);
            view.fitPage();
            ours = view.viewport()->grab().toImage();
        },
        "QSvgRenderer loading and rendering it",
        [&] {
            QSvgRenderer renderer(m_svg);
            peer = QImage(kFrame, QImage::Format_ARGB32_Premultiplied);
            peer.fill(Qt::white);
            QPainter painter(&peer);
            renderer.render(&painter);
        },
        [] {
            while (!CSVGTreeDisposal::isIdle())
                QCoreApplication::processEvents();
        });
    QVERIFY(!ours.isNull() && !peer.isNull());
}

void bench_canvas::rebuild()
{
    QFETCH(bool, peer);
    CSVGView view(nullptr);
    loadIntoView(view, m_svg);
    CSVGDocument* document = view.getDocument();
    CSVGElement* piece = document->getOwnerSvg()->getChild(5000);
    int step = 0;
    QBENCHMARK
    {
        if (peer) {
            CSVGScene scene(nullptr);
            scene.setDocument(document);
        } else {
            piece->setAttribute(L"transform", QStringLiteral("translate(%1)").arg(++step % 7).toStdWString(), true);
            document->notifyChanged();
        }
    }
}

void bench_canvas::paintSelected()
{
    QFETCH(bool, peer);
    CSVGView view(nullptr);
    view.resize(kFrame);
    loadIntoView(view, m_svg);
    view.fitPage();
    CSVGDocument* document = view.getDocument();
    CSVGElement* root = document->getOwnerSvg();
    // One selection change at the end, as selecting all makes it.
    document->blockSignals(true);
    for (int i = 0; peer && i < root->getChildCount(); ++i)
        document->selectElement(root->getChild(i), Qt::red);
    document->blockSignals(false);
    view.repaint();
    QBENCHMARK
    {
        view.viewport()->grab();
    }
}

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_canvas)
#include "bench_canvas.moc"
