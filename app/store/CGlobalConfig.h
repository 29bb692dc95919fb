#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <mutex>
#include <QPointF>
#include <QString>
#include <QVariant>

// The program's one store of shared, mostly read-only state. Exactly one
// instance exists; it is built during static initialisation, before main(),
// and lives until the program exits.
//
// Settings are looked up in three sources, in this order: the group "hpgl" of
// the local INI settings, the account settings sent by the web API, the
// built-in defaults. Callers read a setting at every use, so a change takes
// effect at the next read.
class CGlobalConfig
{
public:
    static CGlobalConfig& instance();

    CGlobalConfig(const CGlobalConfig&) = delete;
    CGlobalConfig& operator=(const CGlobalConfig&) = delete;

    // Safe to call from any thread: worker threads flatten curves and sum
    // areas while the GUI thread reads settings too.
    QVariant getSetting(const QString& key);
    void setSettings(const QJsonObject& settings);
    QJsonObject getSettings() const;
    QJsonObject getDefaultSettings() const;

    void setUserRights(const QJsonObject& rights);
    QVariant getUserRight(const QString& key) const;

    QByteArray getCipherKey() const;

    double getPointFactor() const { return m_pointFactor; }
    void setPointFactor(double factor) { m_pointFactor = factor; }

private:
    CGlobalConfig();
    ~CGlobalConfig() = default;

    void initDefaultSettings();
    QJsonObject buildPositionColors() const;

    // Guards the three JSON objects: getSetting() may add keys to the
    // defaults while other threads read them.
    mutable std::mutex m_lock;

    int m_elementIdCounter = 0;
    double m_pointFactor = 1.0;
    QJsonObject m_settings;
    QJsonObject m_defaultSettings;
    QJsonObject m_userRights;
};

// The one instance, bound during static initialisation so the store exists
// before main() runs. Other static initialisers must go through instance().
extern CGlobalConfig& g_config;

// Name of the nesting service's keep-alive request.
extern const QString g_heartbeat;

// Sum of the arrow-key moves since the last mouse release or cancelled drag;
// the view shows it beside the cursor while points are moved.
extern QPointF g_arrowMoveTotal;

// Replaces a text file with the UTF-8 text, atomically: on any failure the
// old file stays as it was and the result is false. A read-only existing file
// is replaced too.
bool writeTextFile(const QString& path, const QString& text);
