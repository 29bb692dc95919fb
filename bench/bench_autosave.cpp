#include "BenchCompare.h"
#include "BenchData.h"
#include "BenchMain.h"
#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "CSVGView.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

// One autosave tick of the 100 k-path document (text, cipher, atomic save)
// against saving the same enciphered bytes with QSaveFile alone.
class bench_autosave : public QObject
{
    Q_OBJECT
private slots:
    void tick();
};

void bench_autosave::tick()
{
    QTemporaryDir data;
    CSVGView view(nullptr);
    QVERIFY(view.openFile(benchInput(QStringLiteral("paths100k.svg")).toStdWString()));
    view.setAutosaveName(QStringLiteral("bench"));
    const QByteArray bytes = BlowfishFileCipher(g_config.getCipherKey())
                                 .encrypt(QString::fromStdWString(view.getDocument()->toSvgText()).toUtf8());
    bool written = false;
    compareInterleaved(
        "autosave tick", 5, [&]() { written = view.writeAutosave(); }, "QSaveFile of the same bytes",
        [&]() {
            QSaveFile file(data.filePath(QStringLiteral("plain")));
            file.open(QIODevice::WriteOnly);
            file.write(bytes);
            file.commit();
        });
    QVERIFY(written);
    // Where the tick's time goes.
    QByteArray text;
    compareInterleaved(
        "document text", 3, [&]() { text = QString::fromStdWString(view.getDocument()->toSvgText()).toUtf8(); },
        "cipher of it", [&]() { BlowfishFileCipher(g_config.getCipherKey()).encrypt(text); });
    QFile file(CSVGView::autosaveFilePath(QStringLiteral("bench")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

ZOCUT_BENCH_MAIN_WITH(QApplication, bench_autosave)
#include "bench_autosave.moc"
