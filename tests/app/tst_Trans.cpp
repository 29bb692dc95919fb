#include "CGlobalConfig.h"
#include "TestEnvironment.h"
#include "Trans.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {
const QString kZh = QStringLiteral("简体中文");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Entries alternate key and value.
QByteArray languageFile(const QString& lang, const QStringList& entries)
{
    QJsonArray trans;
    for (int i = 0; i + 1 < entries.size(); i += 2)
        trans.append(QJsonObject { { "key", entries[i] }, { "value", entries[i + 1] } });
    return QJsonDocument(QJsonObject { { "lang", lang }, { "trans", trans } }).toJson();
}

QSet<QString> keysOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QSet<QString> keys;
    for (const QJsonValue& entry : QJsonDocument::fromJson(file.readAll()).object().value("trans").toArray())
        keys.insert(entry.toObject().value("key").toString());
    return keys;
}
} // namespace

class tst_Trans : public QObject
{
    Q_OBJECT
private slots:
    void choiceAndOrder_data();
    void choiceAndOrder();
    void loadResults_data();
    void loadResults();
    void folderSkipsOtherAndBrokenFiles();
    void switchingRetranslatesQml();
    void shippedFiles();
    void destroyedWhileOtherThreadsTranslate();
};

void tst_Trans::choiceAndOrder_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("current");
    const QStringList all { "German", "English", kZh, "Arabic", "Russian", "Korean" };
    const QStringList others { "Polski", "Korean", "Italiano", "Deutsch", "Español", "Français", "Dansk" };
    QTest::newRow("zh") << QStringList { kZh } << QStringList { kZh, "English" } << kZh;
    QTest::newRow("en de ko") << QStringList { "English", "German", "Korean" }
                              << QStringList { "Korean", "English", "German" } << "Korean";
    QTest::newRow("six") << all << QStringList { "Russian", "Arabic", "Korean", kZh, "English", "German" } << kZh;
    QTest::newRow("de") << QStringList { "German" } << QStringList { "English", "German" } << "German";
    QTest::newRow("others") << others
                            << QStringList { "Korean", "Dansk", "Deutsch", "English", "Español", "Français", "Italiano",
                                   "Polski" }
                            << "Korean";
    QTest::newRow("none") << QStringList {} << QStringList {} << "English";
}

void tst_Trans::choiceAndOrder()
{
    QFETCH(QStringList, names);
    QFETCH(QString, current);
    QTemporaryDir dir;
    for (const QString& name : names)
        writeFile(dir.filePath("language_" + name + ".json"), languageFile(name, { "Hello", name + "-Hello" }));
    // The offered order must not follow the hash seed, which changes per run.
    qunsetenv("QT_HASH_SEED");
    for (int round = 0; round < 6; ++round) {
        qSetGlobalQHashSeed(-1);
        Trans trans;
        QSignalSpy folderSpy(&trans, &Trans::folderLoaded);
        trans.loadFolder(dir.path());
        QTEST(trans.languages(), "languages");
        QCOMPARE(trans.currentLang(), current);
        QCOMPARE(trans.trans("Hello"), names.contains(current) ? current + "-Hello" : "Hello");
        QCOMPARE(folderSpy.value(0).value(0).toString(), dir.path());
    }
    qSetGlobalQHashSeed(0);
}

void tst_Trans::loadResults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("a");
    const auto row = [](const char* name, const QByteArray& content, const QString& lang, const QString& a) {
        QTest::newRow(name) << content << lang << a;
    };
    row("valid", languageFile("X", { "a", "A" }), "X", "A");
    row("bad entries", R"({"lang": "X", "trans": [{"key": "a"}, {"value": "v"}, {"key": "a", "value": 7}, "junk",
                          {"key": "a", "value": ""}]})",
        "X", "a");
    row("not json", R"({"lang": "X", "trans": [)", "", "a");
    row("root array", R"([{"lang": "X"}])", "", "a");
    row("no lang", R"({"trans": [{"key": "a", "value": "A"}]})", "", "a");
    row("missing file", QByteArray(), "", "a");
}

void tst_Trans::loadResults()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    if (!content.isEmpty())
        writeFile(dir.filePath("language_x.json"), content);
    Trans trans;
    QSignalSpy loaded(&trans, &Trans::langLoaded);
    QString lang = "stale";
    const bool ok = trans.load(lang, dir.filePath("language_x.json"));
    QCOMPARE(ok, !lang.isEmpty());
    QTEST(lang, "lang");
    QCOMPARE(loaded.count(), lang.isEmpty() ? 0 : 1);
    trans.setCurrentLang("X");
    QTEST(trans.trans("a"), "a");
    QCOMPARE(trans.trans(""), QString());
}

