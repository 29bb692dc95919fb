#include "CSVGDocument.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QPainterPath>
#include <QPointer>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>

#include <cmath>
#include <memory>
#include <polyclipping/clipper.hpp>

namespace {

// Pieces on a page of 100 x 100 units at (0, 0); each records the warnings
// that reach the editor.
struct Page : TestDrawing
{
    Page()
    {
        document.setPageRect(QRectF(0, 0, 100, 100));
        CSVGDocument::setWarningHook(
            [this](const QString& title, const QString& text) { warnings << title + ": " + text; });
    }
    ~Page() { CSVGDocument::setWarningHook(nullptr); }
    QString flags() const
    {
        QStringList marked;
        for (int i = 0; i < root->getChildCount(); ++i) {
            if (document.isIntersected(root->getChild(i)))
                marked << QString::number(i);
        }
        return marked.join(' ');
    }
    QStringList warnings;
};

QString polygonData(const QPolygonF& polygon)
{
    QString data = "d=M";
    for (const QPointF& p : polygon)
        data += QString("%1 %2 L").arg(p.x(), 0, 'f', 3).arg(p.y(), 0, 'f', 3);
    data.chop(1);
    return data + "Z";
}

// A star-shaped simple polygon about the centre.
QPolygonF randomPolygon(QRandomGenerator& random, const QPointF& centre)
{
    QPolygonF polygon;
    const int corners = 3 + random.bounded(6);
    for (int k = 0; k < corners; ++k) {
        const double angle = 2 * M_PI * (k + random.bounded(0.8)) / corners;
        const double radius = 5 + random.bounded(15.0);
        polygon << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return polygon;
}

double clipperOverlap(const QPolygonF& a, const QPolygonF& b)
{
    const auto toPath = [](const QPolygonF& polygon) {
        ClipperLib::Path path;
        for (const QPointF& p : polygon)
            path.push_back(ClipperLib::IntPoint(std::llround(p.x() * 1000), std::llround(p.y() * 1000)));
        return path;
    };
    ClipperLib::Clipper clipper;
    clipper.AddPath(toPath(a), ClipperLib::ptSubject, true);
    clipper.AddPath(toPath(b), ClipperLib::ptClip, true);
    ClipperLib::Paths result;
    clipper.Execute(ClipperLib::ctIntersection, result);
    double area = 0;
    for (const ClipperLib::Path& path : result)
        area += std::abs(ClipperLib::Area(path));
    return area / 1e6;
}

} // namespace

class tst_CSVGDocumentIntersection : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void staleMarksAreRenewed();
    void queuedOnTheDocument();
    void slicedRunMatchesWholeRun_data();
    void slicedRunMatchesWholeRun();
    void agreesWithClipper();
};

void tst_CSVGDocumentIntersection::check_data()
{
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QString>("flagged");
    QTest::addColumn<QString>("refusal"); // empty: cutting may go on
    const QString inner = squareData(20, 20, 10);
    const QString none;
    const QString mayCut;
    const QString overlap = "Some pieces has intersected!";
    const QString edge = "A piece of 10.0 × 10.0 mm at (95.0, 20.0) mm crosses the page's edge.";
    QTest::newRow("boxes touch along an edge") << QStringList { inner, squareData(30, 20, 10) } << none << mayCut;
    QTest::newRow("one inside another") << QStringList { squareData(10, 10, 40), inner } << "0 1" << overlap;
    QTest::newRow("two points closed back") << QStringList { "d=M10 10 L20 10 Z", inner } << "0" << overlap;
    QTest::newRow("one point, an open line") << QStringList { "d=M50 50", "d=M60 60 L70 60", inner } << none << mayCut;
    QTest::newRow("half over the page edge") << QStringList { squareData(95, 20, 10) } << "0" << edge;
    QTest::newRow("wholly off the page") << QStringList { squareData(120, 20, 10) } << none << mayCut;
    QTest::newRow("overlapping off the page")
        << QStringList { squareData(120, 20, 10), squareData(125, 20, 10) } << "0 1" << mayCut;
    QTest::newRow("tear line over a piece")
        << QStringList { inner, squareData(22, 22, 4) + "|tear_line=true" } << none << mayCut;
    QTest::newRow("hidden piece over a piece")
        << QStringList { inner, squareData(22, 22, 4) + "|display=none" } << none << mayCut;
    QTest::newRow("tear line across the border")
        << QStringList { squareData(95, 20, 10) + "|tear_line=true" } << none << edge;
    QTest::newRow("same ids, marks by piece")
        << QStringList { inner + "|id=p", squareData(25, 25, 10) + "|id=p", squareData(60, 60, 5) + "|id=p" } << "0 1"
        << overlap;
    QTest::newRow("empty ids, marks by piece")
        << QStringList { inner + "|id=", squareData(60, 60, 5) + "|id=", squareData(62, 62, 5) + "|id=" } << "1 2"
        << overlap;
}

