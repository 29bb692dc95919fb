#include "Trans.h"

#include "SVGApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlContext>
#include <QQmlEngine>

#include <algorithm>

namespace {
const QString kEnglish = QStringLiteral("English");
const QString kChinese = QStringLiteral("简体中文");

// Languages that win the start-up choice, best first.
const QStringList& preferredLanguages()
{
    static const QStringList names { kChinese, QStringLiteral("Korean"), QStringLiteral("Arabic"),
        QStringLiteral("Russian"), QStringLiteral("German") };
    return names;
}

// Each of these is moved to the front in turn, so the last one leads.
const QStringList& leadingLanguages()
{
    static const QStringList names { kChinese, QStringLiteral("Korean"), QStringLiteral("Arabic"),
        QStringLiteral("Russian") };
    return names;
}
} // namespace

Trans::Trans(QObject* parent)
    : QTranslator(parent)
{
}

// QTranslator's own destructor unhooks this object only after the members
// here are gone.
Trans::~Trans()
{
    if (QCoreApplication::instance())
        QCoreApplication::removeTranslator(this);
    // No lookup is under way once the translator has left the list; taking
    // the lock shows ThreadSanitizer that the last one is over.
    std::lock_guard<std::mutex> guard(m_lock);
}

void Trans::init(QQmlContext* context, const QString& folder)
{
    publish(context);
    loadFolder(folder.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/Trans") : folder);
    s_installed.fetch_add(1, std::memory_order_release);
    QCoreApplication::installTranslator(this);
    // The application replaces Qt's catalogues at every change of language,
    // and the newest translator is asked first. Stepping in front again keeps
    // one word for one text: where the language files hold a text that Qt's
    // dialogs show too ("Cancel"), they read as the program's own buttons.
    if (SVGApplication* application = SVGApplication::instance())
        connect(application, &SVGApplication::languageChanged, this, &Trans::stepInFront, Qt::UniqueConnection);
}

void Trans::stepInFront()
{
    QCoreApplication::removeTranslator(this);
    QCoreApplication::installTranslator(this);
}

void Trans::publish(QQmlContext* context)
{
    m_context = context;
    if (context)
        context->setContextProperty(QStringLiteral("trans"), this);
}

// The codes are the sign-in page's, which writes the setting.
void Trans::setLanguageCode(const QString& code)
{
    static const QHash<QString, QString> names { { QStringLiteral("zh_cn"), kChinese },
        { QStringLiteral("en"), kEnglish }, { QStringLiteral("ru"), QStringLiteral("Russian") },
        { QStringLiteral("ar"), QStringLiteral("Arabic") }, { QStringLiteral("ko"), QStringLiteral("Korean") },
        { QStringLiteral("ger"), QStringLiteral("German") } };
    setCurrentLang(names.value(code, kEnglish));
}

void Trans::loadFolder(const QString& folder)
{
    // QDir("") would be the working folder; an empty path names no folder.
    // Sorting by name makes the file that wins a shared key the same on
    // every file system.
    const QFileInfoList files = folder.isEmpty()
        ? QFileInfoList()
        : QDir(folder).entryInfoList({ QStringLiteral("language_*.json") }, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        QString lang;
        load(lang, file.absoluteFilePath());
    }

    QStringList order;
    QString choice;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ensureEnglishTable();
        order = offeredOrder();
        choice = firstPreferred(preferredLanguages());
    }
    if (order != m_languages) {
        m_languages = order;
        emit languagesChanged(m_languages);
    }
    setCurrentLang(choice.isEmpty() ? kEnglish : choice);
    emit folderLoaded(folder);
}

bool Trans::load(QString& lang, const QString& path)
{
    lang.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Not JSON, not an object, or no language name: a file without a name
    // would be offered as a nameless language, so it counts as unreadable.
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    const QString name = root.value(QStringLiteral("lang")).toString();
    if (name.isEmpty())
        return false;

    const QJsonArray entries = root.value(QStringLiteral("trans")).toArray();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (const QJsonValue& entry : entries) {
            const QString key = entry.toObject().value(QStringLiteral("key")).toString();
            const QString value = entry.toObject().value(QStringLiteral("value")).toString();
            // A blank text would make the key vanish from the screen; showing
            // the English text is better.
            if (!key.isEmpty() && !value.isEmpty())
                m_tables[name].insert(key, value);
        }
    }
    lang = name;
    emit langLoaded(lang);
    return true;
}

QString Trans::currentLang() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_currentLang;
}

QString Trans::find(const QString& key) const
{
    s_installed.load(std::memory_order_acquire);
    std::lock_guard<std::mutex> guard(m_lock);
    const auto table = m_tables.constFind(m_currentLang);
    return table == m_tables.constEnd() ? QString() : table->value(key);
}

QString Trans::trans(const QString& key) const
{
    const QString found = find(key);
    return found.isNull() ? key : found;
}

// A text that the current language's file does not hold is left to the
// translators behind this one: Qt's catalogues translate Qt's own texts (the
// file dialog's labels), and with no answer at all Qt shows the source text.
QString Trans::translate(const char*, const char* sourceText, const char*, int) const
{
    return sourceText ? find(QString::fromUtf8(sourceText)) : QString();
}

void Trans::setCurrentLang(const QString& lang)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (lang == m_currentLang)
            return;
        m_currentLang = lang;
    }
    emit currentLangChanged(lang);
    retranslate();
}

QStringList Trans::sortedNames() const
{
    // Hash order changes from run to run; the offered order must not.
    QStringList names = m_tables.keys();
    std::sort(names.begin(), names.end());
    return names;
}

QString Trans::firstPreferred(const QStringList& candidates) const
{
    for (const QString& name : candidates) {
        if (m_tables.contains(name))
            return name;
    }
    return QString();
}

void Trans::ensureEnglishTable()
{
    if (m_tables.contains(kEnglish))
        return;
    QString source = firstPreferred(preferredLanguages());
    if (source.isEmpty() && !m_tables.isEmpty())
        source = sortedNames().constFirst();
    if (source.isEmpty())
        return;
    Table english;
    for (const QString& key : m_tables.value(source).keys())
        english.insert(key, key);
    m_tables.insert(kEnglish, english);
}

QStringList Trans::offeredOrder() const
{
    QStringList order = sortedNames();
    for (const QString& name : leadingLanguages()) {
        if (order.removeAll(name) > 0)
            order.prepend(name);
    }
    return order;
}

void Trans::retranslate()
{
    // The view, and with it the context, may be gone before this object.
    if (m_context && m_context->engine())
        m_context->engine()->retranslate();
    // The widgets learn of new texts as of a newly installed translator:
    // every window, and each widget in it, receives a language change.
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(application, &change);
    }
}
