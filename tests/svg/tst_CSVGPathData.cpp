#include "CGlobalConfig.h"
#include "CSVGPathData.h"
#include "CSVGPathSegArc.h"
#include "CSVGPathSegClosePath.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGPathSegCurvetoCubicSmooth.h"
#include "CSVGPathSegCurvetoQuadratic.h"
#include "CSVGPathSegCurvetoQuadraticSmooth.h"
#include "CSVGPathSegLineto.h"
#include "CSVGPathSegMoveto.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>

#include <cmath>
#include <limits>

namespace {
const double kInf = std::numeric_limits<double>::infinity();

CSVGPathSegList parse(const QString& text)
{
    return CSVGPathData::parsePathData(text.toStdWString());
}

QString number(double value)
{
    return QString::number(value + 0.0, 'g', 12);
}

struct Fields
{
    QChar kind;
    QVector<double> numbers;
};

// Every field of every segment in text order; runs of closes collapse to
// one when asked, as the writer writes them.
QVector<Fields> fields(const CSVGPathSegList& segments, bool collapseCloses = false)
{
    QVector<Fields> result;
    for (const auto& s : segments) {
        Fields f;
        switch (s->getType()) {
        case CSVGPathSeg::Moveto:
            f.kind = 'M';
            break;
        case CSVGPathSeg::Lineto:
            f.kind = 'L';
            break;
        case CSVGPathSeg::CurvetoCubic: {
            const auto& c = static_cast<const CSVGPathSegCurvetoCubic&>(*s);
            f = { 'C', { c.x1, c.y1, c.x2, c.y2 } };
            break;
        }
        case CSVGPathSeg::CurvetoQuadratic: {
            const auto& q = static_cast<const CSVGPathSegCurvetoQuadratic&>(*s);
            f = { 'Q', { q.x1, q.y1 } };
            break;
        }
        case CSVGPathSeg::Arc: {
            const auto& a = static_cast<const CSVGPathSegArc&>(*s);
            f = { 'A', { a.r1, a.r2, a.angle, double(a.largeArcFlag), double(a.sweepFlag) } };
            break;
        }
        case CSVGPathSeg::CurvetoCubicSmooth: {
            const auto& c = static_cast<const CSVGPathSegCurvetoCubicSmooth&>(*s);
            f = { 'S', { c.x2, c.y2 } };
            break;
        }
        case CSVGPathSeg::CurvetoQuadraticSmooth:
            f.kind = 'T';
            break;
        case CSVGPathSeg::ClosePath:
            if (!collapseCloses || result.isEmpty() || result.last().kind != 'Z')
                result.append(Fields { 'Z', {} });
            continue;
        }
        f.numbers << s->x << s->y;
        result.append(f);
    }
    return result;
}

// "M 10 20|L 30 -40|Z".
QString describe(const CSVGPathSegList& segments)
{
    QStringList parts;
    for (const Fields& f : fields(segments)) {
        QStringList words { f.kind };
        for (double n : f.numbers)
            words << number(n);
        parts << words.join(' ');
    }
    return parts.join('|');
}

// Same kinds in the same order, numbers within the rounding of the writer.
bool sameSegments(const CSVGPathSegList& a, const CSVGPathSegList& b)
{
    const QVector<Fields> left = fields(a, true);
    const QVector<Fields> right = fields(b, true);
    if (left.size() != right.size())
        return false;
    for (int i = 0; i < left.size(); ++i) {
        if (left[i].kind != right[i].kind)
            return false;
        for (int n = 0; n < left[i].numbers.size(); ++n) {
            if (std::fabs(left[i].numbers[n] - right[i].numbers[n]) > 0.0050001)
                return false;
        }
    }
    return true;
}

bool isFinite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool allFinite(const CSVGPathSegList& segments)
{
    for (const Fields& f : fields(segments)) {
        for (double n : f.numbers) {
            if (!std::isfinite(n))
                return false;
        }
    }
    return true;
}

// The elements of a painter path as text, to four decimals.
QString pathElements(const QPainterPath& path)
{
    QStringList parts;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        const char* kinds[] = { "M", "L", "C", "c" };
        parts << QString("%1 %2 %3").arg(kinds[e.type]).arg(e.x, 0, 'f', 4).arg(e.y, 0, 'f', 4);
    }
    return parts.join('|');
}

