#include "CGlobalConfig.h"
#include "HttpRequest.h"
#include "LogHandler.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "Trans.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>

#include <stdexcept>

namespace {
bool g_logHandlerInstalled = false;
} // namespace

class tst_SVGApplication : public QObject
{
    Q_OBJECT
public:
    explicit tst_SVGApplication(StandInSession& session)
        : m_session(session)
    {
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void identity();
    void languageChoice_data();
    void languageChoice();
    void translatorsReplaced();
    void qtTextsFollowLanguage_data();
    void qtTextsFollowLanguage();
    void updater_data();
    void updater();
    void settingsRoundTrip();
    void settingsReplyStoredWhole();
    void settingsFetchReturnsWhenServerFails_data();
    void settingsFetchReturnsWhenServerFails();
    void settingsUploadRefusal_data();
    void settingsUploadRefusal();
    void throwingHandlerLeavesProgramRunning();

private:
    QStringList updaterArguments() const;
    bool updaterRunning() const;
    SVGApplication* application() const { return SVGApplication::instance(); }

    StandInSession& m_session;
    QTemporaryDir m_bin;
    QStringList m_prompts;
};

void tst_SVGApplication::initTestCase()
{
    // A stand-in updater on PATH that writes down how it was started.
    QFile updater(m_bin.path() + "/ZuVuvuzi");
    QVERIFY(updater.open(QIODevice::WriteOnly));
    updater.write("#!/bin/sh\nout=\"$(dirname \"$0\")/arguments\"\n"
                  "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
    updater.close();
    QVERIFY(updater.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("PATH", QFile::encodeName(m_bin.path()) + ":" + qgetenv("PATH"));
}

void tst_SVGApplication::init()
{
    m_prompts.clear();
    Prompt::setHandler([this](Prompt::Kind kind, const QString& title, const QString& text) {
        m_prompts << QString("%1|%2|%3").arg(int(kind)).arg(title, text);
        return QVariant();
    });
}

void tst_SVGApplication::cleanup()
{
    Prompt::setHandler(nullptr);
    m_session.server().clearCannedReplies();
    m_session.server().setLatestVersion("6.4.0");
    HttpRequest::setTimeoutMs(0);
    for (const auto& variable : m_session.server().environment())
        qputenv(variable.first.constData(), variable.second.toUtf8());
    // The next test must not take this one's updater for its own.
    QTRY_VERIFY_WITH_TIMEOUT(!updaterRunning(), 30000);
    QFile::remove(m_bin.path() + "/arguments");
}

QStringList tst_SVGApplication::updaterArguments() const
{
    QFile file(m_bin.path() + "/arguments");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool tst_SVGApplication::updaterRunning() const
{
    const QByteArray path = QFile::encodeName(m_bin.path() + "/ZuVuvuzi");
    for (const QString& process : QDir("/proc").entryList({ "[0-9]*" }, QDir::Dirs)) {
        QFile commandLine("/proc/" + process + "/cmdline");
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains(path))
            return true;
    }
    return false;
}

void tst_SVGApplication::identity()
{
    QVERIFY(g_logHandlerInstalled);
    QCOMPARE(QCoreApplication::applicationName() + QCoreApplication::organizationName(), QString("MORLDataMORLData"));
    QCOMPARE(QCoreApplication::applicationVersion(), QString("6.4.0"));
    QCOMPARE(QSettings::defaultFormat(), QSettings::IniFormat);
    QCOMPARE(application()->getApiUrl(), m_session.server().apiBase());
    QVERIFY(application()->clipboard()->isEmpty());
    // Construction asked whether a newer version exists.
    QTRY_VERIFY(m_session.server().requestCount("/api/common/checkUpdate") > 0);
    const QList<QPair<QString, QString>> sent { { "_id", "80" }, { "_version", "6.4.0" } };
    QCOMPARE(m_session.server().journal().first().form, sent);
}

void tst_SVGApplication::languageChoice_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QString>("language");
    const auto row = [](const char* name, const QString& code, const QString& saved, const QString& language) {
        QTest::newRow(name) << code << saved << language;
    };
    row("Chinese", "Chinese", "", "zh_cn");
    row("zh-cn", "zh-cn", "", "zh_cn");
    row("zh-CN is not normalised", "zh-CN", "", "zh-cn");
    row("German", "ger", "", "ger");
    row("saved setting", "", "ko", "ko");
    row("system locale", "", "", QLocale::system().name().toLower());
}

void tst_SVGApplication::languageChoice()
{
    QFETCH(QString, code);
    QFETCH(QString, saved);
    QFETCH(QString, language);
    QSettings settings;
    if (saved.isEmpty())
        settings.remove("lang");
    else
        settings.setValue("lang", saved);
    settings.sync();
    QSignalSpy changed(application(), &SVGApplication::languageChanged);
    application()->setLanguage(code);
    QCOMPARE(application()->getLanguage(), language);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(QLocale().toString(1234567), QString("1234567"));
    QVERIFY(QLocale().numberOptions() & QLocale::RejectGroupSeparator);
    settings.remove("lang");
}

void tst_SVGApplication::translatorsReplaced()
{
    application()->setLanguage("Chinese");
    QCOMPARE(QCoreApplication::translate("tst_SVGApplication", "Hello"), QString("你好"));
    application()->setLanguage("en");
    QCOMPARE(QCoreApplication::translate("tst_SVGApplication", "Hello"), QString("Hello"));
    QTest::ignoreMessage(QtDebugMsg, "Cannot load translator for \"xx_YY\"");
    application()->setLanguage("xx_YY");
    QCOMPARE(application()->getLanguage(), QString("xx_yy"));
}

void tst_SVGApplication::qtTextsFollowLanguage_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("texts");
    // Cancel and Apply of an open button box, then the next file dialog's
    // "Look in:", "File name:", "Files of type:" and "Open". Where the
    // language files hold a text (Cancel), theirs is shown; Qt's own words
    // the rest.
    QTest::newRow("zh_cn") << "zh_cn"
                           << QStringList { "取消", "应用", "查找范围：", "文件名称(&N)：", "文件类型：", "打开(&O)" };
    QTest::newRow("en") << "en"
                        << QStringList { "Cancel", "Apply", "Look in:", "File &name:", "Files of type:", "&Open" };
    QTest::newRow("ru") << "ru"
                        << QStringList { "Отмена", "Применить",
                               "Перейти к:", "&Имя файла:", "Типы файлов:", "&Открыть" };
    QTest::newRow("ar") << "ar"
                        << QStringList { "إلغاء", "طبّق", "اعثر في:", "ا&سم الملفّ:", "الملفّات من النّوع:", "ا&فتح" };
    QTest::newRow("ko") << "ko"
                        << QStringList { "취소", "적용", "다음에서 찾기:", "파일 이름(&N):", "파일 형식:", "열기(&O)" };
    QTest::newRow("ger") << "ger"
                         << QStringList { "Abbrechen", "Anwenden",
                                "Suchen in:", "Datei&name:", "Dateien des Typs:", "&Öffnen" };
}

void tst_SVGApplication::qtTextsFollowLanguage()
{
    QFETCH(QString, code);
    QFETCH(QStringList, texts);
    Trans trans;
    trans.init(nullptr, QCoreApplication::applicationDirPath() + "/translations");
    // As the sign-in page does it: the texts, then the application.
    const auto switchTo = [&](const QString& language) {
        trans.setLanguageCode(language);
        application()->setLanguage(language);
    };
    switchTo("en");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
    buttons.show();
    switchTo(code);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    const auto label = [&dialog](const char* name) {
        const auto* shown = dialog.findChild<QLabel*>(name);
        return shown ? shown->text() : QString();
    };
    const auto shownTexts = [&] {
        const auto* fileButtons = dialog.findChild<QDialogButtonBox*>("buttonBox");
        return QStringList { buttons.button(QDialogButtonBox::Cancel)->text(),
            buttons.button(QDialogButtonBox::Apply)->text(), label("lookInLabel"), label("fileNameLabel"),
            label("fileTypeLabel"), fileButtons ? fileButtons->button(QDialogButtonBox::Open)->text() : QString() };
    };
    QTRY_COMPARE(shownTexts(), texts);
    // The editor's window keeps its direction in every language.
    QCOMPARE(QApplication::layoutDirection(), Qt::LeftToRight);
    switchTo("en");
}

void tst_SVGApplication::updater_data()
{
    QTest::addColumn<QString>("latest");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("started");
    QTest::newRow("newer version") << "6.5.0" << QByteArray() << true;
    QTest::newRow("latest already") << "6.4.0" << QByteArray() << false;
    QTest::newRow("code as text") << "6.5.0" << QByteArray("{\"code\": \"1\", \"url\": \"x\"}") << false;
    QTest::newRow("empty url") << "6.5.0" << QByteArray("{\"code\": 1, \"url\": \"\"}") << false;
    QTest::newRow("not json") << "6.5.0" << QByteArray("<html>update</html>") << false;
}

void tst_SVGApplication::updater()
{
    QFETCH(QString, latest);
    QFETCH(QByteArray, reply);
    QFETCH(bool, started);
    m_session.server().setLatestVersion(latest);
    if (!reply.isEmpty())
        m_session.server().setCannedReply("/api/common/checkUpdate", 200, reply);
    m_session.server().clearJournal();
    application()->setLanguage("ko");
    application()->checkUpdate();
    QTRY_COMPARE(m_session.server().requestCount("/api/common/checkUpdate"), 1);
    if (started) {
        QTRY_COMPARE(updaterArguments(),
            QStringList({ "MORLData", QCoreApplication::applicationFilePath(), "6.4.0",
                m_session.server().baseUrl() + "downloads/ZoCut-6.5.0.exe", "zh_cn" }));
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    // An updater is started by the time the reply is handled: it still runs,
    // or it has written down its arguments and ended.
    QVERIFY(!updaterRunning());
    QCOMPARE(updaterArguments(), QStringList());
}

void tst_SVGApplication::settingsRoundTrip()
{
    const QJsonObject content { { "PlotSpeed", 321 }, { "Note", "a+b&c=d%e 中文" } };
    application()->setSettingConfigbyid(80, content);
    QTRY_COMPARE(m_session.server().requestCount("/api/common/setSettingConfigbyid"), 1);
    const QString text = QString::fromUtf8(QJsonDocument(content).toJson(QJsonDocument::Indented));
    QCOMPARE(m_session.server().lastRequest("/api/common/setSettingConfigbyid").form,
        (QList<QPair<QString, QString>> { { "id", "80" }, { "content", text } }));

    g_config.setSettings(QJsonObject());
    application()->getSettingConfigbyid();
    QCOMPARE(g_config.getSettings(), content);
    QCOMPARE(m_prompts, QStringList({ QString("%1||").arg(int(Prompt::Kind::Modal)) }));
}

void tst_SVGApplication::settingsReplyStoredWhole()
{
    m_session.server().setCannedReply("/api/common/getSettingConfigbyid", 200, "{\"code\": 1, \"data\": {\"a\": 2}}");
    application()->getSettingConfigbyid();
    QCOMPARE(g_config.getSettings(), QJsonObject({ { "code", 1 }, { "data", QJsonObject { { "a", 2 } } } }));
    m_session.server().setCannedReply("/api/common/getSettingConfigbyid", 200, "{}");
    application()->getSettingConfigbyid();
    QCOMPARE(g_config.getSettings().value("code").toInt(), 1);
}

void tst_SVGApplication::settingsFetchReturnsWhenServerFails_data()
{
    QTest::addColumn<bool>("silent");
    QTest::newRow("server down") << false;
    QTest::newRow("server never answers") << true;
}

// Start-up waits in this call; a failed request must close its dialog.
void tst_SVGApplication::settingsFetchReturnsWhenServerFails()
{
    QFETCH(bool, silent);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString address = QString("http://127.0.0.1:%1/api/").arg(server.serverPort());
    if (!silent)
        server.close();
    qputenv("ZOCUT_API_BASE", address.toUtf8());
    HttpRequest::setTimeoutMs(300);
    const QJsonObject before { { "kept", true } };
    g_config.setSettings(before);
    QElapsedTimer timer;
    timer.start();
    application()->getSettingConfigbyid();
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(g_config.getSettings(), before);
    QCOMPARE(m_prompts.size(), 1);
}

void tst_SVGApplication::settingsUploadRefusal_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("prompts");
    const QString warning = QString("%1|Warring|").arg(int(Prompt::Kind::Warning));
    QTest::newRow("unknown id") << QByteArray() << 81 << QStringList({ warning + "Unknown id" });
    QTest::newRow("saved") << QByteArray() << 80 << QStringList();
    QTest::newRow("no code") << QByteArray("{\"msg\": \"x\"}") << 80 << QStringList({ warning + "x" });
    QTest::newRow("code as text") << QByteArray("{\"code\": \"1\"}") << 80 << QStringList({ warning });
    QTest::newRow("empty object") << QByteArray("{}") << 80 << QStringList();
    QTest::newRow("not json") << QByteArray("oops") << 80 << QStringList();
}

void tst_SVGApplication::settingsUploadRefusal()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, id);
    QFETCH(QStringList, prompts);
    if (!reply.isEmpty())
        m_session.server().setCannedReply("/api/common/setSettingConfigbyid", 200, reply);
    m_session.server().clearJournal();
    application()->setSettingConfigbyid(id, QJsonObject { { "k", 1 } });
    QTRY_COMPARE(m_session.server().requestCount("/api/common/setSettingConfigbyid"), 1);
    QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    QCOMPARE(m_prompts, prompts);
}

