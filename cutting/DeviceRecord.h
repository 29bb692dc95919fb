#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVariant>

// One cutting device of the account, as the web API lists it: its name, id,
// the device file it is reached through, its serial parameters, the codes
// sent before and after a job, and converter settings that override the
// user's for this device ("converter": {"PlotOvercut": 1, ...}), all but the
// resolution, which stays the user's.
class DeviceRecord
{
public:
    DeviceRecord() = default;
    explicit DeviceRecord(const QJsonObject& object)
        : m_object(object)
    {
    }

    QJsonObject object() const { return m_object; }
    QString name() const;
    int id() const;
    // The device file ("/dev/usb/lp0", "/dev/ttyUSB0") or an output file.
    QString port() const;
    // The same device reached through another port.
    DeviceRecord withPort(const QString& port) const;
    // Listed with the type "serial": its port takes the line settings.
    bool isSerial() const;
    QByteArray startCode() const;
    QByteArray endCode() const;

    int baudRate() const;
    int dataBits() const;
    // "none", "even", "odd".
    QString parity() const;
    int stopBits() const;
    // "none", "hardware", "software".
    QString flowControl() const;

    // The device's own value of a plotter setting, else the user's; the
    // user's resolution ("PlotResolutionX", "PlotResolutionY") always.
    QVariant setting(const QString& key) const;
    // What the record itself says; null when it says nothing.
    QVariant ownSetting(const QString& key) const;
    // The settings in which the user's value wins over the record's.
    static bool isUserSetting(const QString& key);

private:
    int number(const char* key, int fallback) const;
    QString text(const char* key, const char* fallback) const;

    QJsonObject m_object;
};