// Arc pieces that leave the ellipse by more than the relative tolerance, or
// leave the range of angles from first to first + sweep (degrees), fail.
void checkOnEllipse(const std::vector<CSVGCubicPiece>& pieces, const QPointF& centre, double rx, double ry,
    double rotation, double first, double sweep)
{
    const double phi = rotation * M_PI / 180.0;
    for (const CSVGCubicPiece& piece : pieces) {
        for (int k = 0; k <= 10; ++k) {
            const double t = k / 10.0;
            const double u = 1 - t;
            const QPointF p
                = u * u * u * piece[0] + 3 * u * u * t * piece[1] + 3 * u * t * t * piece[2] + t * t * t * piece[3];
            const QPointF d = p - centre;
            const double ex = (d.x() * std::cos(phi) + d.y() * std::sin(phi)) / rx;
            const double ey = (-d.x() * std::sin(phi) + d.y() * std::cos(phi)) / ry;
            QVERIFY2(
                std::fabs(std::hypot(ex, ey) - 1) < 1e-3, qPrintable(QString("radius %1").arg(std::hypot(ex, ey))));
            double along = std::atan2(ey, ex) * 180.0 / M_PI - first;
            if (sweep < 0)
                along = -along;
            along = std::fmod(std::fmod(along, 360.0) + 360.0 + 0.01, 360.0) - 0.01;
            QVERIFY2(along <= std::fabs(sweep) + 0.01, qPrintable(QString("angle %1 of %2").arg(along).arg(sweep)));
        }
    }
}

// Counts the warnings that drawing raises (Qt warns about every point it
// refuses).
int g_warnings = 0;
void countWarnings(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        ++g_warnings;
}
} // namespace

class tst_CSVGPathData : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void write_data();
    void write();
    void writeReportsLength();
    void roundTrip_data();
    void roundTrip();
    void randomRoundTrip();
    void painterPath_data();
    void painterPath();
    void flattenedPoints_data();
    void flattenedPoints();
    void flattenedSubpathsStaySeparate();
    void arcOnEllipse_data();
    void arcOnEllipse();
    void arcDegenerate_data();
    void arcDegenerate();
    void arcPieceCount();
    void absurdValues_data();
    void absurdValues();
    void longDataParses();
};

