// Loading SVG files: the document's reader against Qt's SVG renderer and
// Qt's XML stream reader on the same files, interleaved in one run. Each load
// runs in a process of its own, so that its peak memory is its own.
//
//   bench_svgReader                 the comparison (a QtTest program)
//   bench_svgReader --measure READER FILE
//                                   one load; prints milliseconds and peak
//                                   resident kilobytes
//
// The inputs are generated into the build folder on first use: the shared
// generator's files of 10,000 and 100,000 paths (the larger about 10 MB,
// both with a style sheet), the first 1,000 paths of the smaller one, the
// larger one's paths three times over (300,000 paths), and a drawing holding
// one embedded PNG image of about 10 MB.
//
// The reader "document+save" loads and then saves as the program does, into
// a file beside the input: its peak is that of load and save together.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

#include "BenchData.h"
#include "CSVGDocument.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const QStringList kReaders { QStringLiteral("document"), QStringLiteral("QSvgRenderer"),
    QStringLiteral("QXmlStreamReader"), QStringLiteral("bytes"), QStringLiteral("document+save") };
constexpr int kRounds = 5;

QString dataDir()
{
    return QStringLiteral(ZOCUT_BENCH_DATA_DIR);
}

// What each reader built stays alive until the time is taken: loading is
// measured, not tearing down.
struct Loaded
{
    std::unique_ptr<CSVGDocument> document;
    std::unique_ptr<QSvgRenderer> renderer;
    QByteArray bytes;
    bool ok = false;
};

Loaded load(const QString& reader, const QString& path)
{
    Loaded loaded;
    if (reader.startsWith(QLatin1String("document"))) {
        loaded.document = std::make_unique<CSVGDocument>();
        loaded.ok = loaded.document->openFile(path.toStdWString());
        if (reader.endsWith(QLatin1String("+save")))
            loaded.ok = loaded.ok && loaded.document->saveFile(path + QStringLiteral(".saved.svg"));
        return loaded;
    }
    if (reader == QLatin1String("QSvgRenderer")) {
        loaded.renderer = std::make_unique<QSvgRenderer>(path);
        loaded.ok = loaded.renderer->isValid();
        return loaded;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return loaded;
    loaded.bytes = file.readAll();
    if (reader == QLatin1String("bytes")) {
        loaded.ok = !loaded.bytes.isEmpty();
        return loaded;
    }
    QXmlStreamReader xml(loaded.bytes);
    qsizetype values = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            for (const QXmlStreamAttribute& attribute : xml.attributes())
                values += attribute.value().size();
        }
    }
    loaded.ok = !xml.hasError() && values > 0;
    return loaded;
}

int measure(const QString& reader, const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    const Loaded loaded = load(reader, path);
    const double ms = timer.nsecsElapsed() / 1e6;
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f %ld\n", ms, usage.ru_maxrss);
    std::fflush(stdout);
    // The teardown is not measured; the process ends without it.
    _exit(loaded.ok ? 0 : 1);
}

// The first count paths of the generated file of 10,000.
void trimPaths(const QString& from, const QString& to, int count)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return;
    int paths = 0;
    while (!in.atEnd()) {
        const QByteArray line = in.readLine();
        if (line.startsWith("<path") && ++paths > count)
            continue;
        out.write(line);
    }
}

// The paths of the file of 100,000 three times over.
void triplePaths(const QString& from, const QString& to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return;
    QByteArray head;
    QByteArray paths;
    while (!in.atEnd()) {
        const QByteArray line = in.readLine();
        if (line.startsWith("<path"))
            paths += line;
        else if (!line.startsWith("</svg"))
            head += line;
    }
    out.write(head + paths + paths + paths + "</svg>\n");
}

// Random pixels do not compress: 1900 x 1300 RGB is about 7.4 MB of PNG,
// 9.9 MB in Base64.
void writeImageDrawing(const QString& to)
{
    QImage image(1900, 1300, QImage::Format_RGB888);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.bytesPerLine(); ++x)
            line[x] = uchar(random.bounded(256));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG", 0);
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write("<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
              "width=\"1900\" height=\"1300\" viewBox=\"0 0 1900 1300\">\n<image x=\"0\" y=\"0\" width=\"1900\" "
              "height=\"1300\" xlink:href=\"data:image/png;base64,");
    out.write(png.toBase64());
    out.write("\"/>\n</svg>\n");
}

