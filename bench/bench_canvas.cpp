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

// Where a drawing opened into a tab of that size shows on the picture that
// the tab paints: the peer draws it there too, at the same size. (The view
// is never shown, so it fits the drawing to the viewport's first size and
// takes its own size only as it paints.)
QRect fittedRect(const QByteArray& svg, QSize* picture)
{
    CSVGView view(nullptr);
    view.resize(kFrame);
    loadIntoView(view, svg);
    view.fitPage();
    *picture = view.viewport()->grab().size();
    const auto* scene = static_cast<const CSVGScene*>(view.scene());
    return view.mapFromScene(scene->getItemsRect()).boundingRect();
}

void freeClosedDrawings()
{
    while (!CSVGTreeDisposal::isIdle())
        QCoreApplication::processEvents();
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
// the same size and place, each freeing what it made: ours as the event loop
// frees a closed drawing's elements between two files a user opens.
void bench_canvas::loadFitPaint()
{
    QSize picture;
    const QRect drawn = fittedRect(m_svg, &picture);
    freeClosedDrawings();
    qInfo().noquote() << QString("both draw the drawing at %1 x %2 px on a picture of %3 x %4")
                             .arg(drawn.width())
                             .arg(drawn.height())
                             .arg(picture.width())
                             .arg(picture.height());
    QImage ours;
    QImage peer;
    compareInterleaved(
        "paths10k.svg loaded into a view, fitted, painted and freed", 7,
        [&] {
            {
                CSVGView view(nullptr);
                view.resize(kFrame);
                loadIntoView(view, m_svg);
                view.fitPage();
                ours = view.viewport()->grab().toImage();
            }
            freeClosedDrawings();
        },
        "QSvgRenderer loading, rendering and freeing it",
        [&] {
            QSvgRenderer renderer(m_svg);
            peer = QImage(picture, QImage::Format_ARGB32_Premultiplied);
            peer.fill(Qt::white);
            QPainter painter(&peer);
            renderer.render(&painter, drawn);
        });
    QVERIFY(!ours.isNull() && ours.size() == peer.size());
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
