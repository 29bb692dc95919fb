#include "CGlobalConfig.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSettings>
#include <QThread>
#include <QTranslator>

#include <atomic>
#include <memory>
#include <thread>
#include <unistd.h>

class tst_CGlobalConfig : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void lookupOrder();
    void defaultsTable_data();
    void defaultsTable();
    void unknownKeyIsRememberedAsNull();
    void positionColorsBuiltOnce();
    void positionColorsTranslated();
    void userRights();
    void cipherKey();
    void concurrentReads();
    void everyWriterIsReadAtOnce_data();
    void everyWriterIsReadAtOnce();
    void writeTextFileReplaces();
    void writeTextFileReadOnlyFolder();
    void writeTextFileUnwritableTarget();
};

void tst_CGlobalConfig::init()
{
    QSettings().clear();
    g_config.setSettings(QJsonObject());
    g_config.setUserRights(QJsonObject());
}

// Settings file, then account settings, then the defaults.
void tst_CGlobalConfig::lookupOrder()
{
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 1016);
    g_config.setSettings(QJsonObject { { "PlotResolutionX", 508 }, { "ExtraPlotter", "x" } });
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 508);
    QCOMPARE(g_config.getSetting("ExtraPlotter").toString(), QString("x"));
    {
        QSettings settings;
        settings.setValue("hpgl/PlotResolutionX", 2032);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 2032);

    // A key outside the group "hpgl" does not count.
    QSettings settings;
    settings.remove("hpgl");
    settings.setValue("PlotResolutionX", 4064);
    settings.sync();
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 508);
    g_config.setSettings(QJsonObject());
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 1016);
}

void tst_CGlobalConfig::defaultsTable_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("expected");
    const QList<QPair<const char*, QJsonValue>> table = { { "PlotResolutionX", 1016 }, { "PlotResolutionY", 1016 },
        { "PlotPenNum", 1 }, { "PlotForce", 0 }, { "PlotSpeed", 0 }, { "toolOffset", 0 }, { "PlotRotation", 0 },
        { "PlotMirrorX", false }, { "PlotMirrorY", false }, { "PlotOvercut", 2.5 }, { "PlotCorrection", -1.2 },
        { "PlotPrecut", false }, { "PlotFlat", 1.2 }, { "PlotAutoAlign", false }, { "BezierFlatteningThreshold", 0.05 },
        { "ZoomLimit", 5 }, { "PlotEnd", 1 }, { "PlotOverlap", 0 }, { "NestingMaxJob", 1 }, { "NestingMinArea", 0.01 },
        { "NestingInterval", 1 }, { "AutoSaveInterval", 60 }, { "LineWidth", 2 }, { "TextWidth", 8 },
        { "LeftToolBarWidth", 125 }, { "Cutoff", 1520 }, { "CutInterval", 20 }, { "Separation", 5 },
        { "ExtraPlotter", QString("") }, { "AntialiasingThreshold", 0.03 }, { "CanvasWidth", 15000 },
        { "CanvasHeight", 2000 }, { "SavePlt", false }, { "RedBackground", QJsonArray { 80 } },
        { "FillColor", QJsonArray { 80, 4, 119, 117, 156 } }, { "ImportEnableUser", QJsonArray { 3, 4 } } };
    for (const auto& row : table)
        QTest::newRow(row.first) << QString(row.first) << row.second;
}

void tst_CGlobalConfig::defaultsTable()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, expected);
    const QVariant value = g_config.getSetting(key);
    QCOMPARE(value.userType(), qMetaTypeId<QJsonValue>());
    const QJsonValue json = value.value<QJsonValue>();
    QCOMPARE(json.type(), expected.type());
    QCOMPARE(json, expected);
    // Whole numbers must stay integers when the object travels as JSON text.
    if (json.isDouble() && expected.toDouble() == static_cast<int>(expected.toDouble())) {
        const QByteArray text = QJsonDocument(QJsonArray { json }).toJson(QJsonDocument::Compact);
        QVERIFY2(!text.contains('.') && !text.contains('e'), text.constData());
    }
}

