#include "CSVGPointList.h"
#include "TestEnvironment.h"

namespace {
// Braces alone would be ambiguous among QPolygonF's constructors.
QPolygonF polygon(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}
} // namespace

class tst_CSVGPointList : public QObject
{
    Q_OBJECT
private slots:
    void parsePoints_data();
    void parsePoints();
    void pointsToText_data();
    void pointsToText();
};

void tst_CSVGPointList::parsePoints_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPolygonF>("expected");
    QTest::newRow("odd number dropped") << "10,20 30,40 50" << polygon({ { 10, 20 }, { 30, 40 } });
    QTest::newRow("runs of separators") << "10 20,,30  40" << polygon({ { 10, 20 }, { 30, 40 } });
    QTest::newRow("empty") << "" << QPolygonF();
    QTest::newRow("blank") << " \t\n " << QPolygonF();
    QTest::newRow("xml white space") << "1\t2\n3\r4" << polygon({ { 1, 2 }, { 3, 4 } });
    QTest::newRow("reference separates") << "0,0&#xA;10,10" << polygon({ { 0, 0 }, { 10, 10 } });
    QTest::newRow("decimal references") << "0&#9;0&#13;&#10;1&#20;1" << polygon({ { 0, 0 }, { 1, 1 } });
    QTest::newRow("sign separates") << "10-20-.5.5" << polygon({ { 10, -20 }, { -0.5, 0.5 } });
    QTest::newRow("exponents") << "1e+5,2E-1 +3,4e2" << polygon({ { 100000, 0.2 }, { 3, 400 } });
    QTest::newRow("units skipped") << "10px,20px" << polygon({ { 10, 20 } });
    QTest::newRow("all decimals") << "0.1234567 -1" << polygon({ { 0.1234567, -1 } });
    QTest::newRow("overflow") << "1e400 2" << polygon({ { 0, 2 } });
}

void tst_CSVGPointList::parsePoints()
{
    QFETCH(QString, text);
    QFETCH(QPolygonF, expected);
    QCOMPARE(CSVGPointList::parsePoints(text.toStdWString()), expected);
}

void tst_CSVGPointList::pointsToText_data()
{
    QTest::addColumn<QPolygonF>("points");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole and six decimals") << polygon({ { 1, 2 }, { 3.5, 4 } }) << "1 2 3.500000 4";
    QTest::newRow("near whole") << polygon({ { 0, 0 }, { 0.00005, 10 } }) << "0 0 0 10";
    QTest::newRow("negative") << polygon({ { -1.25, -0.00005 } }) << "-1.250000 0";
    QTest::newRow("not a number") << polygon({ { qQNaN(), qInf() } }) << "0 0";
    QTest::newRow("empty") << QPolygonF() << "";
}

void tst_CSVGPointList::pointsToText()
{
    QFETCH(QPolygonF, points);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdWString(CSVGPointList::pointsToText(points)), expected);
}

ZOCUT_TEST_MAIN(tst_CSVGPointList)
#include "tst_CSVGPointList.moc"
