#include "SVGApplication.h"

#include "ApiReply.h"
#include "CGlobalConfig.h"
#include "Deployment.h"
#include "DialogDirection.h"
#include "HttpRequest.h"
#include "InterfaceLocale.h"
#include "LogHandler.h"
#include "Prompt.h"

#include <QDebug>
#include <QDir>
#include <QIcon>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QSettings>
#include <QTranslator>

#include <exception>

namespace {
const char* const kUpdater = "ZuVuvuzi";

// Qt's catalogues are named after locales ("qt_de_DE", read as "qt_de" when
// there is no such file); the setting "lang" holds the pages' codes, which
// the interface locale knows. Empty for a code that names no language.
QString qtCatalogue(const QString& code)
{
    const QLocale locale = InterfaceLocale::forLanguage(code);
    return locale.language() == QLocale::C ? QString() : QStringLiteral("qt_") + locale.name();
}
} // namespace

SVGApplication::SVGApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setWindowIcon(QIcon(QStringLiteral(":/images/ZoCut.ico")));
    qInstallMessageHandler(logMessageHandler);
    setApplicationName(QStringLiteral("MORLData"));
    setOrganizationName(QStringLiteral("MORLData"));
    setApplicationVersion(QStringLiteral("6.4.0"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    installEventFilter(new DialogDirection(this));
    setLanguage(QString());
    checkUpdate();
}

SVGApplication::~SVGApplication()
{
    delete m_qtTranslator;
    delete m_translator;
}

SVGApplication* SVGApplication::instance()
{
    return qobject_cast<SVGApplication*>(QCoreApplication::instance());
}

QString SVGApplication::getApiUrl() const
{
    return getApiBaseUrl();
}

QString SVGApplication::getApiBaseUrl() const
{
    return Deployment::apiBase();
}

void SVGApplication::setLanguage(const QString& code)
{
    const QString chosen
        = code.isEmpty() ? QSettings().value(QStringLiteral("lang"), QLocale::system().name()).toString() : code;
    QLocale::setDefault(InterfaceLocale::forLanguage(chosen));
    loadTranslators(chosen);
    emit languageChanged();
}

// The first folder that holds the catalogue wins; a longer name falls back
// to its shorter prefixes ("qt_en_US" to "qt_en").
QTranslator* SVGApplication::loadTranslator(const QString& name, const QStringList& folders)
{
    if (name.isEmpty())
        return nullptr;
    auto* translator = new QTranslator();
    for (const QString& folder : folders) {
        if (translator->load(name, folder, QString(), QString())) {
            installTranslator(translator);
            return translator;
        }
    }
    delete translator;
    return nullptr;
}

void SVGApplication::loadTranslators(const QString& code)
{
    QString normalised = code.isEmpty() ? QLocale::system().name() : code;
    if (normalised == QLatin1String("Chinese") || normalised == QLatin1String("zh-cn"))
        normalised = QStringLiteral("zh_CN");
    m_language = normalised.toLower();

    const QString beside = QDir(applicationDirPath()).filePath(QStringLiteral("translations"));
    // Deleting a translator takes it out of the application.
    delete m_qtTranslator;
    delete m_translator;
    // Qt's own texts (file dialogs, standard buttons): a copy beside the
    // program first, else the catalogues that come with Qt.
    m_qtTranslator
        = loadTranslator(qtCatalogue(m_language), { beside, QLibraryInfo::location(QLibraryInfo::TranslationsPath) });
    m_translator = loadTranslator(m_language, { beside });
    if (!m_translator && !code.isEmpty())
        qDebug() << "Cannot load translator for" << code;
}

void SVGApplication::checkUpdate()
{
    HttpRequest request(getApiBaseUrl() + QStringLiteral("common/checkUpdate"));
    request.addParam(QStringLiteral("_id"), kAdminId)
        .addParam(QStringLiteral("_version"), applicationVersion())
        .setSuccessHandler([](const QString& body) {
            const ApiReply reply = ApiReply::parse(body);
            if (reply.isEmpty() || !reply.isSuccess())
                return;
            const QString url = reply.object().value(QStringLiteral("url")).toString();
            if (url.isEmpty())
                return;
            QProcess::startDetached(QString::fromLatin1(kUpdater),
                { applicationName(), applicationFilePath(), applicationVersion(), url, QStringLiteral("zh_cn") });
        });
    request.post();
}

void SVGApplication::getSettingConfigbyid()
{
    QProgressDialog dialog(activeWindow());
    dialog.setRange(0, 100);
    dialog.setAutoClose(false);
    dialog.setCancelButton(nullptr);
    // The reply may come after the dialog was closed and this frame is gone.
    QPointer<QProgressDialog> open(&dialog);
    const auto close = [open]() {
        if (open)
            open->done(0);
    };
    HttpRequest request(getApiBaseUrl() + QStringLiteral("common/getSettingConfigbyid"));
    request.addParam(QStringLiteral("id"), kAdminId)
        .setSuccessHandler([close](const QString& body) {
            const ApiReply reply = ApiReply::parse(body);
            if (!reply.isEmpty())
                g_config.setSettings(reply.object());
            close();
        })
        .setFailHandler([close](const QString& error, int) {
            qDebug().noquote() << "Account settings not fetched:" << error;
            close();
        });
    request.post();
    Prompt::exec(&dialog);
}

void SVGApplication::setSettingConfigbyid(int id, const QJsonObject& content, std::function<void(bool saved)> done)
{
    const auto report = [done](bool saved) {
        if (done)
            done(saved);
    };
    HttpRequest request(getApiBaseUrl() + QStringLiteral("common/setSettingConfigbyid"));
    request.addParam(QStringLiteral("id"), id)
        .addParam(QStringLiteral("content"), QString::fromUtf8(QJsonDocument(content).toJson(QJsonDocument::Indented)))
        .setSuccessHandler([report](const QString& body) {
            const ApiReply reply = ApiReply::parse(body);
            const bool refused = !reply.isEmpty() && !reply.isSuccess();
            if (refused)
                Prompt::warning(activeWindow(), tr("Warring"), reply.msg());
            report(!refused);
        })
        // Silence here would let the user believe the settings were kept.
        .setFailHandler([report](const QString& error, int) {
            Prompt::warning(activeWindow(), tr("Warring"), tr("The settings were not saved: %1").arg(error));
            report(false);
        });
    request.post();
}

// Qt's own catalogue of a right-to-left language turns the whole application
// around at every change of language. The editor's window keeps its toolbars
// and canvas left to right in every language; the dialogs take the
// language's direction themselves (DialogDirection).
bool SVGApplication::event(QEvent* event)
{
    const bool handled = QApplication::event(event);
    if (event->type() == QEvent::LanguageChange && layoutDirection() != Qt::LeftToRight)
        setLayoutDirection(Qt::LeftToRight);
    return handled;
}

bool SVGApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& exception) {
        qDebug().noquote() << QString::fromUtf8(exception.what());
    } catch (...) {
        qDebug() << "There seems to be something abnormal.";
    }
    return false;
}
