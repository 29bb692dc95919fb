#include "CSVGRotation.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <cmath>

class tst_CSVGRotation : public QObject
{
    Q_OBJECT
private slots:
    void rotate_data();
    void rotate();
    void deletedOrUnplaceableElementsArePassedOver();
};

void tst_CSVGRotation::rotate_data()
{
    QTest::addColumn<QString>("groupTransform");
    QTest::addColumn<QList<double>>("steps");
    QTest::newRow("10 then 20") << "" << QList<double> { 10, 20 };
    QTest::newRow("in a moved group") << "translate(100,0)" << QList<double> { 30 };
    QTest::newRow("in a turned and scaled group") << "rotate(45) scale(2,3)" << QList<double> { -50, 80 };
}

// Every step turns the canvas position about the centre by the total angle,
// whatever the group around the element does; the group stays as it is.
void tst_CSVGRotation::rotate()
{
    QFETCH(QString, groupTransform);
    QFETCH(QList<double>, steps);
    TestDrawing drawing;
    CSVGElement* group = appendNew(drawing.root, L"g");
    group->setAttribute(L"transform", groupTransform.toStdWString(), false);
    CSVGElement* path = drawing.addPath(squareData(0, 0, 10) + "|transform=translate(3,4)", group);
    const QPointF corner(10, 10);
    const QPointF start = path->getMatrix().map(corner);
    const QPointF centre(7, -2);

    CSVGRotation rotation(&drawing.document);
    rotation.begin({ path, nullptr, appendNew(drawing.root, L"title") }, centre);
    double total = 0;
    for (double step : steps) {
        rotation.rotate(step);
        total += step;
    }
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(total);
    turn.translate(-centre.x(), -centre.y());
    const QPointF expected = turn.map(start);
    const QPointF actual = path->getMatrix().map(corner);
    // The transform text keeps six decimals.
    QVERIFY2(
        QLineF(actual, expected).length() < 1e-3, qPrintable(QStringLiteral("%1 %2").arg(actual.x()).arg(actual.y())));
    QCOMPARE(group->getAttribute(L"transform"), groupTransform.toStdWString());

    const std::wstring stepped = path->getAttribute(L"transform");
    CSVGRotation once(&drawing.document);
    path->setAttribute(L"transform", L"translate(3,4)", false);
    drawing.root->updateMatrix(nullptr, false);
    once.begin({ path }, centre);
    once.rotate(total);
    QCOMPARE(path->getAttribute(L"transform"), stepped);
}

void tst_CSVGRotation::deletedOrUnplaceableElementsArePassedOver()
{
    TestDrawing drawing;
    CSVGElement* flat = appendNew(drawing.root, L"g");
    flat->setAttribute(L"transform", L"scale(0)", false);
    CSVGElement* squeezed = drawing.addPath(squareData(0, 0, 10), flat);
    CSVGElement* gone = drawing.addPath(squareData(0, 0, 10));
    CSVGRotation rotation(&drawing.document);
    rotation.begin({ squeezed, gone }, QPointF(5, 5));
    drawing.root->deleteChild(gone);
    rotation.rotate(90);
    QVERIFY(squeezed->getAttribute(L"transform").empty());
    rotation.refreshDocument();
    QVERIFY(drawing.document.isContentChanged());
}

ZOCUT_TEST_MAIN(tst_CSVGRotation)
#include "tst_CSVGRotation.moc"
