#pragma once

#include <QDir>
#include <QProcess>
#include <QString>

// One of the shared generator's inputs ("paths10k.svg", "paths100k.svg",
// "roll15m.svg", "deep.svg"), generated into the benchmark's data folder on
// first use; never committed.
inline QString benchInput(const QString& name)
{
    const QDir dir(QStringLiteral(ZOCUT_BENCH_DATA_DIR));
    if (!dir.exists(name)) {
        QDir().mkpath(dir.path());
        QProcess::execute(QStringLiteral("python3"), { QStringLiteral(ZOCUT_BENCH_GENERATOR), dir.path() });
    }
    return dir.filePath(name);
}
