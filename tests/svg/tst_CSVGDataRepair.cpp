#include "CActionComposite.h"
#include "CSVGDataRepair.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>

using Segment = CSVGDataRepair::Segment;
using Chain = CSVGDataRepair::Chain;

Q_DECLARE_METATYPE(std::vector<Segment>)

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygonOf(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

CSVGElement* tag(int i)
{
    return reinterpret_cast<CSVGElement*>(quintptr(i) * 16);
}

CSVGOutline stroke(int id, const QPolygonF& points)
{
    CSVGOutline o;
    o.element = tag(id);
    o.path.addPolygon(points);
    return o;
}

Segment segment(int id, QPointF start, QPointF end)
{
    return Segment { start, end, stroke(id, QPolygonF()) };
}

bool same(const QPointF& a, const QPointF& b)
{
    return std::abs(a.x() - b.x()) <= 1e-12 && std::abs(a.y() - b.y()) <= 1e-12;
}

Chain reversed(Chain chain)
{
    std::reverse(chain.begin(), chain.end());
    for (Segment& s : chain)
        std::swap(s.start, s.end);
    return chain;
}

Chain operator+(Chain a, const Chain& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Chain building as first described: scan the chains for every segment,
// and after every merge scan all pairs again from the front.
std::vector<Chain> buildChainsByScanning(const std::vector<Segment>& segments)
{
    std::vector<Chain> chains;
    for (const Segment& s : segments) {
        const Chain x { s };
        auto c = chains.begin();
        for (; c != chains.end(); ++c) {
            if (same(s.end, c->front().start))
                *c = x + *c;
            else if (same(s.start, c->front().start))
                *c = reversed(x) + *c;
            else if (same(s.start, c->back().end))
                *c = *c + x;
            else if (same(s.end, c->back().end))
                *c = *c + reversed(x);
            else
                continue;
            break;
        }
        if (c == chains.end())
            chains.push_back(x);
    }
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < chains.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < chains.size() && !merged; ++j) {
                const Chain &a = chains[i], &b = chains[j];
                merged = true;
                if (same(a.front().start, b.front().start))
                    chains[j] = reversed(a) + b;
                else if (same(a.front().start, b.back().end))
                    chains[j] = b + a;
                else if (same(a.back().end, b.front().start))
                    chains[j] = a + b;
                else if (same(a.back().end, b.back().end))
                    chains[j] = b + reversed(a);
                else
                    merged = false;
                if (merged)
                    chains.erase(chains.begin() + long(i));
            }
        }
    }
    return chains;
}

QString describe(const std::vector<Chain>& chains)
{
    QStringList text;
    for (const Chain& chain : chains) {
        QStringList parts;
        for (const Segment& s : chain)
            parts << QString::asprintf("%d:%g,%g>%g,%g", int(quintptr(s.outline.element) / 16), s.start.x(),
                s.start.y(), s.end.x(), s.end.y());
        text << parts.join(' ');
    }
    return text.join(" | ");
}

// The children of the element: tag, "position_id" and "d".
QString describeTree(const CSVGElement* parent)
{
    QStringList parts;
    for (int i = 0; i < parent->getChildCount(); ++i) {
        const CSVGElement* child = parent->getChild(i);
        parts << QString::fromStdWString(
            child->getTagName() + L":" + child->getAttribute(L"position_id") + L":" + child->getAttribute(L"d"));
    }
    return parts.join(" | ");
}

std::wstring svgText(CSVGElement* element)
{
    std::wstring text;
    element->writeSvg(text, 0, CSVGRect());
    return text;
}
} // namespace

class tst_CSVGDataRepair : public QObject
{
    Q_OBJECT
private slots:
    void chains_data();
    void chains();
    void matchesScanningDefinition();
    void endsAreRounded_data();
    void endsAreRounded();
    void repairIsUndoneWhole();
};

void tst_CSVGDataRepair::chains_data()
{
    QTest::addColumn<std::vector<Segment>>("segments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("second drawn backwards, third backwards") << std::vector<Segment>(
        { segment(1, { 0, 0 }, { 10, 0 }), segment(2, { 10, 10 }, { 10, 0 }), segment(3, { 0, 10 }, { 10, 10 }) })
                                                             << "1:0,0>10,0 2:10,0>10,10 3:10,10>0,10";
    QTest::newRow("chains meeting at their first points") << std::vector<Segment>(
        { segment(1, { 0, 0 }, { 5, 0 }), segment(2, { 10, 0 }, { 20, 0 }), segment(3, { 0, 0 }, { 10, 0 }) })
                                                          << "1:5,0>0,0 3:0,0>10,0 2:10,0>20,0";
    const double nan = qQNaN();
    QTest::newRow("ends not a number meet nothing")
        << std::vector<Segment>({ segment(1, { nan, 0 }, { 1, 0 }), segment(2, { nan, 0 }, { 3, 0 }) })
        << "1:nan,0>1,0 | 2:nan,0>3,0";
}