void tst_SVGApplication::throwingHandlerLeavesProgramRunning()
{
    const QtMessageHandler testHandler = qInstallMessageHandler(logMessageHandler);
    QPushButton button("Throw");
    int thrown = 0;
    QObject::connect(&button, &QPushButton::clicked, [&thrown]() {
        if (thrown++ == 0)
            throw std::runtime_error("the slot gave up: 42");
        throw 7;
    });
    button.show();
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    qInstallMessageHandler(testHandler);
    QCOMPARE(thrown, 2);

    QFile log(currentLogFilePath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    QVERIFY(text.contains(" Debug: the slot gave up: 42 ("));
    QVERIFY(text.contains(" Debug: There seems to be something abnormal. ("));
    // The program goes on: events are still delivered.
    QSignalSpy clicked(&button, &QPushButton::pressed);
    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

int main(int argc, char** argv)
{
    TestEnvironment environment;
    // Before the application object, whose construction asks for updates.
    StandInSession session;
    if (!session.isRunning())
        return 1;
    SVGApplication application(argc, argv);
    const QtMessageHandler installed = qInstallMessageHandler(nullptr);
    g_logHandlerInstalled = installed == logMessageHandler;
    qInstallMessageHandler(installed);
    tst_SVGApplication test(session);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SVGApplication.moc"
