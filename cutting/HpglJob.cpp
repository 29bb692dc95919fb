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
    return job + closing(device);
}

QByteArray HpglJob::closing(const DeviceRecord& device)
{
    return "PU;" + device.endCode();
}

QByteArray HpglJob::stopEnding(const QByteArray& job, qint64 sent, const QByteArray& closing)
{
    if (sent <= 0 || sent >= job.size())
        return QByteArray();
    if (job.endsWith(closing) && sent >= job.size() - closing.size())
        return job.mid(int(sent));
    const int start = job.lastIndexOf(';', int(sent) - 1) + 1;
    if (start == sent)
        return closing;
    const int end = job.mid(start, 2) == "PD" ? pointEnd(job, start + 2, int(sent)) : job.indexOf(';', int(sent));
    if (end < 0)
        return job.mid(int(sent));
    return job.mid(int(sent), end - int(sent)) + ';' + closing;
}

// The first end of a coordinate pair at or after from, in the list of
// numbers that begins at first: a "," or ";" after an even count of
// numbers. -1 when the command ends without one.
int HpglJob::pointEnd(const QByteArray& job, int first, int from)
{
    int numbers = 1;
    for (int i = first; i < job.size(); ++i) {
        const char c = job.at(i);
        if (c != ',' && c != ';')
            continue;
        if (i >= from && numbers % 2 == 0)
            return i;
        if (c == ';')
            return -1;
        ++numbers;
    }
    return -1;
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
