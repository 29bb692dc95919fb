#include "DesignUpload.h"

#include "Deployment.h"
#include "HttpRequest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {
const QString kKeyPrefix = QStringLiteral("allcutorsave/");

struct Run
{
    QTemporaryDir folder { QDir::tempPath() + QStringLiteral("/zocut-save-XXXXXX") };
    int pending = 0;
    QStringList failures;
    std::function<void(const QStringList&)> done;

    void finished(const QString& failure)
    {
        if (!failure.isNull() && !failures.contains(failure))
            failures.append(failure);
        if (--pending > 0)
            return;
        folder.remove();
        done(failures);
    }
};

bool writeFiles(const QTemporaryDir& folder, const QByteArray& package, const QImage& preview)
{
    QFile packageFile(folder.filePath(QStringLiteral("test.pdb")));
    return folder.isValid() && packageFile.open(QIODevice::WriteOnly) && packageFile.write(package) == package.size()
        && packageFile.flush() && preview.save(folder.filePath(QStringLiteral("test.png")), "PNG");
}

void upload(const std::shared_ptr<Run>& run, int endpoint, const QString& bucket, const QString& objectName)
{
    HttpRequest request(Deployment::uploadEndpoint(endpoint));
    request.setSuccessHandler([run](const QString&) { run->finished(QString()); })
        .setFailHandler([run](const QString& error, int) { run->finished(error); });
    request.uploadTempFileFrom(run->folder.path(), objectName, bucket, kKeyPrefix);
}
} // namespace

QString DesignUpload::objectName(const QString& key, const QString& suffix)
{
    return QLatin1Char('/') + kKeyPrefix + key + suffix;
}

bool DesignUpload::start(const QString& key, const QByteArray& package, const QImage& preview,
    std::function<void(const QStringList& failures)> done, QString* packagePath)
{
    auto run = std::make_shared<Run>();
    if (!writeFiles(run->folder, package, preview))
        return false;
    if (packagePath)
        *packagePath = run->folder.filePath(QStringLiteral("test.pdb"));
    run->done = std::move(done);
    run->pending = 4;
    for (const auto& [endpoint, bucket] :
        { qMakePair(1, QStringLiteral("morlandatah")), qMakePair(2, QStringLiteral("morlandataf")) }) {
        upload(run, endpoint, bucket, key + QStringLiteral(".pdb"));
        upload(run, endpoint, bucket, key + QStringLiteral(".png"));
    }
    return true;
}
