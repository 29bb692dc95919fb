// svg-resave OUT FILE...: opens each file as the program opens one and saves
// it as the program saves, to OUT/0.svg, OUT/1.svg and so on, all in this
// one run and in the order given. Exits with 1 when a file cannot be opened
// or written, with 2 for wrong arguments.

#include "CSVGDocument.h"

#include <QDir>
#include <QGuiApplication>
#include <QSettings>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
    QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: svg-resave OUT FILE...\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!out.mkpath(QStringLiteral(".")))
        return 1;
    for (int i = 2; i < args.size(); ++i) {
        CSVGDocument document;
        const QString saved = out.filePath(QString::number(i - 2) + QStringLiteral(".svg"));
        if (!document.openFile(args[i].toStdWString()) || !document.saveFile(saved)) {
            std::fprintf(stderr, "svg-resave: %s\n", qPrintable(args[i]));
            return 1;
        }
    }
    return 0;
}
