#include "CGlobalConfig.h"
#include "CSVGPathData.h"
#include "CSVGPathSegArc.h"
#include "CSVGPathSegLineto.h"
#include "TestEnvironment.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
CSVGPathSegList parse(const QString& text)
{
    return CSVGPathData::parsePathData(text.toStdWString());
}

// Each segment's own text without the decimals ".00", "|" between them;
// unlike the path-data writer it keeps runs of closes.
QString describe(const CSVGPathSegList& segments)
{
    QStringList parts;
    for (const auto& segment : segments) {
        std::wstring text;
        segment->write(text);
        parts << QString::fromStdWString(text).remove(".00");
    }
    return parts.join('|');
}

void addRow(const char* name, const QString& text, const QString& expected)
{
    QTest::newRow(name) << text << expected;
}

QString pathElements(const QString& text)
{
    const QPainterPath path = CSVGPathData::toPainterPath(parse(text));
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        parts << QString("%1%2 %3").arg("MLCc"[e.type]).arg(e.x).arg(e.y);
    }
    return parts.join(' ');
}

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Samples of the pieces must lie on the ellipse (relative error below 1e-3)
// and within the angles from first to first + sweep (degrees).
bool onEllipse(const std::vector<CSVGCubicPiece>& pieces, const QPointF& centre, double rx, double ry, double rotation,
    double first, double sweep)
{
    const double phi = rotation * M_PI / 180.0;
    for (const CSVGCubicPiece& c : pieces) {
        for (double t = 0; t <= 1.0; t += 0.125) {
            const double u = 1 - t;
            const QPointF d
                = u * u * u * c[0] + 3 * u * u * t * c[1] + 3 * u * t * t * c[2] + t * t * t * c[3] - centre;
            const double ex = (d.x() * std::cos(phi) + d.y() * std::sin(phi)) / rx;
            const double ey = (-d.x() * std::sin(phi) + d.y() * std::cos(phi)) / ry;
            double along = (std::atan2(ey, ex) * 180.0 / M_PI - first) * (sweep < 0 ? -1 : 1);
            along = std::fmod(std::fmod(along, 360.0) + 360.01, 360.0) - 0.01;
            if (std::fabs(std::hypot(ex, ey) - 1) > 1e-3 || along > std::fabs(sweep) + 0.01)
                return false;
        }
    }
    return true;
}

int g_warnings = 0;
void countWarnings(QtMsgType type, const QMessageLogContext&, const QString&)
{
    g_warnings += type != QtDebugMsg && type != QtInfoMsg;
}
} // namespace

class tst_CSVGPathData : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void write();
    void painterPath();
    void flattenedPoints();
    void arcOnEllipse_data();
    void arcOnEllipse();
    void arcDegenerate();
    void absurdValues_data();
    void absurdValues();
    void numbersAsConverted_data();
    void numbersAsConverted();
};

