#include "CSVGElementPath.h"
#include "CSVGPathData.h"
#include "CSVGPathSegLineto.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>
#include <memory>

namespace {

CSVGElementPath* newPath(CSVGDocument& document, const QString& data)
{
    return appendShape<CSVGElementPath>(&document, "path", "d=" + data);
}

} // namespace

class tst_CSVGElementPath : public QObject
{
    Q_OBJECT
private slots:
    void dataIntake();
    void appendedAndRemovedSegments();
    void normalizeWritesTwoDecimals();
    void writtenDataReadsBackAsKept();
    void preparedAsRead_data();
    void preparedAsRead();
};

// Character references between numbers separate them, as white space does;
// copies keep the outline. Loading sets "d" without notifying; the cached
// outline must follow anyway.
void tst_CSVGElementPath::dataIntake()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, "M0 0&#xA;10 10 L10&#x9;0&#xD;z");
    QCOMPARE(path->toPathData(), std::wstring(L"M0.00 0.00 L10.00 10.00 L10.00 0.00 Z"));
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 10));
    QCOMPARE(path->getFlattenedPoints().at(1), QPointF(10, 10));
    std::unique_ptr<CSVGElement> copy(path->clone(false));
    auto* duplicate = dynamic_cast<CSVGElementPath*>(copy.get());
    QVERIFY(duplicate);
    QCOMPARE(duplicate->toPathData(), path->toPathData());
    QCOMPARE(duplicate->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 10));

    path->setAttribute(L"d", L"M0 0 L50 20 Z", false);
    QCOMPARE(path->getFlattenedPoints().at(1), QPointF(50, 20));
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 50, 20));
    QCOMPARE(path->getPainterPath().elementCount(), 3);
    path->setAttribute(L"d", L"", true);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF());
    QVERIFY(path->getPainterPath().isEmpty());
    QVERIFY(document.isModified());
}

// A path built point by point, as the drawing tools do, also after its
// geometry was read once; then taken apart again.
void tst_CSVGElementPath::appendedAndRemovedSegments()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, "");
    QCOMPARE(path->getSegment(0), nullptr);
    path->appendMoveto(0, 0);
    path->appendLineto(10, 0);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 0));
    path->appendCurvetoCubic(10, 10, 0, 10, 0, 20);
    QVERIFY(path->isGeometryDirty());
    path->appendClosePath();
    QVERIFY(!path->isGeometryDirty());
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 20));
    QCOMPARE(path->toPathData(), std::wstring(L"M0.00 0.00 L10.00 0.00 C10.00 10.00 0.00 10.00 0.00 20.00 Z"));

    QCOMPARE(path->getSegmentFromEnd(3)->getType(), std::uint16_t(CSVGPathSeg::Moveto));
    QCOMPARE(path->getSegmentFromEnd(4), nullptr);
    QCOMPARE(path->getSegmentFromEnd(-1), nullptr);
    CSVGPathSegLineto foreign(5, 5);
    QVERIFY(!path->removeSegment(&foreign));
    QVERIFY(path->removeSegment(path->getSegmentFromEnd(0)));
    QVERIFY(path->removeSegment(path->getSegmentFromEnd(0)));
    QCOMPARE(path->getSegmentCount(), 2);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 0));
}

void tst_CSVGElementPath::normalizeWritesTwoDecimals()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, "m1.234 2 h1e1 t1 1|transform=translate(1,2)");
    path->normalizeTransform();
    QCOMPARE(path->getAttribute(L"d"), std::wstring(L"M1.23 2.00 L11.23 2.00 T12.23 3.00"));
    QCOMPARE(path->getAttribute(L"transform"), std::wstring(L"translate(1,2)"));
    QVERIFY(document.isModified());
}

// Writing "d" from the segments leaves every number as reading the text
// gives it, halves of a hundredth and huge values included, for one
// sub-path and for several (which reading closes).
void tst_CSVGElementPath::writtenDataReadsBackAsKept()
{
    QRandomGenerator random(5);
    CSVGDocument document;
    for (int round = 0; round < 200; ++round) {
        CSVGElementPath* path = newPath(document, "");
        const auto number = [&random] {
            switch (random.bounded(4)) {
            case 0:
                return random.bounded(2000.0) - 1000;
            case 1:
                return (random.bounded(400001) - 200000) / 200.0;
            case 2:
                return std::ldexp(random.bounded(2.0) - 1, random.bounded(80) - 20);
            default:
                return random.bounded(2) ? 0.004999 : -0.005;
            }
        };
        const int subPaths = 1 + round % 2;
        for (int sub = 0; sub < subPaths; ++sub) {
            path->appendMoveto(number(), number());
            path->appendLineto(number(), number());
            path->appendCurvetoCubic(number(), number(), number(), number(), number(), number());
            path->appendClosePath();
        }
        path->writePathData(true);
        const CSVGPathSegList read = CSVGPathData::parsePathData(path->getAttribute(L"d"));
        QCOMPARE(read.size(), path->getSegments().size());
        for (std::size_t i = 0; i < read.size(); ++i) {
            QCOMPARE(read[i]->getType(), path->getSegments()[i]->getType());
            QVERIFY2(read[i]->x == path->getSegments()[i]->x && read[i]->y == path->getSegments()[i]->y,
                qPrintable(QString::fromStdWString(path->getAttribute(L"d"))));
        }
        QCOMPARE(path->toPathData(), path->getAttribute(L"d"));
    }
}

void tst_CSVGElementPath::preparedAsRead_data()
{
    QTest::addColumn<QString>("data");
    QTest::newRow("a rectangle wider than high") << "M0 0 L10 0 L10 5 Z";
    QTest::newRow("lines after a close") << "M0 0 L10 0 L10 10 Z L5 5";
}

// An outline prepared from segments has the box and painter path that
// reading its text gives.
void tst_CSVGElementPath::preparedAsRead()
{
    QFETCH(QString, data);
    CSVGDocument document;
    CSVGElementPath* read = newPath(document, data);
    CSVGElementPath* prepared = newPath(document, "");
    prepared->adopt(CSVGElementPath::prepare(CSVGPathData::parsePathData(data.toStdWString())));
    QCOMPARE(prepared->getBoundingRect().toQRectF(), read->getBoundingRect().toQRectF());
    QVERIFY(prepared->getPainterPath() == read->getPainterPath());
}

ZOCUT_TEST_MAIN(tst_CSVGElementPath)
#include "tst_CSVGElementPath.moc"
