#include "CGlobalConfig.h"
#include "DialogSettings.h"
#include "HttpRequest.h"
#include "InterfaceLocale.h"
#include "NumberField.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "StandInSession.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>

class tst_DialogSettings : public QObject
{
    Q_OBJECT
public:
    explicit tst_DialogSettings(StandInSession& session)
        : m_session(session)
    {
    }

private slots:
    void init();
    void cleanup();
    void savesCopyWithEditedKeys_data();
    void savesCopyWithEditedKeys();
    void staysOpenUnlessSaved_data();
    void staysOpenUnlessSaved();
    void languageList();
    void numbersAsTyped_data();
    void numbersAsTyped();

private:
    void pressSave(DialogSettings& dialog);
    StandInSession& m_session;
    QStringList m_prompts;
};

void tst_DialogSettings::init()
{
    QSettings().remove("hpgl");
    g_config.setSettings(QJsonObject());
    m_prompts.clear();
    Prompt::setHandler([this](Prompt::Kind, const QString& title, const QString& text) {
        m_prompts << title + '|' + text;
        return QVariant();
    });
    m_session.server().clearJournal();
}

void tst_DialogSettings::cleanup()
{
    Prompt::setHandler(nullptr);
    m_session.server().clearCannedReplies();
    HttpRequest::setTimeoutMs(0);
    for (const auto& variable : m_session.server().environment())
        qputenv(variable.first.constData(), variable.second.toUtf8());
}

void tst_DialogSettings::pressSave(DialogSettings& dialog)
{
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save), Qt::LeftButton);
}

void tst_DialogSettings::savesCopyWithEditedKeys_data()
{
    QTest::addColumn<QJsonObject>("account");
    QTest::newRow("defaults when the account has none") << QJsonObject();
    QTest::newRow("the account's own") << QJsonObject { { "Own", 7 }, { "PlotSpeed", 3 } };
}

void tst_DialogSettings::savesCopyWithEditedKeys()
{
    QFETCH(QJsonObject, account);
    g_config.setSettings(account);
    QJsonObject expected = account.isEmpty() ? g_config.getDefaultSettings() : account;
    for (const QString& key : DialogSettings::editedKeys())
        expected.insert(key, QJsonValue::fromVariant(g_config.getSetting(key)));
    expected.insert("PlotSpeed", 42);
    expected.insert("PlotMirrorX", true);

    DialogSettings dialog;
    dialog.show();
    dialog.findChild<NumberField*>("PlotSpeed")->setText("42");
    dialog.findChild<QCheckBox*>("PlotMirrorX")->setChecked(true);
    pressSave(dialog);
    QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(m_prompts.isEmpty());

    const auto form = m_session.server().lastRequest("/api/common/setSettingConfigbyid").form;
    QCOMPARE(form.size(), 2);
    QCOMPARE(form.at(0), qMakePair(QString("id"), QString("80")));
    QCOMPARE(form.at(1).first, QString("content"));
    QCOMPARE(QJsonDocument::fromJson(form.at(1).second.toUtf8()).object(), expected);
    QCOMPARE(g_config.getSettings(), expected);
    QSettings local;
    QCOMPARE(local.value("hpgl/PlotSpeed").toDouble(), 42.0);
    QCOMPARE(local.value("hpgl/PlotMirrorX").toBool(), true);
    // A plotter key that the copy lacks must not hide the default.
    QCOMPARE(local.contains("hpgl/PlotCorrection"), account.isEmpty());
    QCOMPARE(local.contains("hpgl/ZoomLimit"), false);
}

void tst_DialogSettings::staysOpenUnlessSaved_data()
{
    QTest::addColumn<bool>("down");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("emptyServer");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("stand-in down") << true << QByteArray() << false
                                   << "Warring|The settings were not saved: Connection refused";
    QTest::newRow("refused") << false << QByteArray("{\"code\": 0, \"msg\": \"Busy\"}") << false << "Warring|Busy";
    QTest::newRow("no nesting server") << false << QByteArray() << true << "Warning|Please enter the nesting server.";
}

