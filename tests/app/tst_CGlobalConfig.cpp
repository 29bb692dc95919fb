#include "CGlobalConfig.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QThread>
#include <QTranslator>

#include <atomic>
#include <unistd.h>

class tst_CGlobalConfig : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void lookupOrder();
    void accountSettingsHideDefaults();
    void defaultsTable_data();
    void defaultsTable();
    void arrayDefaults();
    void unknownKeyIsRememberedAsNull();
    void positionColorsBuiltOnce();
    void positionColorsTranslated();
    void userRights();
    void cipherKeyAndGlobals();
    void concurrentReads();
    void writeTextFileReplaces();
    void writeTextFileReadOnlyFile();
    void writeTextFileReadOnlyFolder();
    void writeTextFileUnwritableTarget();
};

void tst_CGlobalConfig::init()
{
    QSettings().clear();
    g_config.setSettings(QJsonObject());
    g_config.setUserRights(QJsonObject());
}

void tst_CGlobalConfig::lookupOrder()
{
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 1016);

    g_config.setSettings(QJsonObject { { "PlotResolutionX", 508 } });
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 508);

    {
        QSettings settings;
        settings.setValue("hpgl/PlotResolutionX", 2032);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
    }
    const QVariant fromFile = g_config.getSetting("PlotResolutionX");
    QCOMPARE(fromFile.toInt(), 2032);

    // A key outside the group "hpgl" does not count.
    {
        QSettings settings;
        settings.remove("hpgl");
        settings.setValue("PlotResolutionX", 4064);
    }
    QCOMPARE(g_config.getSetting("PlotResolutionX").toInt(), 508);

    // The INI file on disk is what counts, not a cache of this process.
    QSettings settings;
    QVERIFY(QFile::exists(settings.fileName()));
    QVERIFY(settings.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
}

void tst_CGlobalConfig::accountSettingsHideDefaults()
{
    g_config.setSettings(QJsonObject { { "PlotOvercut", 1.5 }, { "ExtraPlotter", "x" } });
    QCOMPARE(g_config.getSetting("PlotOvercut").toDouble(), 1.5);
    QCOMPARE(g_config.getSetting("ExtraPlotter").toString(), QString("x"));
    g_config.setSettings(QJsonObject());
    QCOMPARE(g_config.getSetting("PlotOvercut").toDouble(), 2.5);
}

void tst_CGlobalConfig::defaultsTable_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("expected");
    const QList<QPair<const char*, QJsonValue>> table = {
        { "PlotResolutionX", 1016 },
        { "PlotResolutionY", 1016 },
        { "PlotPenNum", 1 },
        { "PlotForce", 0 },
        { "PlotSpeed", 0 },
        { "toolOffset", 0 },
        { "PlotRotation", 0 },
        { "PlotMirrorX", false },
        { "PlotMirrorY", false },
        { "PlotOvercut", 2.5 },
        { "PlotCorrection", -1.2 },
        { "PlotPrecut", false },
        { "PlotFlat", 1.2 },
        { "PlotAutoAlign", false },
        { "BezierFlatteningThreshold", 0.05 },
        { "ZoomLimit", 5 },
        { "PlotEnd", 1 },
        { "PlotOverlap", 0 },
        { "NestingMaxJob", 1 },
        { "NestingMinArea", 0.01 },
        { "NestingInterval", 1 },
        { "AutoSaveInterval", 60 },
        { "LineWidth", 2 },
        { "TextWidth", 8 },
        { "LeftToolBarWidth", 125 },
        { "Cutoff", 1520 },
        { "CutInterval", 20 },
        { "Separation", 5 },
        { "ExtraPlotter", QString("") },
        { "AntialiasingThreshold", 0.03 },
        { "CanvasWidth", 15000 },
        { "CanvasHeight", 2000 },
        { "SavePlt", false },
    };
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

void tst_CGlobalConfig::arrayDefaults()
{
    QCOMPARE(g_config.getSetting("RedBackground").toJsonArray(), QJsonArray({ 80 }));
    QCOMPARE(g_config.getSetting("FillColor").toJsonArray(), QJsonArray({ 80, 4, 119, 117, 156 }));
    QCOMPARE(g_config.getSetting("ImportEnableUser").toJsonArray(), QJsonArray({ 3, 4 }));
    QVERIFY(g_config.getSetting("NestingServer").toString().endsWith(":9099"));
    QVERIFY(g_config.getSetting("NestingAccount").toString().endsWith(":482915"));
    QVERIFY(g_config.getSetting("ImageServer").toString().endsWith(":9101"));
    // 39 defaults, plus whatever other tests have asked for since.
    const QJsonObject defaults = g_config.getDefaultSettings();
    QVERIFY(defaults.size() >= 39);
}

