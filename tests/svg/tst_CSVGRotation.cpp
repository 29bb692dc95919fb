#include "CSVGRotation.h"
#include "TestElements.h"
#include "TestEnvironment.h"

class tst_CSVGRotation : public QObject
{
    Q_OBJECT
private slots:
    void rotate_data();
    void rotate();
};

void tst_CSVGRotation::rotate_data()
{
    QTest::addColumn<QString>("groupTransform");
    QTest::addColumn<QList<double>>("steps");
    QTest::newRow("10 then 20") << "" << QList<double> { 10, 20 };
    QTest::newRow("in a moved group") << "translate(100,0)" << QList<double> { 30 };
    QTest::newRow("in a turned and scaled group") << "rotate(45) scale(2,3)" << QList<double> { -50, 80 };
}

// The canvas position turns about the centre by the total angle whatever
// the group does, and the steps give the transform of one turn by the total.
void tst_CSVGRotation::rotate()
{
    QFETCH(QString, groupTransform);
    QFETCH(QList<double>, steps);
    TestDrawing drawing;
    CSVGElement* group = appendNew(drawing.root, L"g");
    group->setAttribute(L"transform", groupTransform.toStdWString(), false);
    CSVGElement* path = drawing.addPath(squareData(0, 0, 10) + "|transform=translate(3,4)", group);
    CSVGElement* twin = drawing.addPath(squareData(0, 0, 10) + "|transform=translate(3,4)", group);
    const QPointF start = path->getMatrix().map(QPointF(10, 10));
    CSVGRotation rotation(&drawing.document), once(&drawing.document);
    rotation.begin({ path, nullptr, appendNew(drawing.root, L"title") }, QPointF(7, -2));
    once.begin({ twin }, QPointF(7, -2));
    double total = 0;
    for (double step : steps)
        rotation.rotate(step), total += step;
    once.rotate(total);
    const QPointF expected = QTransform().translate(7, -2).rotate(total).translate(-7, 2).map(start);
    // The transform text keeps six decimals.
    QVERIFY(QLineF(path->getMatrix().map(QPointF(10, 10)), expected).length() < 1e-3);
    QCOMPARE(twin->getAttribute(L"transform"), path->getAttribute(L"transform"));
    QCOMPARE(group->getAttribute(L"transform"), groupTransform.toStdWString());
}

ZOCUT_TEST_MAIN(tst_CSVGRotation)
#include "tst_CSVGRotation.moc"
