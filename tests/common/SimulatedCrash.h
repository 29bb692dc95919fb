#pragma once

#include <QDir>
#include <QFile>
#include <QMap>

#include <memory>

// What a killed program leaves in a folder: its windows never close, so the
// files stay as its last writes left them.
template <typename Window> void simulateCrash(std::unique_ptr<Window>& window, const QString& folder)
{
    QMap<QString, QByteArray> left;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            left.insert(name, file.readAll());
    }
    window.reset();
    for (auto it = left.cbegin(); it != left.cend(); ++it) {
        QFile file(dir.filePath(it.key()));
        if (file.open(QIODevice::WriteOnly))
            file.write(it.value());
    }
}
