// The cut job's sections and the raster previews, on the shared generator's
// roll of 15 m with 2,000 curved pieces (generated into the build folder on
// first use):
// - buildPlotSections at frame lengths 1000 and 500, whole, and its clipping
//   alone against Clipper's open-path intersection of the same polylines
//   into the same frames; the same job on a roll twice as long shows how it
//   grows;
// - renderSvgToImage at 300 x 300 and at the page's size against
//   QSvgRenderer drawing the same text.
// Run with QT_QPA_PLATFORM=offscreen.

#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "CSVGSectionClipper.h"
#include "CSVGUtils.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <memory>

namespace {

// The roll, or the roll followed by a copy of itself 15 m further on.
std::unique_ptr<CSVGDocument> loadRoll(bool twice)
{
    auto document = std::make_unique<CSVGDocument>();
    document->openFile(benchInput(QStringLiteral("roll15m.svg")).toStdWString());
    CSVGElement* root = document->getOwnerSvg();
    const int pieces = root->getChildCount();
    for (int i = 0; twice && i < pieces; ++i) {
        CSVGElement* copy = root->getChild(i)->clone(true);
        copy->setAttribute(L"transform", L"translate(15000,0)", false);
        root->appendChild(copy, true, false);
    }
    root->updateMatrix(nullptr, false);
    return document;
}

QList<QPolygonF> flattenPieces(CSVGDocument& document)
{
    QList<QPolygonF> polygons;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i)))
            polygons += CSVGUtils::pathToPolygons(shape->getTransformedPath(), QTransform());
    }
    return polygons;
}

int pointCount(const std::vector<std::wstring>& texts)
{
    int numbers = 0;
    for (const std::wstring& text : texts) {
        for (size_t at = text.find(L"points=\""); at != std::wstring::npos; at = text.find(L"points=\"", at + 1)) {
            const size_t end = text.find(L'"', at + 8);
            numbers += int(std::count(text.begin() + long(at) + 8, text.begin() + long(end), L' ')) + 1;
        }
    }
    return numbers / 2;
}

// One Clipper run per frame with the polylines whose boxes reach into it.
size_t clipperFrames(const QList<QPolygonF>& polygons, double width, int frames)
{
    const auto point
        = [](const QPointF& p) { return ClipperLib::IntPoint(qRound64(p.x() * 1e3), qRound64(p.y() * 1e3)); };
    std::vector<std::vector<ClipperLib::Path>> byFrame(size_t(frames) + 1);
    for (const QPolygonF& polygon : polygons) {
        ClipperLib::Path path;
        for (const QPointF& p : polygon)
            path.push_back(point(p));
        const QRectF box = polygon.boundingRect();
        const int first = std::max(0, int(std::floor(box.left() / width)));
        const int last = std::min(frames, int(std::floor(box.right() / width)));
        for (int k = first; k <= last; ++k)
            byFrame[size_t(k)].push_back(path);
    }
    size_t pieces = 0;
    for (int k = 0; k <= frames; ++k) {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(byFrame[size_t(k)], ClipperLib::ptSubject, false);
        const QRectF frame(k * width, -999999.0, width, 1999998.0);
        clipper.AddPath(
            { point(frame.topLeft()), point(frame.topRight()), point(frame.bottomRight()), point(frame.bottomLeft()) },
            ClipperLib::ptClip, true);
        ClipperLib::PolyTree tree;
        clipper.Execute(ClipperLib::ctIntersection, tree);
        ClipperLib::Paths open;
        ClipperLib::OpenPathsFromPolyTree(tree, open);
        pieces += open.size();
    }
    return pieces;
}

} // namespace

class bench_plotRender : public QObject
{
    Q_OBJECT
private slots:
    void sections_data();
    void sections();
    void rendering_data();
    void rendering();
};

void bench_plotRender::sections_data()
{
    QTest::addColumn<double>("width");
    QTest::newRow("frame 1000") << 1000.0;
    QTest::newRow("frame 500") << 500.0;
}

void bench_plotRender::sections()
{
    QFETCH(double, width);
    const std::unique_ptr<CSVGDocument> roll = loadRoll(false);
    const std::unique_ptr<CSVGDocument> doubled = loadRoll(true);
    std::vector<std::wstring> texts;
    compareInterleaved(
        QString("buildPlotSections, 15 m at %1").arg(width), 5, [&] { texts = roll->buildPlotSections(width, true); },
        QString("the same, 30 m"), [&] { doubled->buildPlotSections(width, true); });
    qInfo().noquote() << QString("%1 sections, %2 points").arg(texts.size()).arg(pointCount(texts));

    const QList<QPolygonF> polygons = flattenPieces(*roll);
    const int frames = int(std::floor(15000.0 / width));
    size_t ours = 0;
    size_t theirs = 0;
    compareInterleaved(
        QString("section clipping at %1").arg(width), 5,
        [&] {
            CSVGSectionClipper clipper(QRectF(0, -999999.0, width, 1999998.0), 0.0, 0, frames);
            for (const QPolygonF& polygon : polygons)
                clipper.addPolyline(polygon);
            ours = 0;
            for (const auto& section : clipper.takeSections())
                ours += section.size();
        },
        QString("Clipper open paths"), [&] { theirs = clipperFrames(polygons, width, frames); });
    qInfo().noquote() << QString("pieces: ours %1, Clipper %2").arg(ours).arg(theirs);
}

void bench_plotRender::rendering_data()
{
    QTest::addColumn<QSize>("target");
    QTest::newRow("300 x 300") << QSize(300, 300);
    QTest::newRow("page size") << QSize(15001, 1521);
}

void bench_plotRender::rendering()
{
    QFETCH(QSize, target);
    QFile file(benchInput(QStringLiteral("roll15m.svg")));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const std::wstring text = QString::fromUtf8(bytes).toStdWString();
    compareInterleaved(
        QString("renderSvgToImage %1 x %2").arg(target.width()).arg(target.height()), 5,
        [&] {
            QImage image;
            int count = 0;
            QRectF page(0, 0, 15000, 1520);
            CSVGDocument::renderSvgToImage(image, count, text, target.width(), target.height(), page, 0);
        },
        QString("QSvgRenderer"),
        [&] {
            QImage image(target, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            QSvgRenderer(bytes).render(&painter);
        });
}

ZOCUT_BENCH_MAIN_WITH(QGuiApplication, bench_plotRender)
#include "bench_plotRender.moc"