void tst_CSVGPathData::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // Subpaths and closes.
    QTest::newRow("close before later move") << "M0 0 L10 0 L10 10 M20 20 L30 20"
                                             << "M 0 0|L 10 0|L 10 10|Z|M 20 20|L 30 20";
    QTest::newRow("explicit close kept") << "M0 0 L10 0 Z M5 5 L6 6"
                                         << "M 0 0|L 10 0|Z|Z|M 5 5|L 6 6";
    QTest::newRow("relative move after close") << "M10 10 L20 10 Z m5 5"
                                               << "M 10 10|L 20 10|Z|Z|M 15 15";
    QTest::newRow("relative move after open") << "M0 0 L10 0 m5 5"
                                              << "M 0 0|L 10 0|Z|M 15 5";
    QTest::newRow("move pairs are lines") << "M1 2 3 4"
                                          << "M 1 2|L 3 4";
    QTest::newRow("relative move pairs") << "m10 10 5 0 0 5z"
                                         << "M 10 10|L 15 10|L 15 15|Z";
    QTest::newRow("move without numbers") << "L1 1 m"
                                          << "L 1 1|Z|M 1 1";
    QTest::newRow("close ignores numbers") << "M0 0 L5 0 Z 7 8 L1 1"
                                           << "M 0 0|L 5 0|Z|L 1 1";
    // Lines.
    QTest::newRow("no separators") << "M10,20L30-40"
                                   << "M 10 20|L 30 -40";
    QTest::newRow("h and v") << "m10 10h5v-5"
                             << "M 10 10|L 15 10|L 15 5";
    QTest::newRow("absolute h and v") << "M10 10H5V-5 7"
                                      << "M 10 10|L 5 10|L 5 -5|L 5 7";
    // Curves.
    QTest::newRow("relative cubic") << "M1 1 c1 1 2 2 3 3"
                                    << "M 1 1|C 2 2 3 3 4 4";
    QTest::newRow("smooth cubic") << "M0 0 s1 1 2 2 S5 5 6 6"
                                  << "M 0 0|S 1 1 2 2|S 5 5 6 6";
    QTest::newRow("quadratic and smooth") << "M0 0 q1 1 2 0 t2 0 T6 0"
                                          << "M 0 0|Q 1 1 2 0|T 4 0|T 6 0";
    QTest::newRow("incomplete group") << "M0 0 C1 2 3"
                                      << "M 0 0|C 1 2 3 0 0 0";
    QTest::newRow("dot starts number") << "M1.5.5 2"
                                       << "M 1.5 0.5|L 2 0";
    // Arcs.
    QTest::newRow("arc") << "M0 0 a5 5 0 1 0 10 10"
                         << "M 0 0|A 5 5 0 1 0 10 10";
    QTest::newRow("compact flags") << "M0 0 a10 10 0 1010 10"
                                   << "M 0 0|A 10 10 0 1 0 10 10";
    QTest::newRow("flag then number") << "M0 0 a5 5 0 1 10 10"
                                      << "M 0 0|A 5 5 0 1 1 0 10";
    QTest::newRow("six numbers") << "M0 0 a5 5 0 1 0 10"
                                 << "M 0 0|A 5 5 0 1 0 0 10";
    QTest::newRow("radii as written") << "M10 10 a-5 5 30 0 1 10 0"
                                      << "M 10 10|A -5 5 30 0 1 20 10";
    QTest::newRow("flags as numbers") << "M0 0 A5 5 0 2 -1 10 0"
                                      << "M 0 0|A 5 5 0 1 1 10 0";
    QTest::newRow("two arcs") << "M0 0 a1 1 0 0 1 2 0 1 1 0 0 1 2 0"
                              << "M 0 0|A 1 1 0 0 1 2 0|A 1 1 0 0 1 4 0";
    // Numbers.
    QTest::newRow("exponent with plus") << "M1e+5 2E-1"
                                        << "M 100000 0.2";
    QTest::newRow("exponent then dot") << "M1e2.5"
                                       << "M 100 0.5";
    QTest::newRow("e without digits") << "M1e L2 2"
                                      << "M 1 0|L 2 2";
    QTest::newRow("signs") << "M+5+6-7-.5"
                           << "M 5 6|L -7 -0.5";
    QTest::newRow("sign alone") << "M- 5"
                                << "M 0 5";
    QTest::newRow("many decimals") << "M0.1234567 1."
                                   << "M 0.1234567 1";
    QTest::newRow("overflow") << "M1e400 5"
                              << "M 0 5";
    // Separators.
    QTest::newRow("xml white space") << "M0\t0\r\nL10\n10"
                                     << "M 0 0|L 10 10";
    QTest::newRow("hex reference") << "M0 0&#xA;10 10"
                                   << "M 0 0|L 10 10";
    QTest::newRow("reference before command") << "M0 0&#xA;L10 10"
                                              << "M 0 0|L 10 10";
    QTest::newRow("decimal reference") << "M0&#10;0&#9;L10&#13;10&#20;"
                                       << "M 0 0|L 10 10";
    QTest::newRow("named reference") << "M0&amp;0"
                                     << "M 0 0";
    QTest::newRow("ampersand alone") << "M0&0 &#;1"
                                     << "M 0 0|L 1 0";
    QTest::newRow("stray characters") << "M 0,0 L 10;10"
                                      << "M 0 0|L 10 10";
    // Text without segments.
    QTest::newRow("numbers before command") << "12 34 M1 2"
                                            << "M 1 2";
    QTest::newRow("no command") << "12 34"
                                << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("unknown letter") << "M0 0 X5 5 L1 1"
                                    << "M 0 0|L 1 1";
}

void tst_CSVGPathData::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(::parse(text)), expected);
}