void tst_CSVGPathData::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    addRow("close before later move", "M0 0 L10 0 L10 10 M20 20 L30 20", "M0 0|L10 0|L10 10|Z|M20 20|L30 20");
    addRow("explicit close kept", "M0 0 L10 0 Z M5 5", "M0 0|L10 0|Z|Z|M5 5");
    addRow("move after close", "M10 10 L20 10 Z m5 5", "M10 10|L20 10|Z|Z|M15 15");
    addRow("move after open", "M0 0 L10 0 m5 5", "M0 0|L10 0|Z|M15 5");
    addRow("move pairs", "m10 10 5 0 0 5z", "M10 10|L15 10|L15 15|Z");
    addRow("bare move", "L1 1 m", "L1 1|Z|M1 1");
    addRow("close ignores numbers", "M0 0 Z 7 8 L1 1", "M0 0|Z|L1 1");
    addRow("no separators", "M10,20L30-40", "M10 20|L30 -40");
    addRow("h v", "m10 10h5v-5H1V2", "M10 10|L15 10|L15 5|L1 5|L1 2");
    addRow("curves", "M1 1 c1 1 2 2 3 3 s1 1 2 2 q1 1 2 0 t2 0", "M1 1|C2 2 3 3 4 4|S5 5 6 6|Q7 7 8 6|T10 6");
    addRow("incomplete group", "M0 0 C1 2 3", "M0 0|C1 2 3 0 0 0");
    addRow("dot starts number", "M1.5.5 2", "M1.50 0.50|L2 0");
    addRow("arc", "M1 1 a5 5 0 1 0 10 10", "M1 1|A5 5 0 1 0 11 11");
    addRow("compact flags", "M0 0 a10 10 0 1010 10", "M0 0|A10 10 0 1 0 10 10");
    addRow("flag before number", "M0 0 a5 5 0 1 10 10", "M0 0|A5 5 0 1 1 0 10");
    addRow("six numbers", "M0 0 a5 5 0 1 0 10", "M0 0|A5 5 0 1 0 0 10");
    addRow("radii as written", "M0 0 a-5 5 30 0 1 10 0", "M0 0|A-5 5 30 0 1 10 0");
    addRow("flags as numbers", "A5 5 0 2 -1 10 0 1 1 0 0 .5 7 8", "A5 5 0 1 1 10 0|A1 1 0 0 0 7 8");
    addRow("exponents", "M1e+5 2E-1 1e2.5", "M100000 0.20|L100 0.50");
    addRow("e without digits", "M1e L2 2", "M1 0|L2 2");
    addRow("signs", "M+5+6-7-.5 - 5", "M5 6|L-7 -0.50|L0 5");
    addRow("overflow", "M1e400 5", "M0 5");
    addRow("xml white space", "M0\t0\r\nL10\n10", "M0 0|L10 10");
    addRow("hex reference", "M0 0&#xA;10 10&#xA;L2 2", "M0 0|L10 10|L2 2");
    addRow("other references", "M0&#10;0&#9;1&amp;2&#20;3&#;4", "M0 0|L1 2|L3 4");
    addRow("stray characters", "12 M 0,0 L 10;10 X5 5", "M0 0|L10 10");
    addRow("no command", "12 34", "");
}

void tst_CSVGPathData::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(::parse(text)), expected);
}

void tst_CSVGPathData::write()
{
    QCOMPARE(CSVGPathData::toPathData(::parse("m10 10 l5 0 0 5 z M1 1 Z Z")),
        std::wstring(L"M10.00 10.00 L15.00 10.00 L15.00 15.00 Z M1.00 1.00 Z"));
    QCOMPARE(CSVGPathData::toPathData(::parse("M0.125 -0.004 L1e20 1e-9")),
        std::wstring(L"M0.12 0.00 L100000000000000000000.00 0.00"));
    QVERIFY(CSVGPathData::toPathData(CSVGPathSegList()).empty());

    CSVGPathSegArc arc(1, 2, 3, true, false, 4, -5);
    std::wstring text = L"x";
    QCOMPARE(arc.write(text), std::size_t(30));
    QCOMPARE(text, std::wstring(L"xA1.00 2.00 3.00 1 0 4.00 -5.00"));
    CSVGPathSegLineto line(qInf(), qQNaN());
    QCOMPARE(line.write(text), std::size_t(10));
    QCOMPARE(text.substr(31), std::wstring(L"L0.00 0.00"));
}

// Quadratic curves become their exact cubic; smooth ones mirror the
// control point before them or, after a line, start at the current point. A
// segment after a close starts at the sub-path's start.
void tst_CSVGPathData::painterPath()
{
    QCOMPARE(pathElements("M0 0 L10 0 Z L5 5"), QStringLiteral("M0 0 L10 0 L0 0 M0 0 L5 5"));
    QCOMPARE(pathElements("M0 0 Q30 60 60 0 T120 0 M0 0 L30 0 T60 0"),
        QStringLiteral("M0 0 C20 40 c40 40 c60 0 C80 -40 c100 -40 c120 0 L0 0 M0 0 L30 0 C30 0 c40 0 c60 0"));
}

