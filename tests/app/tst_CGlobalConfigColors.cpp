#include "CGlobalConfig.h"
#include "TestEnvironment.h"

#include <QColor>

class tst_CGlobalConfigColors : public QObject
{
    Q_OBJECT
private slots:
    void parseColorText_data();
    void parseColorText();
    void classify();
    void colorText();
    void contrastColor_data();
    void contrastColor();
};

namespace {
std::uint32_t opaque(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return 0xFF000000u | red | green << 8 | blue << 16;
}
} // namespace

void tst_CGlobalConfigColors::parseColorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("expected");
    const quint32 red = opaque(255, 0, 0);
    const QList<QPair<const char*, quint32>> rows = { { "none", 0 }, { "", opaque(0, 0, 0) },
        { "black", opaque(0, 0, 0) }, { "#FF0000", red }, { "red", red }, { "rgb(255,0,0)", red },
        { "RGB( 255 , 0 , 0 )", red }, { "#f00", red }, { "$f00", red }, { "$00FF00", opaque(0, 255, 0) },
        { "#0a0B0c", opaque(10, 11, 12) }, { "rgb(300,0,0)", opaque(44, 0, 0) }, { "rgb(-1,0,0)", red },
        { "rgb(100%,0,0)", opaque(1, 0, 0) }, { "rgb(1,2", 0 }, { "rgb", 0 }, { "rgb)(", 0 },
        { "rgb()", opaque(0, 0, 0) }, { "rgb(,,7)", opaque(7, 0, 0) }, { "rgb(1,2,3,4)", opaque(1, 2, 3) },
        { "Red", opaque(0, 0, 0) }, { "url(#grad1)", opaque(0, 0, 0) }, { "nonesuch", opaque(0, 0, 0) },
        { "#12", opaque(0, 0, 0x12) }, { "#123456789", opaque(0x45, 0x67, 0x89) },
        { "rgb(1e400,99999999999999999999,300.9)", opaque(0, 0, 44) } };
    for (const auto& row : rows)
        QTest::newRow(*row.first ? row.first : "empty") << QString(row.first) << row.second;
}

void tst_CGlobalConfigColors::parseColorText()
{
    QFETCH(QString, text);
    QFETCH(quint32, expected);
    QCOMPARE(g_config.parseColorText(text.toStdWString()), expected);
    const QColor color = g_config.textToQColor(text.toStdWString());
    QCOMPARE(color.alpha(), 255);
    QCOMPARE(color.rgb() & 0xFFFFFFu,
        QColor(expected & 0xFF, expected >> 8 & 0xFF, expected >> 16 & 0xFF).rgb() & 0xFFFFFFu);
}

void tst_CGlobalConfigColors::classify()
{
    using C = CGlobalConfig::ColorTextClass;
    QCOMPARE(g_config.classifyColorText(L""), C::None);
    QCOMPARE(g_config.classifyColorText(L"nonesuch"), C::None);
    QCOMPARE(g_config.classifyColorText(L"$00FF00"), C::Hexadecimal);
    QCOMPARE(g_config.classifyColorText(L"RGB(1,2,3)"), C::Functional);
    QCOMPARE(g_config.classifyColorText(L"Rgb(1,2,3)"), C::Keyword);
}

void tst_CGlobalConfigColors::colorText()
{
    QCOMPARE(g_config.packedRgbToText(opaque(255, 16, 5)), std::wstring(L"#FF1005"));
    QCOMPARE(g_config.packedRgbToText(opaque(16, 15, 0)), std::wstring(L"#100F00"));
    QCOMPARE(g_config.packedRgbToText(0), std::wstring(L"#000000"));
    QCOMPARE(g_config.qColorToText(QColor(255, 255, 255, 0)), std::wstring(L"#FFFFFF"));
    QCOMPARE(g_config.packedRgbToQColor(0x00123456u), QColor(0x56, 0x34, 0x12, 255));
    QCOMPARE(g_config.textToQColor(L"none"), QColor(0, 0, 0, 255));
    // Text and parser agree on every channel value.
    for (std::uint32_t v = 0; v < 256; ++v) {
        const std::uint32_t color = opaque(v, 255 - v, v ^ 0x5A);
        QCOMPARE(g_config.parseColorText(g_config.packedRgbToText(color)), color);
    }
}

void tst_CGlobalConfigColors::contrastColor_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("expected");
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    QTest::newRow("white") << white << black;
    QTest::newRow("black") << black << white;
    QTest::newRow("green") << QColor(0, 255, 0) << white;
    QTest::newRow("yellow") << QColor(255, 255, 0) << black;
    QTest::newRow("grey 150") << QColor(150, 150, 150) << white;
    QTest::newRow("grey 151") << QColor(151, 151, 151) << black;
    QTest::newRow("invalid") << QColor() << black;
}

void tst_CGlobalConfigColors::contrastColor()
{
    QFETCH(QColor, color);
    QFETCH(QColor, expected);
    QCOMPARE(g_config.getContrastColor(color), expected);
}

ZOCUT_TEST_MAIN(tst_CGlobalConfigColors)
#include "tst_CGlobalConfigColors.moc"