void tst_Trans::folderSkipsOtherAndBrokenFiles()
{
    QTemporaryDir good;
    QTemporaryDir bad;
    // Files of one language merge; within a file and across files the later entry wins.
    writeFile(
        good.filePath("language_a.json"), languageFile(kZh, { "one", "1", "two", "old", "dup", "x", "dup", "y" }));
    writeFile(good.filePath("language_b.json"), languageFile(kZh, { "two", "new" }));
    writeFile(bad.filePath("language_zh.json"), R"({"lang": "简体中文", "trans": [{"key": )");
    for (const char* name :
        { "language_b.json.bak", "language_c.txt", "other.json", "language_d.json/language_e.json" })
        writeFile(bad.filePath(name), languageFile("Other", { "one", "Other" }));
    Trans trans;
    trans.loadFolder(good.path());
    QSignalSpy spy(&trans, &Trans::languagesChanged);
    QSignalSpy loaded(&trans, &Trans::langLoaded);
    for (const QString& folder : { bad.path(), bad.filePath("missing"), QString() })
        trans.loadFolder(folder);
    QCOMPARE(trans.trans("one") + trans.trans("two") + trans.trans("dup"), QString("1newy"));
    QCOMPARE(trans.languages(), QStringList({ kZh, "English" }));
    QCOMPARE(spy.count() + loaded.count(), 0);
}

void tst_Trans::switchingRetranslatesQml()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("language_zh.json"), languageFile(kZh, { "Hello", "你好" }));
    writeFile(dir.filePath("extra.json"), languageFile("English", { "Hello", "Hi" }));
    auto engine = std::make_unique<QQmlEngine>();
    Trans trans;
    trans.init(engine->rootContext(), dir.path());
    QCOMPARE(QCoreApplication::translate("Any", "Hello") + QCoreApplication::translate("Any", "Gone"), "你好Gone");

    QQmlComponent component(engine.get());
    component.setData("import QtQml 2.15\nQtObject { property string text: qsTr('Hello') + trans.transString }", {});
    std::unique_ptr<QObject> page(component.create());
    QVERIFY2(page, qPrintable(component.errorString()));
    QCOMPARE(page->property("text").toString(), QString("你好"));

    QSignalSpy spy(&trans, &Trans::currentLangChanged);
    trans.setCurrentLang("English");
    QCOMPARE(page->property("text").toString(), QString("Hello"));
    // The same name again retranslates nothing, so a new table stays unseen.
    QString lang;
    QVERIFY(trans.load(lang, dir.filePath("extra.json")));
    trans.setCurrentLang("English");
    QCOMPARE(page->property("text").toString(), QString("Hello"));
    QCOMPARE(spy.count(), 1);

    // A language without a table, and switches after the view is gone.
    page.reset();
    engine.reset();
    trans.setCurrentLang("Klingon");
    QCOMPARE(QCoreApplication::translate("Any", "Hello"), QString("Hello"));
    trans.setCurrentLang(kZh);
    QCOMPARE(trans.trans("Hello"), QString("你好"));
}

void tst_Trans::shippedFiles()
{
    // Before any translator exists the position names are the source texts.
    const QJsonObject positions = g_config.getSetting("PositionColor").toJsonObject();
    const QString folder = QCoreApplication::applicationDirPath() + "/translations";
    Trans trans;
    trans.loadFolder(folder);
    QCOMPARE(trans.languages(), QStringList({ "Russian", "Arabic", "Korean", kZh, "English", "German" }));

    const QSet<QString> keys = keysOf(folder + "/language_zh.json");
    for (const char* code : { "ru", "ar", "ko", "de" })
        QCOMPARE(keysOf(QString("%1/language_%2.json").arg(folder, code)), keys);
    QVERIFY(keys.contains(keysOf(folder + "/language_en.json")));
    for (const QJsonValue& position : positions) {
        const QString name = position.toObject().value("name").toString();
        QVERIFY2(name.isEmpty() || keys.contains(name), qPrintable(name));
    }
}

// Qt's network threads translate their error texts whenever a request
// fails, also while the program ends and its translator goes. A lookup
// must never reach the tables of a translator that is being destroyed
// (AddressSanitizer reports the use after free).
void tst_Trans::destroyedWhileOtherThreadsTranslate()
{
    QTemporaryDir dir;
    // Many entries make the freeing of the tables take a while.
    QStringList entries { "Connection refused", "Verbindung verweigert" };
    for (int i = 0; i < 4000; ++i)
        entries << QString("key %1").arg(i) << QString("Wert %1").arg(i);
    writeFile(dir.filePath("language_de.json"), languageFile("German", entries));

    std::atomic<bool> done { false };
    std::atomic<int> lookups { 0 };
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i) {
        threads.emplace_back([&] {
            while (!done) {
                QCoreApplication::translate("QAbstractSocket", "Connection refused");
                ++lookups;
            }
        });
    }
    for (int round = 0; round < 30; ++round) {
        auto* trans = new Trans;
        trans->init(nullptr, dir.path());
        QCOMPARE(QCoreApplication::translate("QAbstractSocket", "Connection refused"), "Verbindung verweigert");
        const int before = lookups;
        QTRY_VERIFY(lookups > before + 100);
        delete trans;
    }
    done = true;
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(QCoreApplication::translate("QAbstractSocket", "Connection refused"), "Connection refused");
}

ZOCUT_TEST_MAIN(tst_Trans)
#include "tst_Trans.moc"