void tst_CSVGDocumentIntersection::check()
{
    QFETCH(QStringList, pieces);
    QFETCH(QString, flagged);
    QFETCH(QString, refusal);
    Page page;
    for (const QString& piece : pieces)
        page.addPath(piece);
    appendShape<CSVGElement>(page.root, "defs", "");
    page.document.checkIntersections();
    QCOMPARE(page.flags(), flagged);
    QVERIFY(!page.document.isIntersectionStale());
    QCOMPARE(page.document.checkNoIntersection(), refusal.isEmpty());
    QCOMPARE(page.warnings, refusal.isEmpty() ? QStringList() : QStringList { "Warning: " + refusal });
}

// Cutting asks before any run, and after changes: the marks are renewed
// first, whatever the last run found.
void tst_CSVGDocumentIntersection::staleMarksAreRenewed()
{
    Page page;
    page.addPath(squareData(10, 10, 20));
    CSVGElement* moving = page.addPath(squareData(50, 10, 20));
    QVERIFY(page.document.isIntersectionStale());
    QVERIFY(page.document.checkNoIntersection());
    moving->setAttribute(L"transform", L"translate(-30,0)", true);
    moving->updateMatrix(nullptr, true);
    QVERIFY(page.document.isIntersectionStale());
    QVERIFY(!page.document.checkNoIntersection());
    QCOMPARE(page.flags(), QString("0 1"));
    page.document.setPageRect(QRectF());
    QVERIFY(page.document.isIntersectionStale());

    CSVGDocument rootless;
    rootless.clearContents();
    QVERIFY(!rootless.checkNoIntersection());
    QVERIFY(!rootless.isIntersected(nullptr));
}

// The run comes from the event loop; a document closed before drops it, and
// a dead piece leaves the marks.
void tst_CSVGDocumentIntersection::queuedOnTheDocument()
{
    auto page = std::make_unique<Page>();
    page->addPath(squareData(10, 10, 20));
    CSVGElement* second = page->addPath(squareData(20, 20, 20));
    page->document.requestIntersectionCheck();
    QCOMPARE(page->flags(), QString());
    QCoreApplication::processEvents();
    QCOMPARE(page->flags(), QString("0 1"));
    page->root->deleteChild(second);
    QCOMPARE(page->flags(), QString("0"));

    page->document.requestIntersectionCheck();
    page.reset();
    QCoreApplication::processEvents();

    CSVGDocument rootless;
    rootless.clearContents();
    rootless.requestIntersectionCheck();
    QCoreApplication::processEvents();
}

// A large run goes in slices between events and ends with the marks of a
// whole run, also when a piece dies on the way, while the pieces are
// outlined or while they are swept: it starts over without it. Every third
// piece reaches into the next one; all lie off the page. A slice takes one
// batch of pieces, so the run is under way however fast the build.
void tst_CSVGDocumentIntersection::slicedRunMatchesWholeRun_data()
{
    QTest::addColumn<int>("turns");
    QTest::newRow("outlining") << 1;
    QTest::newRow("sweeping") << 100;
}

void tst_CSVGDocumentIntersection::slicedRunMatchesWholeRun()
{
    QFETCH(int, turns);
    const qint64 sliceTime = CSVGDocument::setCheckSliceTime(0);
    const auto restore = qScopeGuard([sliceTime] { CSVGDocument::setCheckSliceTime(sliceTime); });
    Page page;
    for (int i = 0; i < 3000; ++i)
        page.addPath(squareData(200 + 25 * i, 0, i % 3 == 0 ? 40 : 20));
    QSignalSpy finished(&page.document, &CSVGDocument::changed);
    page.document.requestIntersectionCheck();
    for (int turn = 0; turn < turns; ++turn)
        QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 0);
    page.root->deleteChild(page.root->getChild(1000));
    QTRY_VERIFY(finished.count() > 0);
    const QString sliced = page.flags();
    QVERIFY(sliced.startsWith("0 1 3 4 "));
    QVERIFY(!sliced.split(' ').contains("999"));
    page.document.checkIntersections();
    QCOMPARE(page.flags(), sliced);
}

// Pairs of random polygons, touching pairs left out: marked exactly when
// Clipper finds an overlap.
void tst_CSVGDocumentIntersection::agreesWithClipper()
{
    QRandomGenerator random(122);
    int overlapping = 0;
    for (int round = 0; round < 300; ++round) {
        const QPolygonF a = randomPolygon(random, QPointF(300, 300));
        const QPolygonF b = randomPolygon(random, QPointF(300 + random.bounded(45.0), 300 + random.bounded(45.0)));
        const double area = clipperOverlap(a, b);
        if (area > 0 && area < 0.01)
            continue;
        TestDrawing drawing;
        drawing.addPath(polygonData(a));
        drawing.addPath(polygonData(b));
        drawing.document.checkIntersections();
        const bool marked = drawing.document.isIntersected(drawing.root->getChild(0));
        QCOMPARE(drawing.document.isIntersected(drawing.root->getChild(1)), marked);
        QVERIFY2(marked == (area > 0), qPrintable(QString("round %1, area %2").arg(round).arg(area)));
        overlapping += marked;
    }
    QVERIFY(overlapping > 50 && overlapping < 250);
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentIntersection)
#include "tst_CSVGDocumentIntersection.moc"
