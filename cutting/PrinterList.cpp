#include "PrinterList.h"

#include "ApiReply.h"
#include "Deployment.h"
#include "HttpRequest.h"

#include <QJsonArray>
#include <QObject>
#include <QSettings>

void PrinterList::fetch(Done done)
{
    HttpRequest request(Deployment::apiBase() + QStringLiteral("user/printer_lists"));
    request.setHeader(QStringLiteral("token"), QSettings().value(QStringLiteral("token")).toString())
        .setSuccessHandler([done](const QString& body) {
            QList<DeviceRecord> devices;
            QString message;
            const bool listed = read(body, &devices, &message);
            done(listed, devices, message);
        })
        .setFailHandler([done](const QString& error, int) { done(false, {}, error); });
    request.post();
}

bool PrinterList::read(const QString& body, QList<DeviceRecord>* devices, QString* message)
{
    const ApiReply reply = ApiReply::parse(body);
    if (!reply.isEnvelope()) {
        *message = ApiReply::unreadableText();
        return false;
    }
    if (!reply.isSuccess()) {
        *message = reply.msg();
        return false;
    }
    if (!reply.data().isArray()) {
        *message = QObject::tr("The device list is not readable");
        return false;
    }
    for (const QJsonValue& entry : reply.data().toArray()) {
        if (entry.isObject())
            devices->append(DeviceRecord(entry.toObject()));
    }
    return true;
}
