#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// Puts a design into the cloud object store where the web API's records find
// it: the package as "allcutorsave/<key>.pdb" and the preview as
// "allcutorsave/<key>.png", each into the bucket "morlandatah" at the first
// upload endpoint and "morlandataf" at the second. The two files are written
// first into a folder that belongs to this upload alone, so that no other
// save can change them while they go up; the folder goes when the upload
// ends, or with the upload when it is deleted.
class DesignUpload
{
public:
    // How a web API record names an object: "/allcutorsave/" + key + suffix.
    static QString objectName(const QString& key, const QString& suffix);

    // Starts the four uploads; done runs once, from the event loop, with the
    // distinct failures (none when all four were stored). Returns the upload
    // under way, an object of the application object's that deletes itself
    // once done has run; deleting it before stops the uploads without a
    // report, as the application's end does. Null when the files cannot be
    // written, and then nothing is sent. packagePath, when given, learns
    // where the package was written.
    static QObject* start(const QString& key, const QByteArray& package, const QImage& preview,
        std::function<void(const QStringList& failures)> done, QString* packagePath = nullptr);
};