void tst_CSVGDataRepair::chains()
{
    QFETCH(std::vector<Segment>, segments);
    QFETCH(QString, expected);
    QCOMPARE(describe(CSVGDataRepair::buildChains(segments)), expected);
}

// End points on a small grid meet often, in every combination of the
// placing and merging tests.
void tst_CSVGDataRepair::matchesScanningDefinition()
{
    QRandomGenerator random(3);
    for (int round = 0; round < 2000; ++round) {
        std::vector<Segment> segments;
        const int count = 1 + random.bounded(40);
        const int grid = 2 + random.bounded(12);
        for (int i = 0; i < count; ++i) {
            segments.push_back(segment(i + 1, QPointF(random.bounded(grid), random.bounded(3)),
                QPointF(random.bounded(grid), random.bounded(3))));
        }
        QCOMPARE(describe(CSVGDataRepair::buildChains(segments)), describe(buildChainsByScanning(segments)));
    }
}

void tst_CSVGDataRepair::endsAreRounded_data()
{
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("second");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("chains");
    QTest::newRow("10.2 and 10.4 meet") << 10.2 << 10.4 << 1 << 1;
    QTest::newRow("10.45 and 10.55 do not") << 10.45 << 10.55 << 1 << 2;
    QTest::newRow("scaled apart") << 10.2 << 10.4 << 10 << 2;
    QTest::newRow("negative halves round up") << -1.5 << -0.6 << 1 << 1;
}

void tst_CSVGDataRepair::endsAreRounded()
{
    QFETCH(double, first);
    QFETCH(double, second);
    QFETCH(int, scale);
    QFETCH(int, chains);
    Segment a, b;
    QVERIFY(CSVGDataRepair::segmentOf(stroke(1, polygonOf({ { 0, 0 }, { first, 0 } })), scale, a));
    QVERIFY(CSVGDataRepair::segmentOf(stroke(2, polygonOf({ { second, 0 }, { 30, 5 } })), scale, b));
    QCOMPARE(a.start, QPointF(0, 0));
    QCOMPARE(b.end, QPointF(30 * scale, 5 * scale));
    QCOMPARE(int(CSVGDataRepair::buildChains({ a, b }).size()), chains);
    QVERIFY(!CSVGDataRepair::segmentOf(CSVGOutline(), 1, a));
}

// Nothing listed: every drawable child of the root is repaired, a group
// among them. Strokes whose rounded ends meet join, each in the direction
// of its place in the chain, close and take the first "position_id" of the
// chain, a piece below the minimum area goes, and no element is made
// beyond those that enter the drawing. Undo and redo swap the whole trees.
void tst_CSVGDataRepair::repairIsUndoneWhole()
{
    TestDrawing drawing;
    CSVGElementShape* group = appendShape(drawing.root, "g", "");
    drawing.addPath(squareData(0, 0, 10) + "|position_id=a", group);
    drawing.addPath(squareData(2, 2, 2), group);
    drawing.addPath("d=M20 0 L30 0.2");
    drawing.addPath("d=M30 10 L35 5 L30 0|position_id=b");
    drawing.addPath(squareData(40, 0, 0.05));
    appendNew(drawing.root, L"title");
    const std::wstring before = svgText(&drawing.document);
    const std::int64_t counter = drawing.document.getIdCounter();

    CSVGDataRepair repair(&drawing.document, {});
    const std::unique_ptr<CActionComposite> action(repair.repair());
    QVERIFY(std::unique_ptr<CActionComposite>(repair.repair())->getActions().empty());
    QCOMPARE(describeTree(drawing.root),
        QStringLiteral("title:: | path:b:M20.00 0.00 L30.00 0.20 L30.00 0.00 L35.00 5.00 L30.00 10.00 L20.00 0.00 Z "
                       "| g:a:"));
    QCOMPARE(drawing.document.getIdCounter(), counter + 4);
    const std::wstring after = svgText(&drawing.document);
    QVERIFY(action->undo().empty());
    QCOMPARE(svgText(&drawing.document), before);
    QCOMPARE(drawing.document.getElementById(group->getId()), group);
    QVERIFY(action->redo().empty());
    QCOMPARE(svgText(&drawing.document), after);
}

ZOCUT_TEST_MAIN(tst_CSVGDataRepair)
#include "tst_CSVGDataRepair.moc"
