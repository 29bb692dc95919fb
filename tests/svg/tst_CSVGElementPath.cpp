#include "CSVGElementPath.h"
#include "CSVGPathSegLineto.h"
#include "TestElements.h"
#include "TestEnvironment.h"

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

ZOCUT_TEST_MAIN(tst_CSVGElementPath)
#include "tst_CSVGElementPath.moc"