void tst_CSVGPathData::write_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two decimals") << "M1 2"
                                  << "M1.00 2.00";
    QTest::newRow("relative close") << "m10 10 l5 0 0 5 z"
                                    << "M10.00 10.00 L15.00 10.00 L15.00 15.00 Z";
    QTest::newRow("one close for two") << "M0 0 L10 0 Z M5 5 L6 6"
                                       << "M0.00 0.00 L10.00 0.00 Z M5.00 5.00 L6.00 6.00";
    QTest::newRow("every kind") << "M1 2 L3 4 C5 6 7 8 9 10 Q11 12 13 14 A15 16 30 1 0 17 18 S19 20 21 22 T23 24 Z"
                                << "M1.00 2.00 L3.00 4.00 C5.00 6.00 7.00 8.00 9.00 10.00 Q11.00 12.00 13.00 14.00 "
                                   "A15.00 16.00 30.00 1 0 17.00 18.00 S19.00 20.00 21.00 22.00 T23.00 24.00 Z";
    QTest::newRow("rounding") << "M0.125 -0.004 L2.675 1e-9"
                              << "M0.12 0.00 L2.67 0.00";
    QTest::newRow("no fixed width") << "M1e20 0"
                                    << "M100000000000000000000.00 0.00";
    QTest::newRow("nothing") << ""
                             << "";
}

void tst_CSVGPathData::write()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdWString(CSVGPathData::toPathData(::parse(text))), expected);
}

void tst_CSVGPathData::writeReportsLength()
{
    CSVGPathSegList segments;
    segments.push_back(std::make_unique<CSVGPathSegArc>(1, 2, 3, true, false, 4, -5));
    segments.push_back(std::make_unique<CSVGPathSegClosePath>());
    segments.push_back(std::make_unique<CSVGPathSegLineto>(kInf, std::nan("")));
    std::wstring text = L"x";
    QCOMPARE(segments[0]->write(text), std::size_t(30));
    QCOMPARE(segments[1]->write(text), std::size_t(1));
    QCOMPARE(text, std::wstring(L"xA1.00 2.00 3.00 1 0 4.00 -5.00Z"));
    QCOMPARE(segments[1]->x, -100000.0);
    // What cannot be written as a number is written as 0.
    QCOMPARE(CSVGPathData::toPathData(segments), std::wstring(L"A1.00 2.00 3.00 1 0 4.00 -5.00 Z L0.00 0.00"));
}

void tst_CSVGPathData::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("relative commands") << "m1 2 l3 4 h5 v6 c1 2 3 4 5 6 s1 2 3 4 q1 2 3 4 t5 6 a7 8 9 0 1 2 3 z";
    QTest::newRow("closes") << "Z Z M0 0 Z Z Z M1 1 Z";
    QTest::newRow("smooth after move") << "M0 0 T5 5 S1 1 2 2 M3 3";
    QTest::newRow("no move") << "L1 1 H3 V4";
    QTest::newRow("negatives and fractions") << "M-0.004 -1.005 L-1e-3 2.675";
    QTest::newRow("compact") << "M.5.5-1-1a1 1 0 1110 10";
}

// Writing and reading again gives the same segments, and the text that a
// second write gives is the text of the first.
void tst_CSVGPathData::roundTrip()
{
    QFETCH(QString, text);
    const CSVGPathSegList first = ::parse(text);
    const std::wstring written = CSVGPathData::toPathData(first);
    const CSVGPathSegList second = CSVGPathData::parsePathData(written);
    QCOMPARE(QString::fromStdWString(CSVGPathData::toPathData(second)), QString::fromStdWString(written));
    QVERIFY(sameSegments(first, second));
}

void tst_CSVGPathData::randomRoundTrip()
{
    QRandomGenerator random(7);
    const QString letters = "MmLlHhVvCcSsQqTtAaZz";
    for (int round = 0; round < 300; ++round) {
        QString text;
        for (int i = random.bounded(12); i >= 0; --i) {
            text += letters[random.bounded(letters.size())];
            for (int n = random.bounded(9); n > 0; --n)
                text += QString::number(random.bounded(-2000, 2000) / 100.0) + (random.bounded(2) ? " " : ",");
        }
        const CSVGPathSegList first = ::parse(text);
        const std::wstring written = CSVGPathData::toPathData(first);
        const CSVGPathSegList second = CSVGPathData::parsePathData(written);
        QVERIFY2(CSVGPathData::toPathData(second) == written, qPrintable(text));
        QVERIFY2(sameSegments(first, second), qPrintable(text));
    }
}

