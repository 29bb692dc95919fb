#pragma once

#include <QDir>
#include <QProcess>
#include <QString>

// The shared generator's roll of 15 m with 2,000 curved pieces, generated
// into the benchmark's data folder on first use.
inline QString rollPath()
{
    const QDir dir(QStringLiteral(ZOCUT_BENCH_DATA_DIR));
    if (!dir.exists(QStringLiteral("roll15m.svg"))) {
        QDir().mkpath(dir.path());
        QProcess::execute(QStringLiteral("python3"), { QStringLiteral(ZOCUT_BENCH_GENERATOR), dir.path() });
    }
    return dir.filePath(QStringLiteral("roll15m.svg"));
}