// The list serves as one polygon for hit tests: each close returns to its
// sub-path's start, so no edge joins the pieces where nothing is drawn. A
// curve's end is kept only 1.0 or more from the sample before it.
void tst_CSVGPathData::flattenedPoints()
{
    const std::vector<QPointF> line = CSVGPathData::toFlattenedPoints(::parse("M0 0 L10 0 C11 0 12 0 13 0 Z"));
    const std::vector<QPointF> expected { { 0, 0 }, { 10, 0 }, { 10, 0 }, { 11.05, 0 }, { 12.1, 0 }, { 0, 0 } };
    QCOMPARE(line, expected);

    const std::vector<QPointF> two
        = CSVGPathData::toFlattenedPoints(::parse("M0 0 L10 0 L10 10 L5 20 Z M20 0 L30 0 L30 10 L20 10 Z"));
    QVERIFY(CGlobalConfig::pointInPolygon(two, QPointF(5, 5)));
    QVERIFY(CGlobalConfig::pointInPolygon(two, QPointF(25, 5)));
    QVERIFY(!CGlobalConfig::pointInPolygon(two, QPointF(15, 12)));

    // Smooth quadratic curves are drawn like every other curve.
    const std::vector<QPointF> wave = CSVGPathData::toFlattenedPoints(::parse("M0 0 Q10 20 20 0 T40 0"));
    const QRectF bounds = QPolygonF(QVector<QPointF>(wave.begin(), wave.end())).boundingRect();
    QVERIFY(bounds.right() == 40 && bounds.top() < -9.9 && bounds.bottom() > 9.9);
}

void tst_CSVGPathData::arcOnEllipse_data()
{
    QTest::addColumn<double>("rx");
    QTest::addColumn<double>("ry");
    QTest::addColumn<double>("rotation");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("sweep");
    QTest::newRow("quarter circle") << 50.0 << 50.0 << 0.0 << 0.0 << 90.0;
    QTest::newRow("half back") << 50.0 << 50.0 << 0.0 << 0.0 << -180.0;
    QTest::newRow("large arc") << 40.0 << 40.0 << 0.0 << 30.0 << 270.0;
    QTest::newRow("rotated") << 80.0 << 20.0 << 30.0 << 10.0 << 120.0;
    QTest::newRow("rotated large back") << 80.0 << 20.0 << -60.0 << 200.0 << -300.0;
    QTest::newRow("tiny") << 0.01 << 0.02 << 10.0 << 100.0 << 5.0;
}

// Arcs made from a known ellipse follow it from exactly the start to exactly
// the end, the right way round. Negative radii are drawn against Qt's
// renderer.
void tst_CSVGPathData::arcOnEllipse()
{
    QFETCH(double, rx);
    QFETCH(double, ry);
    QFETCH(double, rotation);
    QFETCH(double, first);
    QFETCH(double, sweep);
    const QPointF centre(13, -7);
    const QTransform ellipse = QTransform().translate(centre.x(), centre.y()).rotate(rotation).scale(rx, ry);
    // The point of the unit circle at the angle (y down), on the ellipse.
    const auto at = [&](double degrees) { return ellipse.map(QLineF::fromPolar(1, -degrees).p2()); };
    const QPointF start = at(first);
    const QPointF end = at(first + sweep);
    const bool large = std::fabs(sweep) > 180;
    const std::vector<CSVGCubicPiece> pieces
        = CSVGPathData::arcToCubics(start, rx, ry, rotation, large, sweep > 0, end);
    QVERIFY(!pieces.empty());
    QCOMPARE(pieces.front()[0], start);
    QCOMPARE(pieces.back()[3], end);
    for (std::size_t i = 1; i < pieces.size(); ++i)
        QCOMPARE(pieces[i][0], pieces[i - 1][3]);
    QVERIFY(onEllipse(pieces, centre, rx, ry, rotation, first, sweep));
}

