#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class DeviceRecord;
class QTemporaryDir;

// Runs the converter that the program carries as ":/extensions/hpgl.dat":
// copied for each job into a temporary folder of the job's own, then
// started once per section, with the section written to a file of its own
// there. Sections convert in parallel; the folder goes with the job.
class ExtLoadFile
{
public:
    // A converter that neither finishes nor fails is stopped after this.
    static const int kTimeoutMs = 120000;

    // The converter's options from the plotter settings (DeviceRecord::setting):
    // "--resolutionX=1016" and so on; rotation, mirroring and alignment go
    // out as none, since the job comes placed.
    static QStringList converterArguments(const DeviceRecord& device);

    // One HPGL text per section, in order. False with a message naming the
    // first section that failed; threads 0 uses every hardware thread.
    static bool convertSections(const QStringList& sections, const QStringList& arguments, QList<QByteArray>* hpgl,
        QString* error, int threads = 0);

private:
    static QString converterProgram(const QTemporaryDir& folder, QString* error);
    static bool convertOne(
        const QString& program, const QString& svgPath, const QStringList& arguments, QByteArray* hpgl, QString* error);
};
