#include "DesignSaveRun.h"

#include "ApiReply.h"
#include "Deployment.h"
#include "DesignUpload.h"
#include "HttpRequest.h"
#include "Prompt.h"

#include <QCoreApplication>
#include <QDebug>

namespace {
void showFailure(const QString& reason)
{
    Prompt::warning(nullptr, QCoreApplication::translate("SaveFile", "Failed"), reason);
}
} // namespace

bool DesignSaveRun::start(const Order& order, const QByteArray& package, const QImage& preview, QString* error)
{
    QString packagePath;
    const auto uploaded = [order](const QStringList& failures) {
        if (failures.isEmpty())
            record(order);
        else
            showFailure(failures.join(QLatin1Char('\n')));
    };
    if (!DesignUpload::start(order.key, package, preview, uploaded, &packagePath)) {
        *error = QCoreApplication::translate("SaveFile", "The design could not be prepared for upload.");
        return false;
    }
    if (order.overwrite)
        qDebug().noquote() << packagePath;
    return true;
}

void DesignSaveRun::record(const Order& order)
{
    HttpRequest request(Deployment::apiBase() + QStringLiteral("template/saveNew"));
    request.addParam(QStringLiteral("name"), order.name)
        .addParam(QStringLiteral("url"), DesignUpload::objectName(order.key, QStringLiteral(".pdb")))
        .addParam(QStringLiteral("image"), DesignUpload::objectName(order.key, QStringLiteral(".png")));
    if (order.overwrite)
        request.addParam(QStringLiteral("force"), 1);
    const QString address
        = Deployment::storeDownloadBase() + DesignUpload::objectName(order.key, QStringLiteral(".pdb")).mid(1);
    request.setHeader(QStringLiteral("token"), order.token)
        .setSuccessHandler([stored = order.stored, name = order.name, address](const QString& body) {
            qDebug().noquote() << body;
            const ApiReply reply = ApiReply::parse(body);
            if (!reply.isEnvelope()) {
                showFailure(ApiReply::unreadableText());
            } else if (reply.isSuccess()) {
                if (stored)
                    stored(name, address);
                Prompt::information(nullptr, QCoreApplication::translate("SaveFile", "Success"),
                    QCoreApplication::translate("SaveFile", "Submitted successfully~"));
            } else {
                showFailure(reply.msg().isEmpty()
                        ? QCoreApplication::translate("SaveFile", "The server did not store the design.")
                        : reply.msg());
            }
        })
        .setFailHandler([](const QString& error, int) { showFailure(error); });
    request.post();
}
