#include "DesignSaveRun.h"

#include "ApiReply.h"
#include "Deployment.h"
#include "HttpRequest.h"
#include "Prompt.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>

namespace {
const QString kKeyPrefix = QStringLiteral("allcutorsave/");

QString text(const char* source)
{
    return QCoreApplication::translate("SaveFile", source);
}

void showFailure(const QString& reason)
{
    Prompt::warning(nullptr, text("Failed"), reason);
}
} // namespace

DesignSaveRun::DesignSaveRun(const Order& order)
    : m_order(order)
    , m_folder(QDir::tempPath() + QStringLiteral("/zocut-save-XXXXXX"))
{
}

bool DesignSaveRun::start(const Order& order, const QByteArray& package, const QImage& preview, QString* error)
{
    std::shared_ptr<DesignSaveRun> run(new DesignSaveRun(order));
    if (!run->writeFiles(package, preview, error))
        return false;
    run->m_pending = 4;
    for (const auto& [endpoint, bucket] :
        { qMakePair(1, QStringLiteral("morlandatah")), qMakePair(2, QStringLiteral("morlandataf")) }) {
        upload(run, endpoint, bucket, order.key + QStringLiteral(".pdb"));
        upload(run, endpoint, bucket, order.key + QStringLiteral(".png"));
    }
    return true;
}

bool DesignSaveRun::writeFiles(const QByteArray& package, const QImage& preview, QString* error)
{
    QFile packageFile(m_folder.filePath(QStringLiteral("test.pdb")));
    const bool written = m_folder.isValid() && packageFile.open(QIODevice::WriteOnly)
        && packageFile.write(package) == package.size() && packageFile.flush()
        && preview.save(m_folder.filePath(QStringLiteral("test.png")), "PNG");
    if (!written)
        *error = text("The design could not be prepared for upload.");
    else if (m_order.overwrite)
        qDebug().noquote() << packageFile.fileName();
    return written;
}

void DesignSaveRun::upload(
    const std::shared_ptr<DesignSaveRun>& run, int endpoint, const QString& bucket, const QString& objectName)
{
    HttpRequest request(Deployment::uploadEndpoint(endpoint));
    request.setSuccessHandler([run](const QString&) { run->uploadFinished(QString()); })
        .setFailHandler([run](const QString& error, int) { run->uploadFinished(error); });
    request.uploadTempFileFrom(run->m_folder.path(), objectName, bucket, kKeyPrefix);
}

void DesignSaveRun::uploadFinished(const QString& failure)
{
    if (!failure.isNull() && !m_failures.contains(failure))
        m_failures.append(failure);
    if (--m_pending > 0)
        return;
    m_folder.remove();
    if (m_failures.isEmpty())
        record();
    else
        showFailure(m_failures.join(QLatin1Char('\n')));
}

void DesignSaveRun::record() const
{
    HttpRequest request(Deployment::apiBase() + QStringLiteral("template/saveNew"));
    request.addParam(QStringLiteral("name"), m_order.name)
        .addParam(QStringLiteral("url"), QLatin1Char('/') + kKeyPrefix + m_order.key + QStringLiteral(".pdb"))
        .addParam(QStringLiteral("image"), QLatin1Char('/') + kKeyPrefix + m_order.key + QStringLiteral(".png"));
    if (m_order.overwrite)
        request.addParam(QStringLiteral("force"), 1);
    request.setHeader(QStringLiteral("token"), m_order.token)
        .setSuccessHandler([](const QString& body) {
            qDebug().noquote() << body;
            const ApiReply reply = ApiReply::parse(body);
            if (!reply.isEnvelope())
                showFailure(ApiReply::unreadableText());
            else if (reply.isSuccess())
                Prompt::information(nullptr, text("Success"), text("Submitted successfully~"));
            else
                showFailure(reply.msg().isEmpty() ? text("The server did not store the design.") : reply.msg());
        })
        .setFailHandler([](const QString& error, int) { showFailure(error); });
    request.post();
}