void tst_CSVGPathData::painterPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("lines and close") << "M0 0 L10 0 L10 10 Z"
                                     << "M 0.0000 0.0000|L 10.0000 0.0000|L 10.0000 10.0000|L 0.0000 0.0000";
    QTest::newRow("quadratic exactly") << "M0 0 Q30 60 60 0"
                                       << "M 0.0000 0.0000|C 20.0000 40.0000|c 40.0000 40.0000|c 60.0000 0.0000";
    QTest::newRow("smooth quadratic mirrors") << "M0 0 Q10 20 20 0 T40 0"
                                              << "M 0.0000 0.0000|C 6.6667 13.3333|c 13.3333 13.3333|c 20.0000 0.0000"
                                                 "|C 26.6667 -13.3333|c 33.3333 -13.3333|c 40.0000 0.0000";
    QTest::newRow("smooth quadratic after line")
        << "M0 0 L10 0 T20 0"
        << "M 0.0000 0.0000|L 10.0000 0.0000|C 10.0000 0.0000|c 13.3333 0.0000|c 20.0000 0.0000";
    QTest::newRow("smooth quadratic after cubic")
        << "M0 0 C0 10 10 10 10 0 T20 0"
        << "M 0.0000 0.0000|C 0.0000 10.0000|c 10.0000 10.0000|c 10.0000 0.0000"
           "|C 10.0000 0.0000|c 13.3333 0.0000|c 20.0000 0.0000";
    QTest::newRow("smooth cubic mirrors") << "M0 0 C0 10 10 10 10 0 S20 -10 20 0"
                                          << "M 0.0000 0.0000|C 0.0000 10.0000|c 10.0000 10.0000|c 10.0000 0.0000"
                                             "|C 10.0000 -10.0000|c 20.0000 -10.0000|c 20.0000 0.0000";
    QTest::newRow("smooth cubic after quadratic") << "M0 0 Q5 5 10 0 S15 5 20 0"
                                                  << "M 0.0000 0.0000|C 3.3333 3.3333|c 6.6667 3.3333|c 10.0000 0.0000"
                                                     "|C 10.0000 0.0000|c 15.0000 5.0000|c 20.0000 0.0000";
    QTest::newRow("smooth cubic after new move")
        << "M0 0 C0 10 10 10 10 0 M20 0 S30 10 40 0"
        << "M 0.0000 0.0000|C 0.0000 10.0000|c 10.0000 10.0000|c 10.0000 0.0000|L 0.0000 0.0000"
           "|M 20.0000 0.0000|C 20.0000 0.0000|c 30.0000 10.0000|c 40.0000 0.0000";
    QTest::newRow("zero radius is a line") << "M0 0 A0 5 0 0 1 9 0"
                                           << "M 0.0000 0.0000|C 3.0000 0.0000|c 6.0000 0.0000|c 9.0000 0.0000";
    QTest::newRow("arc to its start is left out") << "M5 5 A5 5 0 0 1 5 5 L10 10"
                                                  << "M 5.0000 5.0000|L 10.0000 10.0000";
    QTest::newRow("line after close starts at the start")
        << "M1 1 L5 1 Z L5 5"
        << "M 1.0000 1.0000|L 5.0000 1.0000|L 1.0000 1.0000|M 1.0000 1.0000|L 5.0000 5.0000";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_CSVGPathData::painterPath()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(pathElements(CSVGPathData::toPainterPath(::parse(text))), expected);
}

void tst_CSVGPathData::flattenedPoints_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPolygonF>("expected");
    QTest::newRow("lines give both ends")
        << "M0 0 L10 0 L10 10 Z" << QPolygonF({ { 0, 0 }, { 10, 0 }, { 10, 0 }, { 10, 10 }, { 0, 0 } });
    QTest::newRow("short curve keeps its start only")
        << "M0 0 C0 0 0 0 0.5 0" << QPolygonF(QVector<QPointF> { { 0, 0 } });
    QTest::newRow("end too near the last sample")
        << "M0 0 C1 0 2 0 3 0" << QPolygonF({ { 0, 0 }, { 1.05, 0 }, { 2.1, 0 } });
    QTest::newRow("lone move") << "M5 5" << QPolygonF();
}

