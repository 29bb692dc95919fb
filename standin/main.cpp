// zocut-standin: serves the program's online services on 127.0.0.1 for
// local runs. Prints its address and the environment that points the
// program at it, then serves until it is interrupted.

#include "BackgroundRemovalServer.h"
#include "NestingStandInServer.h"
#include "StandInServer.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char** argv)
{
    // Previews are painted into images; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zocut-standin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local stand-in for the online services of ZoCut."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0: any free port)."),
        QStringLiteral("port"), QStringLiteral("8765"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Folder that keeps uploads and settings."),
        QStringLiteral("folder"),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/zocut-standin"));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Print every request."));
    // The ports that the default settings "NestingServer" and "ImageServer" name.
    const QCommandLineOption nestingPort(QStringLiteral("nesting-port"),
        QStringLiteral("Port of the nesting server on 127.0.0.1 (0: any free port)."), QStringLiteral("port"),
        QStringLiteral("9099"));
    const QCommandLineOption imagePort(QStringLiteral("image-port"),
        QStringLiteral("Port of the background-removal server on 127.0.0.1 (0: any free port)."),
        QStringLiteral("port"), QStringLiteral("9101"));
    parser.addOptions({ port, data, verbose, nestingPort, imagePort });
    parser.process(application);

    const QString folder = QDir(parser.value(data)).absolutePath();
    QDir().mkpath(folder);
    standin::StandInServer server(folder);
    server.setVerbose(parser.isSet(verbose));
    if (!server.start(parser.value(port).toInt())) {
        std::fprintf(stderr, "Cannot listen on 127.0.0.1:%s\n", qPrintable(parser.value(port)));
        return 1;
    }
    // Without these two the web API still serves; the program then reports
    // their absence where it needs them.
    standin::NestingStandInServer nesting;
    standin::BackgroundRemovalServer images;
    const bool nestingUp = nesting.start(parser.value(nestingPort).toInt());
    const bool imagesUp = images.start(parser.value(imagePort).toInt());
    std::printf("%s\n", qPrintable(server.baseUrl()));
    if (nestingUp)
        std::printf("# nesting server: 127.0.0.1:%d\n", nesting.port());
    else
        std::fprintf(stderr, "Cannot listen on 127.0.0.1:%s for nesting\n", qPrintable(parser.value(nestingPort)));
    if (imagesUp)
        std::printf("# background removal: 127.0.0.1:%d\n", images.port());
    else
        std::fprintf(
            stderr, "Cannot listen on 127.0.0.1:%s for background removal\n", qPrintable(parser.value(imagePort)));
    for (const auto& variable : server.environment())
        std::printf("export %s=%s\n", variable.first.constData(), qPrintable(variable.second));
    std::printf("# data: %s\n", qPrintable(folder));
    std::fflush(stdout);
    server.wait();
    return 0;
}
