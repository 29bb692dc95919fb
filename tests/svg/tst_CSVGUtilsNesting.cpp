#include "CSVGUtils.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace {
CSVGElement* tag(int i)
{
    return reinterpret_cast<CSVGElement*>(quintptr(i) * 16);
}

CSVGOutline outline(int id, const QPainterPath& path)
{
    CSVGOutline result;
    result.element = tag(id);
    result.path = path;
    return result;
}

// The nesting as first described: one outline at a time, smallest first,
// offered to every larger one in turn.
std::vector<CSVGOutline> nestOneByOne(std::vector<CSVGOutline> outlines, double minimumArea)
{
    for (CSVGOutline& o : outlines)
        o.area = std::abs(CSVGUtils::signedArea(o.path.toFillPolygon()));
    std::stable_sort(
        outlines.begin(), outlines.end(), [](const CSVGOutline& a, const CSVGOutline& b) { return a.area < b.area; });
    outlines.erase(
        std::remove_if(outlines.begin(), outlines.end(), [&](const CSVGOutline& o) { return o.area < minimumArea; }),
        outlines.end());
    std::vector<CSVGOutline> units;
    while (!outlines.empty()) {
        const CSVGOutline first = outlines.front();
        outlines.erase(outlines.begin());
        if (!CSVGUtils::insertIntoContainer(first, outlines))
            units.push_back(first);
    }
    return units;
}

// The tree as text: element tags with their children in brackets.
QString shape(const std::vector<CSVGOutline>& outlines)
{
    QStringList parts;
    for (const CSVGOutline& o : outlines) {
        QString part = QString::number(quintptr(o.element) / 16);
        if (!o.children.empty())
            part += "[" + shape(o.children) + "]";
        parts << part;
    }
    return parts.join(' ');
}

// Nesting units as text: tag and "position_id", with those of a group's
// children in brackets.
QString describeUnits(const QList<CSVGElement*>& units)
{
    QStringList parts;
    for (const CSVGElement* unit : units) {
        QStringList children;
        for (int i = 0; i < unit->getChildCount(); ++i)
            children << QString::fromStdWString(unit->getChild(i)->getAttribute(L"position_id"));
        parts << QString::fromStdWString(unit->getTagName() + L":" + unit->getAttribute(L"position_id"))
                + (children.isEmpty() ? QString() : "[" + children.join(',') + "]");
    }
    return parts.join(' ');
}
} // namespace

class tst_CSVGUtilsNesting : public QObject
{
    Q_OBJECT
private slots:
    void outlinesOfPathAreOriented();
    void nest_data();
    void nest();
    void matchesOneByOneNesting();
    void nestingUnits_data();
    void nestingUnits();
};

void tst_CSVGUtilsNesting::outlinesOfPathAreOriented()
{
    QPainterPath path;
    path.moveTo(0, 0); // drawn against the positive direction
    path.lineTo(0, 10);
    path.lineTo(10, 10);
    path.lineTo(10, 0);
    path.closeSubpath();
    path.moveTo(50, 50); // a lone move is no sub-path
    path.moveTo(20, 0);
    path.cubicTo(30, 0, 30, 10, 20, 10); // open, positive
    path.moveTo(0, 20);
    path.lineTo(5, 20); // a straight stroke, area 0
    // Closed or not, element count, and the x of the second element, which
    // shows the first ring reversed.
    QStringList parts;
    for (const CSVGOutline& o : CSVGUtils::outlinesOfPath(path, tag(3))) {
        QVERIFY(o.element == tag(3) && CSVGUtils::signedArea(o.path.toFillPolygon()) >= 0);
        parts << QString::asprintf(
            "%s:%d:%g", o.closed ? "closed" : "open", o.path.elementCount(), o.path.elementAt(1).x);
    }
    QCOMPARE(parts.join(' '), QStringLiteral("closed:5:10 open:4:30 open:2:5"));
}

