#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class DeviceRecord;

// A cut job for one device: the sections' SVG texts converted to HPGL and
// framed for the device. The frame: the device's start code, "IN;", the pen
// ("SP"), the speed ("VS") and force ("FS") where set, the sections with a
// frame advance ("FR;") between them, a pen lift and the device's end code.
class HpglJob
{
public:
    static QByteArray frame(const QList<QByteArray>& sections, const DeviceRecord& device);
    // What the cut dialog sends. False with a message when a section text is
    // empty (its pieces were refused) or does not convert.
    static bool build(const QStringList& sectionSvgTexts, const DeviceRecord& device, QByteArray* hpgl, QString* error,
        int threads = 0);
};