void tst_CGlobalConfig::unknownKeyIsRememberedAsNull()
{
    QVERIFY(!g_config.getDefaultSettings().contains("NoSuchKey"));
    const QVariant value = g_config.getSetting("NoSuchKey");
    QVERIFY(value.value<QJsonValue>().isNull());
    QCOMPARE(value.toInt(), 0);
    QVERIFY(g_config.getDefaultSettings().contains("NoSuchKey"));
    QVERIFY(g_config.getDefaultSettings().value("NoSuchKey").isNull());
}

void tst_CGlobalConfig::positionColorsBuiltOnce()
{
    g_config.setSettings(QJsonObject { { "PositionColor", QJsonObject { { "1", "server" } } } });
    QCOMPARE(g_config.getSetting("PositionColor").toJsonObject().size(), 1);
    g_config.setSettings(QJsonObject());

    const QJsonObject colors = g_config.getSetting("PositionColor").toJsonObject();
    QCOMPARE(colors.size(), 50);
    const auto position = [&colors](const char* id) {
        const QJsonObject entry = colors.value(id).toObject();
        return entry.value("name").toString() + '|' + entry.value("color").toString();
    };
    // Names and colour texts as stored files and the server write them.
    QCOMPARE(position("1000"), QString("Front lip|rgb(253, 174, 172)"));
    QCOMPARE(position("1003"), QString("Font Hood|rgb(253, 174, 172)"));
    QCOMPARE(position("1006"), QString("Left door handle|rgb(128, 204, 221)"));
    QCOMPARE(position("1037"), QString("Rear Lip|rgb(164,207,249)"));
    QCOMPARE(position("1038"), QString("|rgb(128,128,128)"));
    QCOMPARE(position("2000"), QString("Front window|rgb(253, 174, 172)"));
    QCOMPARE(position("2010"), QString("Rear window|rgb(164,207,249)"));
    QVERIFY(!colors.contains("1039") && !colors.contains("2011"));
    for (auto it = colors.begin(); it != colors.end(); ++it)
        QCOMPARE(it.value().toObject().keys(), QStringList({ "color", "name" }));
}

// A translator installed after the first request changes nothing: the object
// is built once per run.
void tst_CGlobalConfig::positionColorsTranslated()
{
    const QJsonObject before = g_config.getSetting("PositionColor").toJsonObject();
    class Upper : public QTranslator
    {
    public:
        QString translate(const char*, const char* source, const char*, int) const override
        {
            return QString::fromLatin1(source).toUpper();
        }
        bool isEmpty() const override { return false; }
    } upper;
    QCoreApplication::installTranslator(&upper);
    QCOMPARE(QCoreApplication::translate("QObject", "Roof"), QString("ROOF"));
    QCOMPARE(g_config.getSetting("PositionColor").toJsonObject(), before);
    QCoreApplication::removeTranslator(&upper);
}

void tst_CGlobalConfig::userRights()
{
    for (const char* key : { "report_auth", "openimg_auth", "vector_auth", "color_auth", "note_auth" })
        QVERIFY(!g_config.getUserRight(key).isValid());
    g_config.setUserRights(QJsonObject { { "vector_auth", 1 } });
    QCOMPARE(g_config.getUserRight("vector_auth").toInt(), 1);
    const QVariant absent = g_config.getUserRight("color_auth");
    QVERIFY(absent.value<QJsonValue>().isUndefined());
    QCOMPARE(absent.toInt(), 0);
}

// Files enciphered by other installations must stay readable.
void tst_CGlobalConfig::cipherKey()
{
    QCOMPARE(g_config.getCipherKey(), QByteArray("Hq2Zt9Wm+Kd4Rb7Xv1Nc/Pj6Lf3Gs8Ty0Ue5Ia2Ow7Qr4Mn9Ek1Dh6V"));
}