void tst_CGlobalConfig::unknownKeyIsRememberedAsNull()
{
    QVERIFY(!g_config.getDefaultSettings().contains("NoSuchKey"));
    const QVariant value = g_config.getSetting("NoSuchKey");
    QVERIFY(value.value<QJsonValue>().isNull());
    QCOMPARE(value.toInt(), 0);
    QVERIFY(value.toString().isEmpty());
    const QJsonObject defaults = g_config.getDefaultSettings();
    QVERIFY(defaults.contains("NoSuchKey"));
    QVERIFY(defaults.value("NoSuchKey").isNull());
}

void tst_CGlobalConfig::positionColorsBuiltOnce()
{
    g_config.setSettings(QJsonObject { { "PositionColor", QJsonObject { { "1", "server" } } } });
    QCOMPARE(g_config.getSetting("PositionColor").toJsonObject().size(), 1);
    g_config.setSettings(QJsonObject());

    const QJsonObject colors = g_config.getSetting("PositionColor").toJsonObject();
    QCOMPARE(colors.size(), 50);
    QCOMPARE(colors.value("1000").toObject().value("name").toString(), QString("Front lip"));
    QCOMPARE(colors.value("1003").toObject().value("name").toString(), QString("Font Hood"));
    QCOMPARE(colors.value("1038").toObject().value("name").toString(), QString(""));
    QCOMPARE(colors.value("1038").toObject().value("color").toString(), QString("rgb(128,128,128)"));
    QCOMPARE(colors.value("1037").toObject().value("color").toString(), QString("rgb(164,207,249)"));
    QCOMPARE(colors.value("1006").toObject().value("color").toString(), QString("rgb(128, 204, 221)"));
    QCOMPARE(colors.value("2000").toObject().value("name").toString(), QString("Front window"));
    QCOMPARE(colors.value("2010").toObject().value("name").toString(), QString("Rear window"));
    QVERIFY(!colors.contains("1039"));
    QVERIFY(!colors.contains("2011"));
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
    for (const char* key : { "report_auth", "openimg_auth", "vector_auth", "color_auth", "note_auth" }) {
        const QVariant right = g_config.getUserRight(key);
        QVERIFY(!right.isValid());
        QCOMPARE(right.toBool(), false);
    }
    g_config.setUserRights(QJsonObject { { "vector_auth", 1 } });
    QCOMPARE(g_config.getUserRight("vector_auth").toInt(), 1);
    const QVariant absent = g_config.getUserRight("color_auth");
    QVERIFY(absent.isValid());
    QVERIFY(absent.value<QJsonValue>().isUndefined());
    QCOMPARE(absent.toInt(), 0);
}

void tst_CGlobalConfig::cipherKeyAndGlobals()
{
    const QByteArray key = g_config.getCipherKey();
    QCOMPARE(key.size(), 55);
    QCOMPARE(key, QByteArray("Hq2Zt9Wm+Kd4Rb7Xv1Nc/Pj6Lf3Gs8Ty0Ue5Ia2Ow7Qr4Mn9Ek1Dh6V"));
    QCOMPARE(g_heartbeat, QString("heartbeat"));
    QCOMPARE(g_arrowMoveTotal, QPointF(0, 0));
    QCOMPARE(g_config.getPointFactor(), 1.0);
    QCOMPARE(&CGlobalConfig::instance(), &g_config);
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
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}
} // namespace

void tst_CGlobalConfig::writeTextFileReplaces()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("drawing.svg");
    QVERIFY(writeTextFile(path, QString::fromUtf8("<svg>\xe4\xb8\xad</svg>")));
    QCOMPARE(readAll(path), QByteArray("<svg>\xe4\xb8\xad</svg>"));
    QVERIFY(writeTextFile(path, "short"));
    QCOMPARE(readAll(path), QByteArray("short"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({ "drawing.svg" }));
}

void tst_CGlobalConfig::writeTextFileReadOnlyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("locked.svg");
    QVERIFY(writeTextFile(path, "old"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser | QFile::ReadOther));
    QVERIFY(writeTextFile(path, "new"));
    QCOMPARE(readAll(path), QByteArray("new"));
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
