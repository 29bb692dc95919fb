#include "CGlobalConfig.h"
#include "TestEnvironment.h"

#include <QDateTime>
#include <QLocale>

#include <climits>
#include <cmath>

class tst_CGlobalConfigNumbers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parseLength_data();
    void parseLength();
    void parseInt();
    void numberToText_data();
    void numberToText();
    void fixedToText();
    void preciseNumbers_data();
    void preciseNumbers();
    void newElementId();
    void urlReferenceAndText();
};

const double kPointFactor = 1.333039388414818;

void tst_CGlobalConfigNumbers::initTestCase()
{
    g_config.setPointFactor(kPointFactor);
}

void tst_CGlobalConfigNumbers::parseLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    const QList<QPair<const char*, double>> rows = { { "", 0 }, { "   ", 0 }, { "-.5", -0.5 }, { "5.", 5 },
        { "12pt", 12 * kPointFactor }, { "1in", 96 }, { "2em", 32 }, { "2Em", 2 }, { "50%", 0.5 }, { "3mm", 3 },
        { "5px", 5 }, { "+5", 0 }, { "1E2", 100 }, { "1.5e3", 1500 }, { "2e-1", 0.2 }, { "1e+2", 100 }, { "1e5px", 1 },
        { "0.123456789", 0.12345 }, { "1.234567", 1.23456 }, { "\t\n\r 7", 7 }, { "\v7", 0 }, { "1P", 1 }, { "1ix", 1 },
        { "1pv", 1 }, { "-2in", -192 },
        // Beyond 64 bits of digits, and beyond a double.
        { "99999999999999999999", 1e20 }, { "123456789012345678901234567890", 1.2345678901234568e29 }, { "1e400", 0 },
        { "-1e400", 0 }, { "1e-400", 0 }, { "1e99999999999", 1 }, { "1e2147483647", 0 } };
    for (const auto& row : rows)
        QTest::newRow(row.first) << QString(row.first) << row.second;
    QTest::newRow("400 digits") << QString(400, '9') << 0.0;
    QTest::newRow("400 digits %") << QString(300, '9') + "%" << 1e298;
}

void tst_CGlobalConfigNumbers::parseLength()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = g_config.parseLength(text.toStdWString());
    QVERIFY(std::isfinite(value));
    QVERIFY2(value == expected || qFuzzyCompare(value, expected), qPrintable(QString::number(value, 'g', 17)));
}

void tst_CGlobalConfigNumbers::parseInt()
{
    QCOMPARE(g_config.parseInt(L""), 0);
    QCOMPARE(g_config.parseInt(L"3.9"), 3);
    QCOMPARE(g_config.parseInt(L"-3.9"), -3);
    QCOMPARE(g_config.parseInt(L"1e10"), INT_MAX);
    QCOMPARE(g_config.parseInt(L"-1e10"), INT_MIN);
}

void tst_CGlobalConfigNumbers::numberToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QList<QPair<double, const char*>> rows = { { 3, "3" }, { 3.00005, "3" }, { 2.99995, "2.999950" },
        { -0.00005, "0" }, { 0.5, "0.500000" }, { -0.5, "-0.500000" }, { -3.00005, "-3" }, { 1234.5678, "1234.567800" },
        { 2147483648.5, "2147483648.500000" }, { -1e10, "-10000000000" }, { NAN, "0" }, { INFINITY, "0" },
        { -INFINITY, "0" } };
    for (const auto& row : rows)
        QTest::newRow(row.second) << row.first << QString(row.second);
}

// Run under a comma-decimal locale as well: the text must not change.
void tst_CGlobalConfigNumbers::numberToText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdWString(g_config.numberToText(value)), expected);
    QCOMPARE(g_config.intToText(INT_MIN), std::wstring(L"-2147483648"));
    // No fixed buffer: the largest numbers come out whole.
    const std::wstring huge = g_config.numberToText(-1.7e308);
    QCOMPARE(huge.size(), size_t(310));
    QCOMPARE(g_config.parseLength(huge), -1.7e308);
}

// Path data is written with two decimals; a non-finite coordinate must not
// put "nan" into a file.
void tst_CGlobalConfigNumbers::fixedToText()
{
    QCOMPARE(g_config.fixedToText(1, 2), std::wstring(L"1.00"));
    QCOMPARE(g_config.fixedToText(-12.346, 2), std::wstring(L"-12.35"));
    QCOMPARE(g_config.fixedToText(2.5, 0), std::wstring(L"2"));
    QCOMPARE(g_config.fixedToText(std::nan(""), 2), std::wstring(L"0.00"));
    QCOMPARE(g_config.fixedToText(-HUGE_VAL, 2), std::wstring(L"0.00"));
    QCOMPARE(g_config.fixedToText(1e20, 2), std::wstring(L"100000000000000000000.00"));
}