void generateInputs()
{
    benchInput(QStringLiteral("paths100k.svg"));
    const QDir dir(dataDir());
    if (!dir.exists(QStringLiteral("paths1k.svg")))
        trimPaths(dir.filePath(QStringLiteral("paths10k.svg")), dir.filePath(QStringLiteral("paths1k.svg")), 1000);
    if (!dir.exists(QStringLiteral("paths300k.svg")))
        triplePaths(dir.filePath(QStringLiteral("paths100k.svg")), dir.filePath(QStringLiteral("paths300k.svg")));
    if (!dir.exists(QStringLiteral("image10mb.svg")))
        writeImageDrawing(dir.filePath(QStringLiteral("image10mb.svg")));
}

struct Sample
{
    double ms;
    double kb;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

class bench_svgReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void compare_data();
    void compare();
};

void bench_svgReader::initTestCase()
{
    generateInputs();
}

void bench_svgReader::compare_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("elements");
    QTest::newRow("1k paths") << "paths1k.svg" << 1000;
    QTest::newRow("10k paths") << "paths10k.svg" << 10000;
    QTest::newRow("100k paths") << "paths100k.svg" << 100000;
    QTest::newRow("300k paths") << "paths300k.svg" << 300000;
    QTest::newRow("10 MB image") << "image10mb.svg" << 1;
}

// Interleaved rounds; the table gives the median time and the peak memory
// above a process that only reads the file's bytes, and the ratios of the
// document's reader to each peer.
void bench_svgReader::compare()
{
    QFETCH(QString, file);
    QFETCH(int, elements);
    const QString path = QDir(dataDir()).filePath(file);
    QVERIFY(QFile::exists(path));
    std::map<QString, std::vector<Sample>> samples;
    for (int round = 0; round < kRounds; ++round) {
        for (const QString& reader : kReaders) {
            QProcess process;
            process.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--measure"), reader, path });
            QVERIFY(process.waitForFinished(600000));
            QCOMPARE(process.exitCode(), 0);
            const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
            QCOMPARE(fields.size(), 2);
            samples[reader].push_back({ fields[0].toDouble(), fields[1].toDouble() });
        }
    }
    std::map<QString, double> ms;
    std::map<QString, double> kb;
    for (const auto& [reader, list] : samples) {
        std::vector<double> times;
        std::vector<double> peaks;
        for (const Sample& sample : list) {
            times.push_back(sample.ms);
            peaks.push_back(sample.kb);
        }
        ms[reader] = median(times);
        kb[reader] = median(peaks);
    }
    const double base = kb[QStringLiteral("bytes")];
    for (const QString& reader : kReaders) {
        if (reader == QLatin1String("bytes"))
            continue;
        const double extra = std::max(1.0, kb[reader] - base);
        qInfo("%-18s %9.1f ms %8.2f us/element %9.0f KB above bytes", qPrintable(reader), ms[reader],
            1000 * ms[reader] / elements, extra);
    }
    const auto ratio = [&](const QString& peer) {
        qInfo("document / %-16s time %.2f  memory %.2f", qPrintable(peer), ms[QStringLiteral("document")] / ms[peer],
            std::max(1.0, kb[QStringLiteral("document")] - base) / std::max(1.0, kb[peer] - base));
    };
    ratio(QStringLiteral("QSvgRenderer"));
    ratio(QStringLiteral("QXmlStreamReader"));
    // Whole peaks, as the memory goals count them.
    qInfo("peak of the whole process: document %.0f MB, document+save %.0f MB, QSvgRenderer %.0f MB; "
          "document / QSvgRenderer %.2f, document+save / document %.2f",
        kb[QStringLiteral("document")] / 1024, kb[QStringLiteral("document+save")] / 1024,
        kb[QStringLiteral("QSvgRenderer")] / 1024, kb[QStringLiteral("document")] / kb[QStringLiteral("QSvgRenderer")],
        kb[QStringLiteral("document+save")] / kb[QStringLiteral("document")]);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
    QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    if (argc == 4 && QByteArray(argv[1]) == "--measure")
        return measure(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    bench_svgReader bench;
    return QTest::qExec(&bench, argc, argv);
}

#include "bench_svgReader.moc"
