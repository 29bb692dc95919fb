// zocut-standin: serves the program's online services on 127.0.0.1 for
// local runs. Prints its address and the environment that points the
// program at it, then serves until it is interrupted.

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
    parser.addOptions({ port, data, verbose });
    parser.process(application);

    const QString folder = QDir(parser.value(data)).absolutePath();
    QDir().mkpath(folder);
    standin::StandInServer server(folder);
    server.setVerbose(parser.isSet(verbose));
    if (!server.start(parser.value(port).toInt())) {
        std::fprintf(stderr, "Cannot listen on 127.0.0.1:%s\n", qPrintable(parser.value(port)));
        return 1;
    }
    std::printf("%s\n", qPrintable(server.baseUrl()));
    for (const auto& variable : server.environment())
        std::printf("export %s=%s\n", variable.first.constData(), qPrintable(variable.second));
    std::printf("# data: %s\n", qPrintable(folder));
    std::fflush(stdout);
    server.wait();
    return 0;
}
