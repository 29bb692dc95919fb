#pragma once

#include <QImage>
#include <QString>

#include <functional>

// One save of a design to the online store. The package and the preview go
// into both buckets of the store (DesignUpload), and only when all four
// uploads were stored is the design recorded with the web API. The outcome
// is told in a box without parent, as the dialog that started the save is
// gone by then.
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
        // Called with the name and the address at which the store gives the
        // package back, once the web API has recorded the design, before the
        // outcome is told.
        std::function<void(const QString& name, const QString& address)> stored;
    };

    // Starts the uploads; false with *error set when the files cannot be
    // written, and then nothing is sent.
    static bool start(const Order& order, const QByteArray& package, const QImage& preview, QString* error);

private:
    static void record(const Order& order);
};
