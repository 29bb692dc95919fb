#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

// The record of a cut job in the account's crop records: the design's
// package and its preview go into the cloud object store (as
// "allcutorsave/<key>.pdb" and ".png", into the buckets "morlandatah" at the
// first upload endpoint and "morlandataf" at the second), then the web API
// keeps the record ("template/cutlogSave": name, url, image, area). The
// record is only written once every upload is in, so that it never points
// at a package that is not there.
class CutRecord
{
public:
    // Square millimetres in, square metres in the record.
    static QString areaText(double squareMillimetres);

    // done runs once, on the GUI thread: saved, or the reason why not.
    static void save(const QString& svgText, const QImage& preview, const QString& name, double squareMillimetres,
        std::function<void(bool saved, const QString& message)> done);

private:
    struct Job;
    static void upload(const std::shared_ptr<Job>& job);
    static void saveRecord(const std::shared_ptr<Job>& job);
};
