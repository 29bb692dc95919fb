#include "DeviceRecord.h"

#include "CGlobalConfig.h"

QString DeviceRecord::name() const
{
    return text("name", "");
}

int DeviceRecord::id() const
{
    return number("id", 0);
}

QString DeviceRecord::port() const
{
    return text("port", "");
}

DeviceRecord DeviceRecord::withPort(const QString& port) const
{
    QJsonObject object = m_object;
    object.insert(QStringLiteral("port"), port);
    return DeviceRecord(object);
}

bool DeviceRecord::isSerial() const
{
    return text("type", "") == QLatin1String("serial");
}

QByteArray DeviceRecord::startCode() const
{
    return text("start_code", "").toUtf8();
}

QByteArray DeviceRecord::endCode() const
{
    return text("end_code", "").toUtf8();
}

int DeviceRecord::baudRate() const
{
    return number("baud_rate", 9600);
}

int DeviceRecord::dataBits() const
{
    return number("data_bits", 8);
}

QString DeviceRecord::parity() const
{
    return text("parity", "none");
}

int DeviceRecord::stopBits() const
{
    return number("stop_bits", 1);
}

QString DeviceRecord::flowControl() const
{
    return text("flow_control", "none");
}

QVariant DeviceRecord::setting(const QString& key) const
{
    const QVariant own = ownSetting(key);
    return own.isNull() || isUserSetting(key) ? g_config.getSetting(key) : own;
}

QVariant DeviceRecord::ownSetting(const QString& key) const
{
    const QJsonValue own = m_object.value(QStringLiteral("converter")).toObject().value(key);
    return own.isUndefined() || own.isNull() ? QVariant() : own.toVariant();
}

// The resolution decides the size of everything cut, and the user sees and
// sets it in the settings; a record that silently replaced it would cut
// every piece too large or too small.
bool DeviceRecord::isUserSetting(const QString& key)
{
    return key == QLatin1String("PlotResolutionX") || key == QLatin1String("PlotResolutionY");
}

int DeviceRecord::number(const char* key, int fallback) const
{
    return m_object.value(QLatin1String(key)).toInt(fallback);
}

QString DeviceRecord::text(const char* key, const char* fallback) const
{
    const QJsonValue value = m_object.value(QLatin1String(key));
    return value.isString() ? value.toString() : QString::fromLatin1(fallback);
}
