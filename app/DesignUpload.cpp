#include "DesignUpload.h"

#include "Deployment.h"
#include "HttpRequest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTemporaryDir>

namespace {
const QString kKeyPrefix = QStringLiteral("allcutorsave/");

// One upload under way: its folder and the network manager that sends its
// four files. It belongs to the application object, so that a program
// that ends while the store has not answered takes the folder along.
class Run : public QObject
{
public:
    Run()
        : QObject(QCoreApplication::instance())
        , manager(new QNetworkAccessManager(this))
    {
    }

    QTemporaryDir folder { QDir::tempPath() + QStringLiteral("/zocut-save-XXXXXX") };
    QNetworkAccessManager* manager;
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
        const auto report = std::move(done);
        const QStringList outcome = failures;
        deleteLater();
        report(outcome);
    }
};

bool writeFiles(const QTemporaryDir& folder, const QByteArray& package, const QImage& preview)
{
    QFile packageFile(folder.filePath(QStringLiteral("test.pdb")));
    return folder.isValid() && packageFile.open(QIODevice::WriteOnly) && packageFile.write(package) == package.size()
        && packageFile.flush() && preview.save(folder.filePath(QStringLiteral("test.png")), "PNG");
}

// A run that is gone hears nothing more: its replies went with its manager,
// and only a file that could not be opened still reports from the queue.
void upload(Run* run, int endpoint, const QString& bucket, const QString& objectName)
{
    HttpRequest request(Deployment::uploadEndpoint(endpoint));
    const QPointer<Run> guarded(run);
    request.setManager(run->manager)
        .setSuccessHandler([guarded](const QString&) {
            if (guarded)
                guarded->finished(QString());
        })
        .setFailHandler([guarded](const QString& error, int) {
            if (guarded)
                guarded->finished(error);
        });
    request.uploadTempFileFrom(run->folder.path(), objectName, bucket, kKeyPrefix);
}
} // namespace

QString DesignUpload::objectName(const QString& key, const QString& suffix)
{
    return QLatin1Char('/') + kKeyPrefix + key + suffix;
}

QObject* DesignUpload::start(const QString& key, const QByteArray& package, const QImage& preview,
    std::function<void(const QStringList& failures)> done, QString* packagePath)
{
    auto* run = new Run;
    if (!writeFiles(run->folder, package, preview)) {
        delete run;
        return nullptr;
    }
    if (packagePath)
        *packagePath = run->folder.filePath(QStringLiteral("test.pdb"));
    run->done = std::move(done);
    run->pending = 4;
    for (const auto& [endpoint, bucket] :
        { qMakePair(1, QStringLiteral("morlandatah")), qMakePair(2, QStringLiteral("morlandataf")) }) {
        upload(run, endpoint, bucket, key + QStringLiteral(".pdb"));
        upload(run, endpoint, bucket, key + QStringLiteral(".png"));
    }
    return run;
}
