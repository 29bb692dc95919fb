#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// One save of a design to the online store. The package and the preview are
// written into a folder that belongs to this save alone, uploaded into both
// buckets of the store, and only when all four uploads were stored is the
// design recorded with the web API. The outcome is told in a box without
// parent, as the dialog that started the save is gone by then.
class DesignSaveRun
{
public:
    struct Order
    {
        QString name;
        QString key;
        // Replaces a design of the same name.
        bool overwrite = false;
        QString token;
    };

    // Starts the uploads; false with *error set when the files cannot be
    // written, and then nothing is sent.
    static bool start(const Order& order, const QByteArray& package, const QImage& preview, QString* error);

private:
    explicit DesignSaveRun(const Order& order);
    bool writeFiles(const QByteArray& package, const QImage& preview, QString* error);
    static void upload(
        const std::shared_ptr<DesignSaveRun>& run, int endpoint, const QString& bucket, const QString& objectName);
    void uploadFinished(const QString& failure);
    void record() const;

    Order m_order;
    QTemporaryDir m_folder;
    int m_pending = 0;
    QStringList m_failures;
};