void tst_CSVGUtilsNesting::nest_data()
{
    QTest::addColumn<QList<QRectF>>("rectangles");
    QTest::addColumn<double>("minimumArea");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a hole and a separate piece")
        << QList<QRectF>({ { 0, 0, 10, 10 }, { 1, 1, 2, 2 }, { 20, 0, 3, 3 } }) << 0.01 << "3 1[2]";
    QTest::newRow("three nested") << QList<QRectF>({ { 0, 0, 1, 1 }, { -1, -1, 3, 3 }, { -2, -2, 5, 5 } }) << 0.01
                                  << "3[2[1]]";
    QTest::newRow("two holes in ascending area")
        << QList<QRectF>({ { 0, 0, 10, 10 }, { 5, 5, 2, 2 }, { 1, 1, 1, 1 } }) << 0.0 << "1[3 2]";
    QTest::newRow("area equal to the minimum stays")
        << QList<QRectF>({ { 0, 0, 2, 2 }, { 5, 0, 1.9, 2 } }) << 4.0 << "1";
    QTest::newRow("all below the minimum") << QList<QRectF>({ { 0, 0, 1, 1 } }) << 1.5 << "";
    QTest::newRow("a stroke without area") << QList<QRectF>({ { 0, 0, 5, 0 } }) << 0.0 << "1";
    QTest::newRow("dropped under the default") << QList<QRectF>({ { 0, 0, 5, 0 } }) << 0.01 << "";
    QTest::newRow("geometry not finite dropped")
        << QList<QRectF>({ { 0, 0, 10, 10 }, { 1, 1, qQNaN(), 2 }, { 0, 0, qInf(), 1 } }) << 0.0 << "1";
}

void tst_CSVGUtilsNesting::nest()
{
    QFETCH(QList<QRectF>, rectangles);
    QFETCH(double, minimumArea);
    QFETCH(QString, expected);
    std::vector<CSVGOutline> outlines;
    for (int i = 0; i < rectangles.size(); ++i) {
        // Placed afterwards, as a path refuses points that are not finite.
        const QPolygonF corners(rectangles[i]);
        QPainterPath path;
        path.addPolygon(QPolygonF(QRectF(0, 0, 1, 1)));
        for (int k = 0; k < corners.size(); ++k)
            path.setElementPositionAt(k, corners[k].x(), corners[k].y());
        outlines.push_back(outline(i + 1, path));
    }
    const std::vector<CSVGOutline> units = CSVGUtils::nestOutlines(outlines, minimumArea);
    QCOMPARE(shape(units), expected);
    if (!units.empty()) {
        const QRectF largest = rectangles[int(quintptr(units.back().element) / 16) - 1];
        QCOMPARE(units.back().area, largest.width() * largest.height());
    }
}

// Rectangles and circles, many inside others and some overlapping, spread
// unevenly: the indexed nesting must pick the same containers.
void tst_CSVGUtilsNesting::matchesOneByOneNesting()
{
    QRandomGenerator random(5);
    for (int round = 0; round < 25; ++round) {
        std::vector<CSVGOutline> outlines;
        const int count = 1 + random.bounded(100);
        for (int i = 0; i < count; ++i) {
            const double size = std::pow(10.0, random.bounded(3.0));
            const QRectF rect(random.bounded(1000.0), random.bounded(300.0), size, size * random.bounded(2.0));
            QPainterPath path;
            if (random.bounded(2))
                path.addEllipse(rect);
            else
                path.addRect(rect);
            outlines.push_back(outline(i + 1, path));
        }
        const double minimumArea = random.bounded(2) ? 0.0 : 50.0;
        QCOMPARE(shape(CSVGUtils::nestOutlines(outlines, minimumArea)), shape(nestOneByOne(outlines, minimumArea)));
    }
}

// A group is made under the root, and not at all without one; a path element
// alone is left without parent. A ring there and back is dropped even when
// the minimum area lets it pass.
void tst_CSVGUtilsNesting::nestingUnits_data()
{
    QTest::addColumn<bool>("withRoot");
    QTest::addColumn<QString>("expected");
    QTest::newRow("with root") << true << "path: path:c g:a[,a]";
    QTest::newRow("without root") << false << "path: path:c";
}

void tst_CSVGUtilsNesting::nestingUnits()
{
    QFETCH(bool, withRoot);
    QFETCH(QString, expected);
    QSettings().setValue(QStringLiteral("hpgl/NestingMinArea"), 0);
    TestDrawing drawing;
    std::vector<CSVGOutline> outlines;
    for (const QString& path : { squareData(0, 0, 10) + "|position_id=a", squareData(1, 1, 2),
             squareData(20, 0, 3) + "|position_id=c", QString("d=M0 0 L5 5 L0 0"), QString("d=M0 0 L5 5") })
        CSVGUtils::collectOutlines(drawing.addPath(path), outlines);
    const std::unique_ptr<CSVGElement> detached(withRoot ? nullptr : drawing.root);
    if (!withRoot)
        drawing.document.removeChild(drawing.root, false);
    const QList<CSVGElement*> units = CSVGUtils(&drawing.document).buildNestingUnits(outlines);
    QCOMPARE(describeUnits(units), expected);
    for (CSVGElement* unit : units) {
        QCOMPARE(unit->getParent(), unit->getChildCount() > 0 ? drawing.root : nullptr);
        if (!unit->getParent())
            delete unit;
    }
}

ZOCUT_TEST_MAIN(tst_CSVGUtilsNesting)
#include "tst_CSVGUtilsNesting.moc"
