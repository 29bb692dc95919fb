#pragma once

#include <QImage>
#include <QString>

#include <functional>

// The record of a cut job in the account's crop records: the design's
// package and preview go into the cloud object store (DesignUpload), then
// the web API keeps the record ("template/cutlogSave" with "name", "url",
// "image" and "area"). The record is only written once every upload is in,
// so that it never points at a package that is not there.
class CutRecord
{
public:
    // Square millimetres in, square metres in the record.
    static QString areaText(double squareMillimetres);

    // done runs once, from the event loop: saved, or the reason why not.
    static void save(const QString& svgText, const QImage& preview, const QString& name, double squareMillimetres,
        std::function<void(bool saved, const QString& message)> done);

private:
    static void record(const QString& key, const QString& name, const QString& area,
        const std::function<void(bool, const QString&)>& done);
};