void tst_CSVGPathData::flattenedPoints()
{
    QFETCH(QString, text);
    QFETCH(QPolygonF, expected);
    const std::vector<QPointF> points = CSVGPathData::toFlattenedPoints(::parse(text));
    QCOMPARE(int(points.size()), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(QLineF(points[i], expected[i]).length() < 1e-9, qPrintable(QString::number(i)));
}

// The list serves as one polygon for hit tests: each close returns to its
// sub-path's start, so no edge joins the pieces where nothing is drawn; and
// smooth quadratic curves count like every other curve.
void tst_CSVGPathData::flattenedSubpathsStaySeparate()
{
    const std::vector<QPointF> squares
        = CSVGPathData::toFlattenedPoints(::parse("M0 0 L10 0 L10 10 L5 20 Z M20 0 L30 0 L30 10 L20 10 Z"));
    QVERIFY(CGlobalConfig::pointInPolygon(squares, QPointF(5, 5)));
    QVERIFY(CGlobalConfig::pointInPolygon(squares, QPointF(25, 5)));
    QVERIFY(!CGlobalConfig::pointInPolygon(squares, QPointF(15, 12)));
    QVERIFY(!CGlobalConfig::pointInPolygon(squares, QPointF(15, 5)));

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
    QTest::newRow("half circle back") << 50.0 << 50.0 << 0.0 << 0.0 << -180.0;
    QTest::newRow("large arc") << 40.0 << 40.0 << 0.0 << 30.0 << 270.0;
    QTest::newRow("large arc back") << 40.0 << 40.0 << 0.0 << 30.0 << -270.0;
    QTest::newRow("rotated ellipse") << 80.0 << 20.0 << 30.0 << 10.0 << 120.0;
    QTest::newRow("rotated large") << 80.0 << 20.0 << -60.0 << 200.0 << -300.0;
    QTest::newRow("small") << 100.0 << 60.0 << 0.0 << 45.0 << 5.0;
    QTest::newRow("nearly full") << 30.0 << 90.0 << 90.0 << 0.0 << 355.0;
    QTest::newRow("tiny ellipse") << 0.01 << 0.02 << 10.0 << 100.0 << 200.0;
}

// Arcs made from a known ellipse: the pieces must follow it from the start
// to exactly the end, the right way round.
void tst_CSVGPathData::arcOnEllipse()
{
    QFETCH(double, rx);
    QFETCH(double, ry);
    QFETCH(double, rotation);
    QFETCH(double, first);
    QFETCH(double, sweep);
    const QPointF centre(13, -7);
    const double phi = rotation * M_PI / 180.0;
    auto at = [&](double degrees) {
        const double t = degrees * M_PI / 180.0;
        return centre
            + QPointF(rx * std::cos(phi) * std::cos(t) - ry * std::sin(phi) * std::sin(t),
                rx * std::sin(phi) * std::cos(t) + ry * std::cos(phi) * std::sin(t));
    };
    const QPointF start = at(first);
    const QPointF end = at(first + sweep);
    const std::vector<CSVGCubicPiece> pieces
        = CSVGPathData::arcToCubics(start, rx, ry, rotation, std::fabs(sweep) > 180, sweep > 0, end);
    QVERIFY(!pieces.empty());
    QCOMPARE(pieces.front()[0], start);
    QCOMPARE(pieces.back()[3], end);
    for (std::size_t i = 1; i < pieces.size(); ++i)
        QCOMPARE(pieces[i][0], pieces[i - 1][3]);
    checkOnEllipse(pieces, centre, rx, ry, rotation, first, sweep);
    // Negative radii draw the same arc.
    const std::vector<CSVGCubicPiece> negative
        = CSVGPathData::arcToCubics(start, -rx, -ry, rotation, std::fabs(sweep) > 180, sweep > 0, end);
    QCOMPARE(negative.size(), pieces.size());
    QVERIFY(QLineF(negative[0][1], pieces[0][1]).length() < 1e-9);
}

void tst_CSVGPathData::arcDegenerate_data()
{
    QTest::addColumn<double>("rx");
    QTest::addColumn<double>("ry");
    QTest::addColumn<QPointF>("end");
    QTest::addColumn<int>("pieces");
    QTest::newRow("both radii 0") << 0.0 << 0.0 << QPointF(10, 0) << 1;
    QTest::newRow("one radius 0") << 5.0 << 0.0 << QPointF(10, 0) << 1;
    QTest::newRow("same end") << 5.0 << 5.0 << QPointF(0, 0) << 0;
    QTest::newRow("huge radius") << 1e300 << 1e300 << QPointF(10, 0) << 1;
    QTest::newRow("radius under flow") << 1e-320 << 1.0 << QPointF(10, 0) << 1;
    QTest::newRow("not finite") << 5.0 << 5.0 << QPointF(kInf, 0) << 0;
}

// Arcs that have no ellipse draw a straight line or nothing, and never a
// point that is not a number.
void tst_CSVGPathData::arcDegenerate()
{
    QFETCH(double, rx);
    QFETCH(double, ry);
    QFETCH(QPointF, end);
    QFETCH(int, pieces);
    const std::vector<CSVGCubicPiece> result = CSVGPathData::arcToCubics(QPointF(0, 0), rx, ry, 0, true, true, end);
    QCOMPARE(int(result.size()), pieces);
    for (const CSVGCubicPiece& piece : result) {
        for (const QPointF& p : piece)
            QVERIFY(isFinite(p) && std::fabs(p.y()) < 1e-9);
    }
}

// Radii too small to reach the end grow into the half ellipse between the
// points. A half circle takes two pieces with the sweep flag 1 and three
// with 0, since the program's quarter turn is a little short of pi / 2.
void tst_CSVGPathData::arcPieceCount()
{
    const std::vector<CSVGCubicPiece> clockwise = CSVGPathData::arcToCubics({ 0, 0 }, 1, 1, 0, false, true, { 10, 0 });
    const std::vector<CSVGCubicPiece> other = CSVGPathData::arcToCubics({ 0, 0 }, 5, 5, 0, false, false, { 10, 0 });
    QCOMPARE(int(clockwise.size()), 2);
    QCOMPARE(int(other.size()), 3);
    checkOnEllipse(clockwise, { 5, 0 }, 5, 5, 0, 180, 180);
    checkOnEllipse(other, { 5, 0 }, 5, 5, 0, 180, -180);
}

void tst_CSVGPathData::absurdValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("relative overflow")
        << "M1e308 1e308 l1e308 1e308 c1e308 0 1e308 0 1e308 0 s1e308 1e308 -1e308 -1e308";
    QTest::newRow("huge arc") << "M0 0 A1e300 1e-300 1e300 1 1 1e300 -1e300 a1e-300 1e-300 0 0 0 1e-300 0";
    QTest::newRow("far points") << "M1e200 1e200 Q-1e200 1e200 0 0 T1e307 1e307 L1e129 0";
    QTest::newRow("long numbers") << "M" + QString(5000, '9') + " ." + QString(5000, '1') + "e-99999";
    QTest::newRow("many flags") << "M0 0 a" + QString(2000, '1');
}

