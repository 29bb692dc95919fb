#include "CGlobalConfig.h"
#include "TestEnvironment.h"

#include <QColor>
#include <QThread>

#include <set>

class tst_CGlobalConfigVocabulary : public QObject
{
    Q_OBJECT
private slots:
    void elementTypeIds_data();
    void elementTypeIds();
    void fixedAttributeIds();
    void registeredAttributeNames();
    void inheritableAndWhiteSpace();
    void colorKeywordsMatchQColor();
    void concurrentRegistration();
    void attributeTableIsBounded(); // fills the table: keep last
};

void tst_CGlobalConfigVocabulary::elementTypeIds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    const QList<QPair<const char*, int>> rows = { { "element_node", 0 }, { "[CDATA[", 3 }, { "comment_node", 7 },
        { "DOCTYPE", 9 }, { "a", 12 }, { "clipPath", 21 }, { "fegaussianblur", 41 }, { "foreignobject", 59 },
        { "g", 60 }, { "linearGradient", 66 }, { "path", 72 }, { "svg", 82 }, { "tspan", 89 }, { "vkern", 92 },
        { "textcontent", 94 }, { "tylayout", 96 },
        // Matched exactly and case-sensitively.
        { "foreignObject", -1 }, { "textPath", -1 }, { "feGaussianBlur", -1 }, { "ClipPath", -1 }, { "document", -1 },
        { "", -1 } };
    for (const auto& row : rows)
        QTest::newRow(*row.first ? row.first : "empty") << QString(row.first) << row.second;
}

void tst_CGlobalConfigVocabulary::elementTypeIds()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(g_config.getElementTypeId(name.toStdWString()), code);
}

// Every fixed name has its own id and maps back to it: the order of written
// attributes depends on these ids.
void tst_CGlobalConfigVocabulary::fixedAttributeIds()
{
    const QList<QPair<const wchar_t*, int>> spots = { { L"fill", 0 }, { L"font-style", 7 }, { L"font-weight", 9 },
        { L"text-decoration", 10 }, { L"style", 15 }, { L"stroke", 16 }, { L"writing-mode", 26 }, { L"class", 27 },
        { L"x", 30 }, { L"points", 45 }, { L"d", 46 }, { L"xlink:href", 54 }, { L"id", 55 }, { L"transform", 63 },
        { L"viewBox", 67 }, { L"tyvisibility", 68 } };
    for (const auto& spot : spots)
        QCOMPARE(g_config.getAttributeId(spot.first), spot.second);
    std::set<std::wstring> names;
    for (int id = 0; id < CGlobalConfig::kFixedAttributeIds; ++id) {
        const std::wstring name = g_config.getAttributeName(id);
        QVERIFY(!name.empty());
        names.insert(name);
        QCOMPARE(g_config.findAttributeId(name), id);
    }
    QCOMPARE(int(names.size()), CGlobalConfig::kFixedAttributeIds);
}

void tst_CGlobalConfigVocabulary::registeredAttributeNames()
{
    QCOMPARE(g_config.getAttributeName(-1), std::wstring());
    QCOMPARE(g_config.findAttributeId(L"position_id"), -1);
    QCOMPARE(g_config.getAttributeName(69), std::wstring()); // looking up registers nothing
    QCOMPARE(g_config.getAttributeId(L"position_id"), 69);
    QCOMPARE(g_config.getAttributeId(L"position_id"), 69);
    QCOMPARE(g_config.getAttributeName(69), std::wstring(L"position_id"));
    QCOMPARE(g_config.getAttributeId(L"Fill"), 70);
}

void tst_CGlobalConfigVocabulary::inheritableAndWhiteSpace()
{
    for (unsigned int id = 0; id < 300; ++id) {
        const bool expected = id <= 25 || id == 27 || id == 29 || id == 68;
        QVERIFY2(g_config.isInheritableAttribute(id) == expected, qPrintable(QString::number(id)));
    }
    QVERIFY(!g_config.isInheritableAttribute(static_cast<unsigned int>(-1)));
    for (unsigned int c = 0; c < 0x3100; ++c) {
        const bool expected = c == 9 || c == 10 || c == 13 || c == 32;
        QVERIFY2(g_config.isWhiteSpace(c) == expected, qPrintable(QString::number(c)));
    }
}

void tst_CGlobalConfigVocabulary::colorKeywordsMatchQColor()
{
    int keywords = 0;
    for (const QString& name : QColor::colorNames()) {
        if (name == QLatin1String("transparent"))
            continue;
        ++keywords;
        const QColor expected(name);
        const std::uint32_t packed = g_config.parseColorText(name.toStdWString());
        QVERIFY2(g_config.packedRgbToQColor(packed) == expected, qPrintable(name));
        QCOMPARE(packed >> 24, 255u);
        // Keywords are case-sensitive: any capital gives opaque black.
        QCOMPARE(g_config.parseColorText(name.toUpper().toStdWString()), 0xFF000000u);
    }
    QCOMPARE(keywords, 147);
}

// Files are read on worker threads too: every name gets exactly one id and
// the name table stays in step with the ids.
void tst_CGlobalConfigVocabulary::concurrentRegistration()
{
    QList<QThread*> workers;
    for (int t = 0; t < 6; ++t) {
        workers << QThread::create([t] {
            for (int i = 0; i < 300; ++i) {
                g_config.getAttributeId(L"shared-" + std::to_wstring(i));
                g_config.getAttributeId(L"own-" + std::to_wstring(t) + L"-" + std::to_wstring(i));
                g_config.getAttributeName(70 + i);
            }
        });
        workers.last()->start();
    }
    for (QThread* worker : workers) {
        QVERIFY(worker->wait(60000));
        delete worker;
    }
    std::set<int> ids;
    for (int i = 0; i < 300; ++i) {
        for (const std::wstring& name : { L"shared-" + std::to_wstring(i), L"own-3-" + std::to_wstring(i) }) {
            const int id = g_config.findAttributeId(name);
            QVERIFY(id > 70);
            QCOMPARE(g_config.getAttributeName(id), name);
            QVERIFY(ids.insert(id).second);
        }
    }
}

// Invented names in a file cannot wrap the ids around onto "fill" and the
// other fixed names.
void tst_CGlobalConfigVocabulary::attributeTableIsBounded()
{
    int registered = 0;
    for (int id = 0; id >= 0; id = g_config.getAttributeId(L"invented-" + std::to_wstring(registered))) {
        ++registered;
        QVERIFY(registered <= CGlobalConfig::kMaxAttributeIds);
    }
    QCOMPARE(g_config.getAttributeId(L"one-more"), -1);
    QCOMPARE(g_config.getAttributeName(CGlobalConfig::kMaxAttributeIds - 1).substr(0, 9), std::wstring(L"invented-"));
    QCOMPARE(g_config.getAttributeName(CGlobalConfig::kMaxAttributeIds), std::wstring());
    QCOMPARE(g_config.getAttributeId(L"fill"), 0);
    QCOMPARE(g_config.getAttributeId(L"position_id"), 69);
}

ZOCUT_TEST_MAIN(tst_CGlobalConfigVocabulary)
#include "tst_CGlobalConfigVocabulary.moc"