void tst_DialogSettings::staysOpenUnlessSaved()
{
    QFETCH(bool, down);
    QFETCH(QByteArray, reply);
    QFETCH(bool, emptyServer);
    QFETCH(QString, prompt);
    if (down) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        qputenv("ZOCUT_API_BASE", QString("http://127.0.0.1:%1/api/").arg(closed.serverPort()).toUtf8());
    }
    if (!reply.isEmpty())
        m_session.server().setCannedReply("/api/common/setSettingConfigbyid", 200, reply);
    DialogSettings dialog;
    dialog.show();
    if (emptyServer)
        dialog.findChild<QLineEdit*>("NestingServer")->clear();
    pressSave(dialog);
    QTRY_COMPARE(m_prompts, QStringList { prompt });
    QTRY_VERIFY(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->isEnabled());
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void tst_DialogSettings::languageList()
{
    DialogSettings dialog;
    dialog.show();
    auto* list = dialog.findChild<QComboBox*>("language");
    const int german = list->findData("ger");
    QVERIFY(german > 0);
    list->setCurrentIndex(german - 1);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(SVGApplication::instance()->getLanguage(), QString("ger"));
    QCOMPARE(dialog.findChild<NumberField*>("id")->value(), 80.0);
}

void tst_DialogSettings::numbersAsTyped_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("stored"); // the account's, if any
    QTest::addColumn<QString>("typed"); // null: nothing typed
    QTest::addColumn<QJsonValue>("saved"); // undefined: refused with this prompt
    QTest::addColumn<QString>("prompt");
    const QJsonValue none(QJsonValue::Undefined);
    QTest::newRow("exponent") << "en"
                              << "NestingMinArea" << none << "1e3" << QJsonValue(1000) << QString();
    QTest::newRow("comma in German") << "ger"
                                     << "ZoomLimit" << none << "12,5" << QJsonValue(12.5) << QString();
    QTest::newRow("comma in English, on a tab not shown")
        << "en"
        << "ZoomLimit" << none << "12,5" << none << "Warning|Zoom limit: enter a number from 0.1 to 1000.";
    QTest::newRow("fraction of a whole number")
        << "ger"
        << "PlotSpeed" << none << "42,5" << none << "Warning|Speed: enter a whole number from 0 to 10000.";
    QTest::newRow("stored, no number") << "en"
                                       << "PlotSpeed" << QJsonValue("fast") << QString() << none
                                       << "Warning|Speed: enter a whole number from 0 to 10000.";
}

// A number is saved as typed; one refused names the range and shows its
// field, and nothing is saved. A stored setting that is no number is shown
// as it is, not saved back as some number.
void tst_DialogSettings::numbersAsTyped()
{
    QFETCH(QString, language);
    QFETCH(QString, key);
    QFETCH(QJsonValue, stored);
    QFETCH(QString, typed);
    QFETCH(QJsonValue, saved);
    QFETCH(QString, prompt);
    QLocale::setDefault(InterfaceLocale::forLanguage(language));
    if (!stored.isUndefined())
        g_config.setSettings(QJsonObject { { key, stored } });
    DialogSettings dialog;
    dialog.show();
    auto* field = dialog.findChild<NumberField*>(key);
    if (!typed.isNull())
        field->setText(typed);
    pressSave(dialog);
    QLocale::setDefault(InterfaceLocale::forLanguage("en"));
    if (saved.isUndefined()) {
        QCOMPARE(m_prompts, QStringList { prompt });
        QVERIFY(dialog.findChild<QTabWidget*>()->currentWidget()->isAncestorOf(field));
        QCOMPARE(dialog.focusWidget(), field);
        QVERIFY(m_session.server().lastRequest("/api/common/setSettingConfigbyid").form.isEmpty());
        return;
    }
    QTRY_COMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(g_config.getSettings().value(key), saved);
}

int main(int argc, char** argv)
{
    TestEnvironment environment;
    StandInSession session;
    if (!session.isRunning())
        return 1;
    SVGApplication application(argc, argv);
    tst_DialogSettings test(session);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DialogSettings.moc"