// Worker threads read settings while the GUI thread replaces the account
// settings; every reader must see a consistent value and the position
// colours must be built once.
void tst_CGlobalConfig::concurrentReads()
{
    const int threads = 8;
    std::atomic<int> failures { 0 };
    std::atomic<bool> go { false };
    QList<QThread*> workers;
    for (int t = 0; t < threads; ++t) {
        workers << QThread::create([t, &failures, &go] {
            while (!go)
                QThread::yieldCurrentThread();
            for (int i = 0; i < 200; ++i) {
                if (g_config.getSetting("BezierFlatteningThreshold").toDouble() != 0.05)
                    ++failures;
                if (g_config.getSetting("PositionColor").toJsonObject().size() != 50)
                    ++failures;
                const double overcut = g_config.getSetting("PlotOvercut").toDouble();
                if (overcut != 2.5 && overcut != 3.5)
                    ++failures;
                g_config.getSetting(QStringLiteral("Unknown_%1_%2").arg(t).arg(i % 10));
            }
        });
    }
    for (QThread* worker : workers)
        worker->start();
    go = true;
    for (int i = 0; i < 200; ++i)
        g_config.setSettings(i % 2 ? QJsonObject { { "PlotOvercut", 3.5 } } : QJsonObject());
    for (QThread* worker : workers) {
        QVERIFY(worker->wait(60000));
        delete worker;
    }
    QCOMPARE(failures.load(), 0);
    const QJsonObject defaults = g_config.getDefaultSettings();
    for (int t = 0; t < threads; ++t)
        QVERIFY(defaults.contains(QStringLiteral("Unknown_%1_9").arg(t)));
}

namespace {
// The ways this program writes its settings file: QSettings on any thread,
// and the pages' QML Settings.
void writeLineWidth(const QString& writer, int value)
{
    if (writer == QLatin1String("qml")) {
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData("import Qt.labs.settings 1.0\nSettings { category: \"hpgl\" }", QUrl());
        std::unique_ptr<QObject> settings(component.create());
        QVERIFY2(settings, qPrintable(component.errorString()));
        QMetaObject::invokeMethod(settings.get(), "setValue", Q_ARG(QString, "LineWidth"), Q_ARG(QVariant, value));
    } else if (writer == QLatin1String("thread")) {
        std::thread([value] { QSettings().setValue("hpgl/LineWidth", value); }).join();
    } else {
        QSettings().setValue("hpgl/LineWidth", value);
    }
}
} // namespace

void tst_CGlobalConfig::everyWriterIsReadAtOnce_data()
{
    QTest::addColumn<QString>("writer");
    QTest::newRow("QSettings") << "here";
    QTest::newRow("QSettings on another thread") << "thread";
    QTest::newRow("QML Settings") << "qml";
}

// Reads are served from memory; what any writer puts into the file is still
// the next value read, on this thread and on another one.
void tst_CGlobalConfig::everyWriterIsReadAtOnce()
{
    QFETCH(QString, writer);
    QCOMPARE(g_config.getSetting("LineWidth").toInt(), 2);
    writeLineWidth(writer, 5);
    QCOMPARE(g_config.getSetting("LineWidth").toInt(), 5);
    int fromThread = 0;
    std::thread([&fromThread] { fromThread = g_config.getSetting("LineWidth").toInt(); }).join();
    QCOMPARE(fromThread, 5);
}

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

// Replaced whole, also when the file itself is read-only, with no temporary
// file left behind.
void tst_CGlobalConfig::writeTextFileReplaces()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("drawing.svg");
    QVERIFY(writeTextFile(path, QString::fromUtf8("<svg>\xe4\xb8\xad</svg>")));
    QCOMPARE(readAll(path), QByteArray("<svg>\xe4\xb8\xad</svg>"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser | QFile::ReadOther));
    QVERIFY(writeTextFile(path, "short"));
    QCOMPARE(readAll(path), QByteArray("short"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ "drawing.svg" }));
}

void tst_CGlobalConfig::writeTextFileReadOnlyFolder()
{
    if (geteuid() == 0)
        QSKIP("the superuser writes into read-only folders; writeTextFileUnwritableTarget covers it");
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.svg");
    QVERIFY(writeTextFile(path, "old"));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(!writeTextFile(path, "new"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readAll(path), QByteArray("old"));
}

// Places that nobody can write, not even the superuser.
void tst_CGlobalConfig::writeTextFileUnwritableTarget()
{
    const QByteArray before = readAll("/proc/version");
    QVERIFY(!writeTextFile("/proc/version", "new"));
    QCOMPARE(readAll("/proc/version"), before);

    QTemporaryDir dir;
    const QString notAFolder = dir.filePath("plain");
    QVERIFY(writeTextFile(notAFolder, "x"));
    QVERIFY(!writeTextFile(notAFolder + "/inside.svg", "y"));
    QCOMPARE(readAll(notAFolder), QByteArray("x"));
}

ZOCUT_TEST_MAIN(tst_CGlobalConfig)
#include "tst_CGlobalConfig.moc"
