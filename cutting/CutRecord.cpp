#include "CutRecord.h"

#include "ApiReply.h"
#include "Deployment.h"
#include "DesignUpload.h"
#include "HttpRequest.h"
#include "PdbPackage.h"

#include <QObject>
#include <QSettings>
#include <QTimer>
#include <QUuid>

namespace {
QString notSaved(const QString& reason)
{
    return QObject::tr("The cut record was not saved: %1").arg(reason);
}
} // namespace

QString CutRecord::areaText(double squareMillimetres)
{
    return QString::number(squareMillimetres / 1e6, 'f', 2);
}

void CutRecord::save(const QString& svgText, const QImage& preview, const QString& name, double squareMillimetres,
    std::function<void(bool saved, const QString& message)> done)
{
    const QString key = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString area = areaText(squareMillimetres);
    const auto uploaded = [key, name, area, done](const QStringList& failures) {
        if (failures.isEmpty())
            record(key, name, area, done);
        else
            done(false, notSaved(failures.join(QLatin1Char('\n'))));
    };
    if (!DesignUpload::start(key, PdbPackage::pack(svgText), preview, uploaded)) {
        // Told from the event loop like every other outcome.
        QTimer::singleShot(0, [done]() { done(false, notSaved(QObject::tr("its files cannot be written"))); });
    }
}

void CutRecord::record(
    const QString& key, const QString& name, const QString& area, const std::function<void(bool, const QString&)>& done)
{
    HttpRequest request(Deployment::apiBase() + QStringLiteral("template/cutlogSave"));
    request.addParam(QStringLiteral("name"), name)
        .addParam(QStringLiteral("url"), DesignUpload::objectName(key, QStringLiteral(".pdb")))
        .addParam(QStringLiteral("image"), DesignUpload::objectName(key, QStringLiteral(".png")))
        .addParam(QStringLiteral("area"), area)
        .setHeader(QStringLiteral("token"), QSettings().value(QStringLiteral("token")).toString())
        .setSuccessHandler([done](const QString& body) {
            const ApiReply reply = ApiReply::parse(body);
            if (!reply.isEnvelope())
                done(false, notSaved(ApiReply::unreadableText()));
            else
                done(reply.isSuccess(), reply.isSuccess() ? QString() : notSaved(reply.msg()));
        })
        .setFailHandler([done](const QString& error, int) { done(false, notSaved(error)); });
    request.post();
}