// Whatever the numbers, parsing gives finite segments, and drawing and
// flattening them neither warns nor makes points that are not numbers.
void tst_CSVGPathData::absurdValues()
{
    QFETCH(QString, text);
    const CSVGPathSegList segments = ::parse(text);
    QVERIFY(!segments.empty());
    QVERIFY(allFinite(segments));
    g_warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
    const QPainterPath path = CSVGPathData::toPainterPath(segments);
    qInstallMessageHandler(previous);
    QCOMPARE(g_warnings, 0);
    for (int i = 0; i < path.elementCount(); ++i)
        QVERIFY(isFinite(path.elementAt(i)));
    for (const QPointF& p : CSVGPathData::toFlattenedPoints(segments))
        QVERIFY(isFinite(p));
    QVERIFY(!CSVGPathData::toPathData(segments).empty());
}

void tst_CSVGPathData::longDataParses()
{
    std::wstring text = L"M0 0";
    for (int i = 0; i < 20000; ++i)
        text += L" l1 1 c1,2,3,4,5,6";
    const CSVGPathSegList segments = CSVGPathData::parsePathData(text);
    QCOMPARE(int(segments.size()), 40001);
    QCOMPARE(segments.back()->x, 120000.0);
    QCOMPARE(segments.back()->y, 140000.0);
}

ZOCUT_TEST_MAIN(tst_CSVGPathData)
#include "tst_CSVGPathData.moc"
