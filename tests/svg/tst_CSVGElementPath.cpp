#include "CSVGElementPath.h"
#include "CSVGPathSegLineto.h"
#include "CSVGPathSegMoveto.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <memory>

namespace {

CSVGElementPath* newPath(CSVGDocument& document, const wchar_t* data)
{
    auto* path = static_cast<CSVGElementPath*>(appendNew(&document, L"path"));
    path->setAttribute(L"d", data, false);
    return path;
}

QString types(const CSVGElementPath* path)
{
    QStringList codes;
    for (int i = 0; i < path->getSegmentCount(); ++i)
        codes << QString::number(path->getSegment(i)->getType());
    return codes.join(' ');
}

} // namespace

class tst_CSVGElementPath : public QObject
{
    Q_OBJECT
private slots:
    void dataIntake();
    void changedDataReplacesGeometry();
    void copiesKeepTheOutline();
    void appendedSegments();
    void segmentAccess();
    void boundsFromFlattenedPoints();
    void hitTestIgnoresStroke();
    void normalizeWritesTwoDecimals();
};

// Character references between numbers separate them, as white space does.
void tst_CSVGElementPath::dataIntake()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"M0 0&#xA;10 10 L10&#x9;0&#xD;z");
    QCOMPARE(types(path), QStringLiteral("0 2 2 18"));
    QCOMPARE(path->toPathData(), std::wstring(L"M0.00 0.00 L10.00 10.00 L10.00 0.00 Z"));
    // The attribute keeps the text as given.
    QCOMPARE(path->getAttribute(L"d"), std::wstring(L"M0 0&#xA;10 10 L10&#x9;0&#xD;z"));
    QCOMPARE(path->getAttributeNumber(L"d"), 0.0);
}

// Loading sets "d" without notifying; the cached outline must follow anyway.
void tst_CSVGElementPath::changedDataReplacesGeometry()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"M0 0 L10 10");
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 10));
    QCOMPARE(path->getFlattenedPoints().size(), size_t(2));
    path->setAttribute(L"d", L"M0 0 L50 20 L0 20 Z", false);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 50, 20));
    QCOMPARE(path->getPainterPath().elementCount(), 4);
    path->setAttribute(L"d", L"", true);
    QCOMPARE(path->getSegmentCount(), 0);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF());
    QVERIFY(path->getPainterPath().isEmpty());
    QVERIFY(document.isModified());
}

void tst_CSVGElementPath::copiesKeepTheOutline()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"M0 0 Q5 10 10 0 T20 0");
    std::unique_ptr<CSVGElement> copy(path->clone(false));
    std::unique_ptr<CSVGElement> twin(path->cloneKeepId(false));
    for (CSVGElement* element : { copy.get(), twin.get() }) {
        auto* duplicate = dynamic_cast<CSVGElementPath*>(element);
        QVERIFY(duplicate);
        QCOMPARE(duplicate->toPathData(), std::wstring(L"M0.00 0.00 Q5.00 10.00 10.00 0.00 T20.00 0.00"));
        QCOMPARE(duplicate->getBoundingRect().toQRectF(), path->getBoundingRect().toQRectF());
    }
}

// A path built point by point, as the drawing tools do, also after its
// geometry was read once.
void tst_CSVGElementPath::appendedSegments()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"");
    CSVGPathSegMoveto* start = path->appendMoveto(0, 0);
    path->appendLineto(10, 0);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 0));
    path->appendCurvetoCubic(10, 10, 0, 10, 0, 20);
    QVERIFY(path->isGeometryDirty());
    path->appendClosePath();
    QVERIFY(!path->isGeometryDirty());
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 10, 20));
    QCOMPARE(path->toPathData(), std::wstring(L"M0.00 0.00 L10.00 0.00 C10.00 10.00 0.00 10.00 0.00 20.00 Z"));
    QCOMPARE(path->getSegment(0), static_cast<CSVGPathSeg*>(start));
}

void tst_CSVGElementPath::segmentAccess()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"M0 0 L1 1 L2 2");
    QCOMPARE(path->getSegmentFromEnd(0)->x, 2.0);
    QCOMPARE(path->getSegmentFromEnd(2)->getType(), std::uint16_t(CSVGPathSeg::Moveto));
    QCOMPARE(path->getSegmentFromEnd(3), nullptr);
    QCOMPARE(path->getSegmentFromEnd(-1), nullptr);
    QCOMPARE(path->getSegment(3), nullptr);
    QCOMPARE(path->getSegment(-1), nullptr);

    CSVGPathSegLineto foreign(5, 5);
    QVERIFY(!path->removeSegment(&foreign));
    QVERIFY(!path->removeSegment(nullptr));
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 2, 2));
    QVERIFY(path->removeSegment(path->getSegmentFromEnd(0)));
    QCOMPARE(path->getSegmentCount(), 2);
    QCOMPARE(path->getBoundingRect().toQRectF(), QRectF(0, 0, 1, 1));
    QCOMPARE(newPath(document, L"")->getSegment(0), nullptr);
}

// The box comes from the coarse point list: a curve counts by its samples,
// not by its control points.
void tst_CSVGElementPath::boundsFromFlattenedPoints()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"M0 0 C0 40 40 40 40 0");
    const CSVGRect box = path->getBoundingRect();
    QCOMPARE(box.x, 0.0);
    QCOMPARE(box.width, 40.0);
    QVERIFY2(box.height > 29 && box.height <= 30, qPrintable(QString::number(box.height)));
    QCOMPARE(path->getFlattenedPoints().front(), QPointF(0, 0));
}

void tst_CSVGElementPath::hitTestIgnoresStroke()
{
    CSVGDocument document;
    TestGroup* group = appendElement(&document, new TestGroup(&document));
    auto* path = static_cast<CSVGElementPath*>(appendNew(group, L"path"));
    setAttributes(path, "d=M0 0 H100 V50 H0 Z M25 10 h50 v30 h-50 z|stroke-width=20|transform=rotate(90)");
    group->setAttribute(L"transform", L"translate(200,0)", false);
    document.updateMatrix(nullptr, false);
    std::wstring group_id;
    std::wstring id;
    // rotate(90) takes (x, y) to (-y, x): the outer square covers canvas
    // x 150 ... 200, y 0 ... 100.
    QVERIFY(path->hitTest(195, 95, group_id, id));
    QCOMPARE(id, path->getId());
    QVERIFY(group_id.empty());
    // Both sub-paths wind the same way: the inner one is no hole.
    QVERIFY(path->hitTest(175, 50, group_id, id));
    QVERIFY(!path->hitTest(205, 50, group_id, id));
    QVERIFY(!path->hitTest(175, -5, group_id, id));
}

void tst_CSVGElementPath::normalizeWritesTwoDecimals()
{
    CSVGDocument document;
    CSVGElementPath* path = newPath(document, L"m1.234 2 h1e1 t1 1");
    path->setAttribute(L"transform", L"translate(1,2)", false);
    path->normalizeTransform();
    QCOMPARE(path->getAttribute(L"d"), std::wstring(L"M1.23 2.00 L11.23 2.00 T12.23 3.00"));
    QCOMPARE(path->getAttribute(L"transform"), std::wstring(L"translate(1,2)"));
    QVERIFY(document.isModified());
}

ZOCUT_TEST_MAIN(tst_CSVGElementPath)
#include "tst_CSVGElementPath.moc"
