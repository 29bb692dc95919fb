#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"

#include <cmath>
#include <polyclipping/clipper.hpp>
#include <vector>

namespace {
ClipperLib::Path scaled(const QPolygonF& polygon)
{
    ClipperLib::Path path;
    for (const QPointF& p : polygon)
        path.push_back(ClipperLib::IntPoint(ClipperLib::cInt(p.x() * 1e4), ClipperLib::cInt(p.y() * 1e4)));
    return path;
}

// The peer: each outline offset on its own with round joins, then one union.
std::size_t offsetAndUnite(const std::vector<ClipperLib::Path>& outlines, double delta, double arcTolerance)
{
    ClipperLib::Paths all;
    for (const ClipperLib::Path& outline : outlines) {
        ClipperLib::ClipperOffset offset(2.0, arcTolerance * 1e4);
        offset.AddPath(outline, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
        ClipperLib::Paths grown;
        offset.Execute(grown, delta * 1e4);
        all.insert(all.end(), grown.begin(), grown.end());
    }
    ClipperLib::Clipper clipper;
    clipper.AddPaths(all, ClipperLib::ptSubject, true);
    ClipperLib::Paths united;
    clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return united.size();
}

std::vector<ClipperLib::Path> pieceOutlines(CSVGDocument& document)
{
    std::vector<ClipperLib::Path> outlines;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i)))
            outlines.push_back(scaled(CSVGElementShape::getLargestPolygon(shape->getTransformedPath())));
    }
    return outlines;
}
} // namespace

// Tear lines and the partial expansion against Clipper's bare offset and
// union of the same outlines.
class bench_outlineTools : public QObject
{
    Q_OBJECT
private slots:
    void tearLines();
    void partialExpand();
};

// The 1,960 pieces of the generated roll, 10 units apart: at "Separation"
// 5 their lines merge. Ours creates the lines and removes them again.
void bench_outlineTools::tearLines()
{
    const QString roll = benchInput(QStringLiteral("roll15m.svg"));
    CSVGDocument document;
    QVERIFY(document.openFile(roll.toStdWString()));
    const std::vector<ClipperLib::Path> outlines = pieceOutlines(document);
    QVERIFY(outlines.size() > 1900);
    compareInterleaved(
        QString("tear lines around %1 pieces").arg(outlines.size()), 5,
        [&document] {
            document.createTearLine(true);
            document.createTearLine(false);
        },
        "ClipperOffset and union", [&outlines] { offsetAndUnite(outlines, 5, 0.01); });
}

// A wavy ring of 10,000 points with a quarter of it marked, expanded by 5
// and undone again.
void bench_outlineTools::partialExpand()
{
    CSVGDocument document;
    CSVGElement* root = document.getOwnerSvg();
    QPolygonF ring;
    for (int i = 0; i < 10000; ++i) {
        const double angle = 2 * M_PI * i / 10000;
        const double radius = 1000 + 20 * std::sin(40 * angle);
        ring << QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    ring << ring.first();
    QPainterPath path;
    path.addPolygon(ring);
    root->appendChild(document.createPathElement(path), true, false);
    root->updateMatrix(nullptr, false);
    CSVGElement* piece = root->getChild(0);
    const std::vector<ClipperLib::Path> outlines = pieceOutlines(document);
    compareInterleaved(
        "partial expansion of 10,000 points", 7,
        [&document, &piece, root] {
            document.selectElement(piece, Qt::green);
            CSVGElementShape::asShape(piece)->selectNodesInRect(CSVGRect(0, 0, 1100, 1100));
            document.partialExpand(5);
            document.undo();
            piece = root->getChild(0);
        },
        "ClipperOffset and union", [&outlines] { offsetAndUnite(outlines, 5, 0.001); });
}

ZOCUT_BENCH_MAIN(bench_outlineTools)
#include "bench_outlineTools.moc"
