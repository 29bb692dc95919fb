#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class DeviceRecord;

// A cut job for one device: the sections' SVG texts converted to HPGL and
// framed for the device. The frame: the device's start code, "IN;", the pen
// ("SP"), the speed ("VS") and force ("FS") where set, the sections with a
// frame advance ("FR;") between them, a pen lift and the device's end code.
class HpglJob
{
public:
    static QByteArray frame(const QList<QByteArray>& sections, const DeviceRecord& device);
    // How every job for the device ends: a pen lift and its end code.
    static QByteArray closing(const DeviceRecord& device);
    // What a job stopped after its first sent bytes still needs so that the
    // plotter is left on a whole command with the knife up: the command
    // under way up to a safe point (a pen-down move list to the end of its
    // current point), its ";", then the closing. Nothing when nothing or
    // everything went out; the rest of the job once its closing has begun.
    static QByteArray stopEnding(const QByteArray& job, qint64 sent, const QByteArray& closing);
    // What the cut dialog sends. False with a message when a section text is
    // empty (its pieces were refused) or does not convert.
    static bool build(const QStringList& sectionSvgTexts, const DeviceRecord& device, QByteArray* hpgl, QString* error,
        int threads = 0);

private:
    static int pointEnd(const QByteArray& job, int first, int from);
};
