#include "CSVGMatrix.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QTransform>

#include <cmath>

class tst_CSVGMatrix : public QObject
{
    Q_OBJECT
private slots:
    void parseTransformList_data();
    void parseTransformList();
    void textIsKeptUntilChange();
    void toString();
    void matchesQTransform();
    void singularMatrixIsNotInverted_data();
    void singularMatrixIsNotInverted();
};

using Numbers = QVector<double>;

namespace {
const double kPi = 3.1415926;

Numbers numbers(const CSVGMatrix& m)
{
    return { m.a, m.b, m.c, m.d, m.e, m.f };
}

QTransform toQt(const CSVGMatrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.e, m.f);
}

bool near(const CSVGMatrix& m, const QTransform& t)
{
    const Numbers expected = { t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy() };
    for (int i = 0; i < 6; ++i) {
        if (std::fabs(numbers(m)[i] - expected[i]) > 1e-9 * (1 + std::fabs(expected[i])))
            return false;
    }
    return true;
}

CSVGMatrix randomMatrix(QRandomGenerator& random)
{
    auto number = [&random] { return random.generateDouble() * 20 - 10; };
    return CSVGMatrix(number(), number(), number(), number(), number(), number());
}
} // namespace

void tst_CSVGMatrix::parseTransformList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Numbers>("expected");
    const double c90 = std::cos(90 * kPi / 180);
    const double s90 = std::sin(90 * kPi / 180);
    const double t45 = std::tan(45 * kPi / 180);
    QTest::newRow("scale") << "scale(2)" << Numbers { 2, 0, 0, 2, 0, 0 };
    QTest::newRow("scale y 0") << "scale(2,0)" << Numbers { 2, 0, 0, 2, 0, 0 };
    QTest::newRow("scale flip") << "scale(2,-1)" << Numbers { 2, 0, 0, -1, 0, 0 };
    QTest::newRow("rotate") << "rotate(90)" << Numbers { c90, s90, -s90, c90, 0, 0 };
    QTest::newRow("rotate centre zero") << "rotate(90,0,0)" << Numbers { c90, s90, -s90, c90, 0, 0 };
    QTest::newRow("skewX") << "skewX(45)" << Numbers { 1, 0, t45, 1, 0, 0 };
    QTest::newRow("skewY") << "skewY(45)" << Numbers { 1, t45, 0, 1, 0, 0 };
    QTest::newRow("spaces") << "matrix(1 0 0 1 5 5)" << Numbers { 1, 0, 0, 1, 5, 5 };
    QTest::newRow("list") << "translate(10,0) scale(2)" << Numbers { 2, 0, 0, 2, 10, 0 };
    QTest::newRow("commas") << " \t\ntranslate(10),scale(2) , rotate(0)" << Numbers { 2, 0, 0, 2, 10, 0 };
    QTest::newRow("unknown name") << "Rotate(30) translate(1,2)" << Numbers { 1, 0, 0, 1, 1, 2 };
    QTest::newRow("no parenthesis") << "translate(5" << Numbers { 1, 0, 0, 1, 0, 0 };
    QTest::newRow("text after last") << "translate(5) scale(3" << Numbers { 1, 0, 0, 1, 5, 0 };
    QTest::newRow("long name") << QString(128, 'x') + "(1)" << Numbers { 1, 0, 0, 1, 0, 0 };
    QTest::newRow("extra numbers") << "matrix(1,2,3,4,5,6,7,8)" << Numbers { 1, 2, 3, 4, 5, 6 };
    QTest::newRow("units") << "translate(1in,50%)" << Numbers { 1, 0, 0, 1, 96, 0.5 };
    // What toString writes reads back whole.
    QTest::newRow("decimals") << "matrix(0.460829,0,0,1.000006,-7.874007,0)"
                              << Numbers { 0.460829, 0, 0, 1.000006, -7.874007, 0 };
    QTest::newRow("unreadable number") << "scale(1e400)" << Numbers { 0, 0, 0, 0, 0, 0 };
    // A product that overflows a double is left out.
    QTest::newRow("overflow") << "scale(1e300) scale(1e300) translate(1)" << Numbers { 1e300, 0, 0, 1e300, 1e300, 0 };
}

void tst_CSVGMatrix::parseTransformList()
{
    QFETCH(QString, text);
    QFETCH(Numbers, expected);
    CSVGMatrix m(9, 9, 9, 9, 9, 9);
    m.parseTransformList(text.toStdWString());
    QCOMPARE(numbers(m), expected);
    QCOMPARE(m.text(), text.toStdWString());
}

