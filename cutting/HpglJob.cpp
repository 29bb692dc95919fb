#include "HpglJob.h"

#include "DeviceRecord.h"
#include "ExtLoadFile.h"

#include <QObject>

#include <utility>

namespace {
// Zero leaves the plotter's own speed and force.
const std::pair<const char*, const char*> kRates[] = { { "PlotSpeed", "VS" }, { "PlotForce", "FS" } };

QByteArray command(const char* name, const QVariant& value)
{
    return name + QByteArray::number(value.toDouble()) + ';';
}
} // namespace

QByteArray HpglJob::frame(const QList<QByteArray>& sections, const DeviceRecord& device)
{
    QByteArray job = device.startCode() + "IN;" + command("SP", device.setting(QStringLiteral("PlotPenNum")));
    for (const auto& rate : kRates) {
        const QVariant value = device.setting(QLatin1String(rate.first));
        if (value.toDouble() > 0)
            job += command(rate.second, value);
    }
    for (int i = 0; i < sections.size(); ++i)
        job += (i > 0 ? "PU;FR;" : "") + sections.at(i);
    return job + "PU;" + device.endCode();
}

bool HpglJob::build(
    const QStringList& sectionSvgTexts, const DeviceRecord& device, QByteArray* hpgl, QString* error, int threads)
{
    hpgl->clear();
    if (sectionSvgTexts.isEmpty()) {
        *error = QObject::tr("Nothing to cut");
        return false;
    }
    for (int i = 0; i < sectionSvgTexts.size(); ++i) {
        if (sectionSvgTexts.at(i).trimmed().isEmpty()) {
            *error = QObject::tr("Section %1 could not be prepared").arg(i + 1);
            return false;
        }
    }
    QList<QByteArray> sections;
    if (!ExtLoadFile::convertSections(
            sectionSvgTexts, ExtLoadFile::converterArguments(device), &sections, error, threads))
        return false;
    *hpgl = frame(sections, device);
    return true;
}
