#include "CGlobalConfig.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace {
const char* const kCipherKey = "Hq2Zt9Wm+Kd4Rb7Xv1Nc/Pj6Lf3Gs8Ty0Ue5Ia2Ow7Qr4Mn9Ek1Dh6V";
const char* const kPositionColor = "PositionColor";

// Settings are read at every use: every flattening reads its threshold, every
// outline pen its width. A new QSettings checks its files each time it is
// made, so the store keeps one for the whole run. Every QSettings of this
// process that opens the same file shares its contents with this one (Qt
// keeps one copy per file), so a value written through any of them, on any
// thread, is what the next read here returns; and a read is a look-up in
// memory. The object is made again when the program's identity or the
// settings format changes, and dropped with the application object.
class SharedSettings
{
public:
    // The value under "hpgl/" + key, or false when the settings hold none.
    static bool read(const QString& key, QVariant& value)
    {
        State& state = shared();
        std::lock_guard<std::mutex> locker(state.lock);
        QSettings& settings = current(state);
        const QString path = QStringLiteral("hpgl/") + key;
        if (!settings.contains(path))
            return false;
        value = settings.value(path);
        return true;
    }

private:
    struct State
    {
        std::mutex lock;
        QSettings* settings = nullptr;
        QString identity;
        bool dropRegistered = false;
    };

    static State& shared()
    {
        static State state;
        return state;
    }

    static QSettings& current(State& state)
    {
        const QString identity = QCoreApplication::organizationName() + QLatin1Char('\n')
            + QCoreApplication::applicationName() + QLatin1Char('\n') + QString::number(QSettings::defaultFormat());
        if (!state.settings || identity != state.identity) {
            delete state.settings;
            state.settings = new QSettings;
            state.identity = identity;
            if (QCoreApplication* application = QCoreApplication::instance()) {
                state.settings->moveToThread(application->thread());
                if (!state.dropRegistered)
                    qAddPostRoutine(drop);
                state.dropRegistered = true;
            }
        }
        return *state.settings;
    }

    static void drop()
    {
        State& state = shared();
        std::lock_guard<std::mutex> locker(state.lock);
        delete state.settings;
        state.settings = nullptr;
        state.dropRegistered = false;
    }
};

} // namespace

CGlobalConfig& CGlobalConfig::instance()
{
    static CGlobalConfig store;
    return store;
}

CGlobalConfig& g_config = CGlobalConfig::instance();
const QString g_heartbeat = QStringLiteral("heartbeat");
QPointF g_arrowMoveTotal(0.0, 0.0);

// The vocabulary comes first: the defaults and everything after may use it.
CGlobalConfig::CGlobalConfig()
{
    initColorKeywords();
    initElementNames();
    initAttributeNames();
    initDefaultSettings();
    initWhiteSpace();
    m_pointFactor = 1.0;
}

QVariant CGlobalConfig::getSetting(const QString& key)
{
    QVariant local;
    if (SharedSettings::read(key, local))
        return local;

    std::lock_guard<std::mutex> locker(m_lock);
    const auto account = m_settings.constFind(key);
    if (account != m_settings.constEnd())
        return QVariant(account.value());

    if (key == QLatin1String(kPositionColor) && !m_defaultSettings.contains(key))
        m_defaultSettings.insert(key, buildPositionColors());

    // A key that no source holds is remembered in the defaults as null, so
    // that a settings object built from the defaults carries it along.
    return QVariant(QJsonValue(m_defaultSettings[key]));
}

void CGlobalConfig::setSettings(const QJsonObject& settings)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_settings = settings;
}

QJsonObject CGlobalConfig::getSettings() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_settings;
}

QJsonObject CGlobalConfig::getDefaultSettings() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_defaultSettings;
}

void CGlobalConfig::setUserRights(const QJsonObject& rights)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_userRights = rights;
}

QVariant CGlobalConfig::getUserRight(const QString& key) const
{
    std::lock_guard<std::mutex> locker(m_lock);
    if (m_userRights.isEmpty())
        return QVariant();
    return QVariant(m_userRights.value(key));
}

QByteArray CGlobalConfig::getCipherKey() const
{
    return QByteArray(kCipherKey);
}

namespace {

// Replaces the file with what fill writes into it, atomically. A read-only
// file is still replaced, as the user asked to save over it.
bool replaceFile(const QString& path, const std::function<bool(QSaveFile&)>& fill)
{
    const QFileInfo existing(path);
    const QFile::Permissions oldPermissions = existing.exists() ? existing.permissions() : QFile::Permissions();
    const bool madeWritable = existing.exists() && !existing.isWritable()
        && QFile::setPermissions(path, oldPermissions | QFile::WriteOwner | QFile::WriteUser);

    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && fill(file) && file.commit();
    if (!ok && madeWritable)
        QFile::setPermissions(path, oldPermissions);
    return ok;
}

} // namespace

bool writeTextFile(const QString& path, const QString& text)
{
    return replaceFile(path, [&text](QSaveFile& file) {
        const QByteArray bytes = text.toUtf8();
        return file.write(bytes) == bytes.size();
    });
}

bool writeTextFile(
    const QString& path, const std::function<bool(const std::function<bool(const std::wstring&)>& write)>& produce)
{
    return replaceFile(path, [&produce](QSaveFile& file) {
        bool written = true;
        const auto write = [&file, &written](const std::wstring& piece) {
            const QByteArray bytes = QString::fromStdWString(piece).toUtf8();
            written = written && file.write(bytes) == bytes.size();
            return written;
        };
        return produce(write) && written;
    });
}
