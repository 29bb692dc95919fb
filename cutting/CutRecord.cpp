#include "CutRecord.h"

#include "ApiReply.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "PdbPackage.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <QSettings>
#include <QUuid>

namespace {
const char* const kPrefix = "allcutorsave/";
const struct
{
    const char* bucket;
    int endpoint;
} kStores[] = { { "morlandatah", 1 }, { "morlandataf", 2 } };

bool writeTemporary(const QString& name, const QByteArray& bytes)
{
    QSaveFile file(QDir::tempPath() + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
} // namespace

struct CutRecord::Job
{
    QString key;
    QString name;
    QString area;
    int pending = 0;
    QString failure;
    std::function<void(bool, const QString&)> done;
};

QString CutRecord::areaText(double squareMillimetres)
{
    return QString::number(squareMillimetres / 1e6, 'f', 2);
}

void CutRecord::save(const QString& svgText, const QImage& preview, const QString& name, double squareMillimetres,
    std::function<void(bool saved, const QString& message)> done)
{
    auto job = std::make_shared<Job>();
    job->key = QUuid::createUuid().toString(QUuid::WithoutBraces);
    job->name = name;
    job->area = areaText(squareMillimetres);
    job->done = std::move(done);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        preview.save(&buffer, "PNG");
    }
    if (png.isEmpty() || !writeTemporary(QStringLiteral("test.pdb"), PdbPackage::pack(svgText))
        || !writeTemporary(QStringLiteral("test.png"), png)) {
        job->done(false, QObject::tr("The cut record cannot be written to %1").arg(QDir::tempPath()));
        return;
    }
    upload(job);
}

void CutRecord::upload(const std::shared_ptr<Job>& job)
{
    for (const auto& store : kStores) {
        for (const char* suffix : { ".pdb", ".png" }) {
            ++job->pending;
            HttpRequest request(Deployment::uploadEndpoint(store.endpoint));
            request
                .setSuccessHandler([job](const QString&) {
                    if (--job->pending == 0)
                        saveRecord(job);
                })
                .setFailHandler([job](const QString& error, int) {
                    job->failure = error;
                    if (--job->pending == 0)
                        saveRecord(job);
                });
            request.uploadTempFile(
                job->key + QLatin1String(suffix), QLatin1String(store.bucket), QLatin1String(kPrefix));
        }
    }
}

void CutRecord::saveRecord(const std::shared_ptr<Job>& job)
{
    if (!job->failure.isEmpty()) {
        job->done(false, QObject::tr("The cut record was not saved: %1").arg(job->failure));
        return;
    }
    const QString object = QLatin1Char('/') + QLatin1String(kPrefix) + job->key;
    HttpRequest request(Deployment::apiBase() + QStringLiteral("template/cutlogSave"));
    request.addParam(QStringLiteral("name"), job->name)
        .addParam(QStringLiteral("url"), object + QStringLiteral(".pdb"))
        .addParam(QStringLiteral("image"), object + QStringLiteral(".png"))
        .addParam(QStringLiteral("area"), job->area)
        .setHeader(QStringLiteral("token"), QSettings().value(QStringLiteral("token")).toString())
        .setSuccessHandler([job](const QString& body) {
            const ApiReply reply = ApiReply::parse(body);
            if (reply.isSuccess())
                job->done(true, QString());
            else
                job->done(false, QObject::tr("The cut record was not saved: %1").arg(reply.msg()));
        })
        .setFailHandler([job](const QString& error, int) {
            job->done(false, QObject::tr("The cut record was not saved: %1").arg(error));
        });
    request.post();
}
