#pragma once

#include "DeviceRecord.h"

#include <QList>
#include <QString>

#include <functional>

// The account's cutting devices, as the web API lists them
// ("user/printer_lists").
class PrinterList
{
public:
    using Done = std::function<void(bool listed, const QList<DeviceRecord>& devices, const QString& message)>;

    // done runs once, from the event loop. A reply that is not a list of
    // device objects is a failure; entries that are not objects are skipped.
    static void fetch(Done done);
    static bool read(const QString& body, QList<DeviceRecord>* devices, QString* message);
};