void tst_CGlobalConfigNumbers::preciseNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected"); // empty: only that it reads back
    QTest::newRow("whole") << 3.0 << "3";
    QTest::newRow("half") << 10.5 << "10.5";
    QTest::newRow("minus zero") << -0.0 << "0";
    QTest::newRow("not a number") << double(NAN) << "0";
    QTest::newRow("a hair above 1") << 1.00005 << "1.00005";
    QTest::newRow("tiny") << 4e-7 << "0.0000004";
    QTest::newRow("sum") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("scale to 200 of 2625") << 200.0 / 2625 << "0.0761904761904762";
    QTest::newRow("15 m and a bit") << 15000.000000000002 << "15000.000000000002";
    QTest::newRow("rotation remainder") << std::cos(90 * 3.1415926 / 180) << "";
    QTest::newRow("huge") << -1.7e308 << "";
    QTest::newRow("subnormal") << 5e-324 << "";
}

// The shortest plain decimal that reads back as the same double, under a
// comma-decimal locale too; the reader also takes an exponent exactly.
void tst_CGlobalConfigNumbers::preciseNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    const std::wstring text = CGlobalConfig::preciseNumberToText(value);
    if (!expected.isEmpty())
        QCOMPARE(QString::fromStdWString(text), expected);
    QVERIFY(text.find_first_not_of(L"-0123456789.") == std::wstring::npos);
    if (std::isfinite(value))
        QCOMPARE(g_config.parsePreciseLength(text), value);
    QCOMPARE(g_config.parsePreciseLength(L"7.619047619047619e-2"), 200.0 / 2625);
    QCOMPARE(g_config.parsePreciseLength(L"2in"), 192.0);
    QCOMPARE(g_config.parsePreciseLength(L"1e400"), 0.0);
}

void tst_CGlobalConfigNumbers::newElementId()
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const QString first = QString::fromStdWString(g_config.newElementId());
    const QString second = QString::fromStdWString(g_config.newElementId());
    const QDateTime after = QDateTime::currentDateTime();
    QVERIFY(first.size() > 10);
    QCOMPARE(second.mid(10).toInt(), first.mid(10).toInt() + 1);
    const QDateTime stamp(QDate(before.date().year(), first.left(2).toInt(), first.mid(2, 2).toInt()),
        QTime(first.mid(4, 2).toInt(), first.mid(6, 2).toInt(), first.mid(8, 2).toInt()));
    QVERIFY2(stamp >= before.addMSecs(-before.time().msec()) && stamp <= after, qPrintable(first));
}

void tst_CGlobalConfigNumbers::urlReferenceAndText()
{
    QCOMPARE(g_config.getUrlReferenceId(L"url(#grad1)"), std::wstring(L"grad1"));
    QCOMPARE(g_config.getUrlReferenceId(L"url(#a)b)"), std::wstring(L"a"));
    QCOMPARE(g_config.getUrlReferenceId(L"#x"), std::wstring(L"x"));
    QCOMPARE(g_config.getUrlReferenceId(L"abc"), std::wstring(L"abc"));
    QCOMPARE(g_config.getUrlReferenceId(L""), std::wstring());

    QCOMPARE(g_config.replaceAll(L"fill:url(#a);stroke:url(#a)", L"url(#a", L"url(#b"),
        std::wstring(L"fill:url(#b);stroke:url(#b)"));
    QCOMPARE(g_config.replaceAll(L"aXa", L"a", L"aa"), std::wstring(L"aaXaa"));
    QCOMPARE(g_config.replaceAll(L"", L"a", L"b"), std::wstring());
    // An empty search text would match everywhere, for ever.
    QCOMPARE(g_config.replaceAll(L"abc", L"", L"x"), std::wstring(L"abc"));

    using Pieces = std::vector<std::wstring>;
    QCOMPARE(g_config.splitString(L";a;;b;", L";"), Pieces({ L"a", L"b" }));
    QCOMPARE(g_config.splitString(L"1 2,3", L", "), Pieces({ L"1", L"2", L"3" }));
    QCOMPARE(g_config.splitString(L";;;", L";"), Pieces());
    QCOMPARE(g_config.splitString(L"", L";"), Pieces());
}

ZOCUT_TEST_MAIN(tst_CGlobalConfigNumbers)
#include "tst_CGlobalConfigNumbers.moc"