// Radii too small to reach grow into the half circle between the points: two
// pieces with the sweep flag 1, three with 0 (the program's quarter turn is
// a little short). Arcs without an ellipse are straight or nothing.
void tst_CSVGPathData::arcDegenerate()
{
    const auto half = CSVGPathData::arcToCubics({ 0, 0 }, 1, 1, 0, false, true, { 10, 0 });
    const auto otherHalf = CSVGPathData::arcToCubics({ 0, 0 }, 5, 5, 0, false, false, { 10, 0 });
    QCOMPARE(half.size(), std::size_t(2));
    QCOMPARE(otherHalf.size(), std::size_t(3));
    QVERIFY(onEllipse(half, { 5, 0 }, 5, 5, 0, 180, 180));
    QVERIFY(onEllipse(otherHalf, { 5, 0 }, 5, 5, 0, 180, -180));

    QCOMPARE(CSVGPathData::arcToCubics({ 0, 0 }, 5, 5, 0, true, true, { 0, 0 }).size(), std::size_t(0));
    QCOMPARE(CSVGPathData::arcToCubics({ 0, 0 }, 5, 5, 0, true, true, { qInf(), 0 }).size(), std::size_t(0));
    for (const QPointF& radii : { QPointF(0, 0), QPointF(5, 0), QPointF(1e300, 1e300), QPointF(1e-320, 1) }) {
        const auto pieces = CSVGPathData::arcToCubics({ 0, 0 }, radii.x(), radii.y(), 0, true, true, { 10, 0 });
        QCOMPARE(pieces.size(), std::size_t(1));
        for (const QPointF& p : pieces[0])
            QVERIFY(isFinite(p) && p.y() == 0);
    }
}

void tst_CSVGPathData::absurdValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("relative overflow") << "M1e308 1e308 l1e308 1e308 c1e308 0 1e308 0 1e308 0 s1e308 1 -1e308 -1e308";
    QTest::newRow("huge arc") << "M0 0 A1e300 1e-300 1e300 1 1 1e300 -1e300 a1e-300 1e-300 0 0 0 1e-300 0";
    QTest::newRow("far points") << "M1e200 1e200 Q-1e200 1e200 0 0 T1e307 1e307 L1e129 0";
    QTest::newRow("long numbers") << "M" + QString(5000, '9') + " ." + QString(5000, '1') + "e-99999";
    QTest::newRow("many flags") << "M0 0 a" + QString(2000, '1');
}

// Whatever the numbers: finite segments, and drawing and flattening neither
// warn nor make points that are not numbers.
void tst_CSVGPathData::absurdValues()
{
    QFETCH(QString, text);
    const CSVGPathSegList segments = ::parse(text);
    QVERIFY(!segments.empty());
    for (const auto& s : segments)
        QVERIFY(std::isfinite(s->x) && std::isfinite(s->y));
    g_warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
    const QPainterPath path = CSVGPathData::toPainterPath(segments);
    qInstallMessageHandler(previous);
    QCOMPARE(g_warnings, 0);
    for (int i = 0; i < path.elementCount(); ++i)
        QVERIFY(isFinite(path.elementAt(i)));
    for (const QPointF& p : CSVGPathData::toFlattenedPoints(segments))
        QVERIFY(isFinite(p));
}

// Every number reads as the correctly rounded double, the same bits that the
// full conversion gives.
void tst_CSVGPathData::numbersAsConverted_data()
{
    QTest::addColumn<QString>("number");
    for (const char* number : { "0.3", "-0.7", "123456789012345", "0.000000000000001", "98765.4321012345",
             "9007199254740993", "0.30000000000000004", "12.5e-3", "+4.35" })
        QTest::newRow(number) << QString::fromLatin1(number);
}

void tst_CSVGPathData::numbersAsConverted()
{
    QFETCH(QString, number);
    const QByteArray digits = number.toLatin1().mid(number.startsWith('+') ? 1 : 0);
    double expected = 1.0;
    std::from_chars(digits.data(), digits.data() + digits.size(), expected);
    const CSVGPathSegList segments = ::parse("M" + number + " 0");
    QCOMPARE(segments.size(), size_t(1));
    const double read = segments[0]->x;
    QVERIFY2(std::memcmp(&read, &expected, sizeof(read)) == 0, qPrintable(QString::number(read, 'g', 17)));
}

ZOCUT_TEST_MAIN(tst_CSVGPathData)
#include "tst_CSVGPathData.moc"
