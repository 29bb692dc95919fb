#include "ExtLoadFile.h"

#include "DeviceRecord.h"
#include "ParallelLoop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

#include <mutex>
#include <vector>

// The resource sits in this static library; a program that links it must
// register it before the first use.
static void registerConverterResource()
{
    Q_INIT_RESOURCE(converter);
}

namespace {
struct Option
{
    const char* setting;
    const char* name;
    bool isBool;
};
const Option kOptions[] = { { "PlotResolutionX", "resolutionX", false }, { "PlotResolutionY", "resolutionY", false },
    { "toolOffset", "toolOffset", false }, { "PlotOvercut", "overcut", false }, { "PlotPrecut", "precut", true },
    { "PlotFlat", "flat", false } };
// The job is turned, mirrored and aligned whole before it is cut into frames
// (JobPlacement); a frame turned again on its own would leave its place in
// the job.
const char* const kPlacedOptions[] = { "--rotation=0", "--mirrorX=false", "--mirrorY=false", "--autoAlign=false" };
} // namespace

QStringList ExtLoadFile::converterArguments(const DeviceRecord& device)
{
    QStringList arguments;
    for (const Option& option : kOptions) {
        const QVariant value = device.setting(QLatin1String(option.setting));
        // Numbers go out as the C locale writes them; a setting that is not
        // a number reaches the converter as it is and is refused there.
        bool ok = false;
        const double number = value.toDouble(&ok);
        const QString text = option.isBool ? QString::fromLatin1(value.toBool() ? "true" : "false")
            : ok                           ? QString::number(number, 'g', 15)
                                           : value.toString();
        arguments << QStringLiteral("--%1=%2").arg(QLatin1String(option.name), text);
    }
    for (const char* placed : kPlacedOptions)
        arguments << QLatin1String(placed);
    return arguments;
}

// The copy lives in the job's own folder and goes with it: nothing of the
// converter stays behind in the temporary folder once the job is over.
QString ExtLoadFile::converterProgram(const QTemporaryDir& folder, QString* error)
{
    static std::once_flag registered;
    std::call_once(registered, registerConverterResource);
    const QString target = folder.filePath(QStringLiteral("hpgl.dat"));
    QFile resource(QStringLiteral(":/extensions/hpgl.dat"));
    QSaveFile copy(target);
    if (!folder.isValid() || !resource.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly)
        || copy.write(resource.readAll()) != resource.size() || !copy.commit()
        || !QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        *error = QObject::tr("The HPGL converter cannot be prepared in %1").arg(QDir::tempPath());
        return QString();
    }
    return target;
}

bool ExtLoadFile::convertOne(
    const QString& program, const QString& svgPath, const QStringList& arguments, QByteArray* hpgl, QString* error)
{
    QProcess converter;
    converter.start(program, QStringList(arguments) << svgPath);
    if (!converter.waitForStarted(kTimeoutMs)) {
        *error = converter.errorString();
        return false;
    }
    if (!converter.waitForFinished(kTimeoutMs)) {
        converter.kill();
        converter.waitForFinished();
        *error = QObject::tr("The HPGL converter did not finish");
        return false;
    }
    if (converter.exitStatus() != QProcess::NormalExit || converter.exitCode() != 0) {
        const QString reason = QString::fromLocal8Bit(converter.readAllStandardError()).trimmed();
        *error = reason.isEmpty() ? QObject::tr("The HPGL converter failed") : reason;
        return false;
    }
    *hpgl = converter.readAllStandardOutput();
    return true;
}

bool ExtLoadFile::convertSections(
    const QStringList& sections, const QStringList& arguments, QList<QByteArray>* hpgl, QString* error, int threads)
{
    hpgl->clear();
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/zocut-hpgl-XXXXXX"));
    const QString program = converterProgram(work, error);
    if (program.isEmpty())
        return false;
    const int count = sections.size();
    const auto n = static_cast<size_t>(count);
    std::vector<QString> paths(n);
    for (int i = 0; i < count; ++i) {
        QSaveFile file(work.filePath(QStringLiteral("section%1.svg").arg(i)));
        if (!work.isValid() || !file.open(QIODevice::WriteOnly) || file.write(sections.at(i).toUtf8()) < 0
            || !file.commit()) {
            *error = QObject::tr("The sections cannot be written to %1").arg(QDir::tempPath());
            return false;
        }
        paths[size_t(i)] = file.fileName();
    }
    std::vector<QByteArray> outputs(n);
    std::vector<QString> errors(n);
    ParallelLoop::run(count, threads, [&](int i) {
        const auto at = static_cast<size_t>(i);
        convertOne(program, paths[at], arguments, &outputs[at], &errors[at]);
    });
    for (int i = 0; i < count; ++i) {
        if (!errors[size_t(i)].isEmpty()) {
            *error = QObject::tr("Section %1 was not converted: %2").arg(i + 1).arg(errors[size_t(i)]);
            hpgl->clear();
            return false;
        }
        hpgl->append(outputs[size_t(i)]);
    }
    return true;
}