// The text read is kept only while the matrix is the one it describes; a
// stored file is written from the numbers. The order of functions and the
// value of pi are pinned by the parse rows.
void tst_CSVGMatrix::textIsKeptUntilChange()
{
    CSVGMatrix m;
    m.parseTransformList(L"translate(1,2)");
    QCOMPARE(m.toString(), std::wstring(L"matrix(1,0,0,1,1,2)"));
    QCOMPARE(CSVGMatrix(m).text(), std::wstring());
    m = m;
    QCOMPARE(m.text(), std::wstring(L"translate(1,2)"));
    CSVGMatrix copy;
    copy.parseTransformList(L"scale(2)");
    copy = m;
    QCOMPARE(copy.text(), std::wstring());
    m.translate(0, 0);
    QCOMPARE(m.text(), std::wstring());
}

void tst_CSVGMatrix::toString()
{
    QCOMPARE(CSVGMatrix().toString(), std::wstring(L"matrix(1,0,0,1,0,0)"));
    QCOMPARE(CSVGMatrix(1, 0, 0, 1, 10.5, 0).toString(), std::wstring(L"matrix(1,0,0,1,10.5,0)"));
    // Nothing is rounded, nor written with an exponent.
    QCOMPARE(CSVGMatrix(-0.25, 1e-5, 2.99995, -3, 1e9, -0.0).toString(),
        std::wstring(L"matrix(-0.25,0.00001,2.99995,-3,1000000000,0)"));
    QCOMPARE(CSVGMatrix(1.00005, 4e-7, -4e-7, 1.0000006, 0, 0).toString(),
        std::wstring(L"matrix(1.00005,0.0000004,-0.0000004,1.0000006,0,0)"));
    // The text reads back as the same numbers, however many digits they take.
    const CSVGMatrix scaled(200.0 / 2625, std::cos(90 * kPi / 180), 0.1 + 0.2, 15000.000000000002, -7.874007e-9, 1e20);
    CSVGMatrix read;
    read.parseTransformList(scaled.toString());
    QCOMPARE(numbers(read), numbers(scaled));
}

// Qt applies the left factor first: this x m is m * this in Qt's terms.
// Mapping points is compared with Qt through the rectangles.
void tst_CSVGMatrix::matchesQTransform()
{
    QRandomGenerator random(7);
    for (int i = 0; i < 200; ++i) {
        const CSVGMatrix first = randomMatrix(random);
        const CSVGMatrix second = randomMatrix(random);
        const double angle = random.generateDouble() * 720 - 360;
        const double radians = angle * kPi / 180;
        const QTransform r(std::cos(radians), std::sin(radians), -std::sin(radians), std::cos(radians), 0, 0);

        CSVGMatrix m = first;
        m.multiply(second);
        QVERIFY(near(m, toQt(second) * toQt(first)));

        m = first;
        m.rotate(angle);
        m.scale(2, -3);
        m.translate(4, 5);
        QVERIFY(near(m, QTransform::fromTranslate(4, 5) * QTransform::fromScale(2, -3) * r * toQt(first)));

        m = first;
        m.postRotate(angle);
        m.postScale(2, -3);
        m.postTranslate(4, 5);
        QVERIFY(near(m, toQt(first) * r * QTransform::fromScale(2, -3) * QTransform::fromTranslate(4, 5)));

        m = first;
        QVERIFY(m.invert());
        QVERIFY(near(m, toQt(first).inverted()));
    }
    // About a centre, as SVG defines it: translate(50,20) rotate(30) translate(-50,-20).
    const double radians = 30 * kPi / 180;
    const QTransform r(std::cos(radians), std::sin(radians), -std::sin(radians), std::cos(radians), 0, 0);
    CSVGMatrix m;
    m.parseTransformList(L"rotate(30, 50, 20)");
    QVERIFY(near(m, QTransform::fromTranslate(-50, -20) * r * QTransform::fromTranslate(50, 20)));
}

void tst_CSVGMatrix::singularMatrixIsNotInverted_data()
{
    QTest::addColumn<QString>("transform");
    QTest::newRow("scale(0)") << "scale(0)";
    QTest::newRow("rank one") << "matrix(1,2,2,4,5,6)";
    QTest::newRow("zero") << "matrix(0,0,0,0,3,4)";
    QTest::newRow("determinant underflows") << "matrix(1e-200,0,0,1e-200,0,0)";
    QTest::newRow("inverse overflows") << "matrix(1e-160,0,0,1e-160,0,0)";
}

// Callers take a failed inversion as "no hit": the matrix must not fill
// with infinities.
void tst_CSVGMatrix::singularMatrixIsNotInverted()
{
    QFETCH(QString, transform);
    CSVGMatrix m;
    m.parseTransformList(transform.toStdWString());
    const Numbers before = numbers(m);
    QVERIFY(!m.invert());
    QCOMPARE(numbers(m), before);
}

ZOCUT_TEST_MAIN(tst_CSVGMatrix)
#include "tst_CSVGMatrix.moc"
