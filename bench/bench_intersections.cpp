#include "BenchCompare.h"
#include "BenchMain.h"
#include "CSVGDocument.h"
#include "CSVGElementPath.h"
#include "CSVGElementShape.h"

#include <QPainterPath>

#include <cmath>
#include <vector>

namespace {

// n octagons on a square field: 30 units apart, or 15 so that each overlaps
// its neighbours.
void addPieces(CSVGDocument& document, int pieces, double spacing)
{
    CSVGElement* root = document.getOwnerSvg();
    if (!root) {
        root = document.createElement(L"svg");
        document.appendChild(root, true, false);
    }
    const int side = int(std::ceil(std::sqrt(pieces)));
    for (int i = 0; i < pieces; ++i) {
        QPainterPath octagon;
        const QPointF centre(i % side * spacing, i / side * spacing);
        octagon.moveTo(centre + QPointF(10, 0));
        for (int k = 1; k < 8; ++k)
            octagon.lineTo(centre + 10 * QPointF(std::cos(M_PI * k / 4), std::sin(M_PI * k / 4)));
        octagon.closeSubpath();
        root->appendChild(document.createPathElement(octagon), true, false);
    }
    root->updateMatrix(nullptr, false);
}

// The check as first described: every pair, the boxes first.
int plainPairLoop(CSVGDocument& document)
{
    std::vector<QPainterPath> outlines;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        QPainterPath outline;
        outline.addPolygon(CSVGElementShape::getLargestPolygon(shape->getTransformedPath()));
        outlines.push_back(outline);
    }
    int marked = 0;
    for (size_t i = 0; i < outlines.size(); ++i) {
        const QRectF box = outlines[i].boundingRect();
        for (size_t j = i + 1; j < outlines.size(); ++j) {
            if (!box.intersected(outlines[j].boundingRect()).isEmpty() && outlines[i].intersects(outlines[j]))
                ++marked;
        }
    }
    return marked;
}

} // namespace

// The sweep over boxes against the plain pair loop on the same pieces.
class bench_intersections : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
};

void bench_intersections::check_data()
{
    QTest::addColumn<int>("pieces");
    QTest::addColumn<double>("spacing");
    for (int pieces : { 100, 1000, 5000 }) {
        QTest::newRow(qPrintable(QString("%1 apart").arg(pieces))) << pieces << 30.0;
        QTest::newRow(qPrintable(QString("%1 overlapping").arg(pieces))) << pieces << 15.0;
    }
}

void bench_intersections::check()
{
    QFETCH(int, pieces);
    QFETCH(double, spacing);
    CSVGDocument document;
    addPieces(document, pieces, spacing);
    QLoggingCategory::setFilterRules("default.debug=false");
    compareInterleaved(
        QTest::currentDataTag(), 5, [&document]() { document.checkIntersections(); }, "plain pair loop",
        [&document]() { plainPairLoop(document); });
}

ZOCUT_BENCH_MAIN(bench_intersections)
#include "bench_intersections.moc"
