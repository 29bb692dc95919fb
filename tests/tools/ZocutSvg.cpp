// zocut-svg: loads SVG files the way the program does, without a window, for
// tests and benchmarks.
//
//   zocut-svg info FILE       one JSON line: element count (comments, CDATA,
//                             declarations and text-content nodes not
//                             counted), page width and height, content bounds
//   zocut-svg copy IN OUT     loads IN and writes it back to OUT
//
// A file that cannot be read or holds no SVG drawing exits with 1 and
// writes nothing; wrong arguments exit with 2; a damaged file (one that ends
// inside the drawing) is worked on as far as it was read and exits with 3.
// Each failure says why on standard error.

#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <cstdio>
#include <vector>

namespace {

int countElements(CSVGDocument& document)
{
    std::vector<CSVGElement*> elements;
    document.collectDescendants(elements, false);
    int count = 0;
    for (const CSVGElement* element : elements) {
        switch (element->getType()) {
        case SvgType::Comment:
        case SvgType::CData:
        case SvgType::Doctype:
        case SvgType::TextContent:
            break;
        default:
            ++count;
        }
    }
    return count;
}

int info(CSVGDocument& document)
{
    const QRectF bounds = document.getContentBoundingRect();
    const QJsonObject result { { "elements", countElements(document) }, { "width", document.getPageSize().width() },
        { "height", document.getPageSize().height() },
        { "bounds",
            QJsonObject { { "x", bounds.x() }, { "y", bounds.y() }, { "width", bounds.width() },
                { "height", bounds.height() } } } };
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}

// Saved as the program saves: through the safe file writer.
int copy(CSVGDocument& document, const QString& out)
{
    return document.saveFile(out) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("MORLData"));
    QCoreApplication::setApplicationName(QStringLiteral("MORLData"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    if (!((command == QLatin1String("info") && args.size() == 3)
            || (command == QLatin1String("copy") && args.size() == 4))) {
        std::fprintf(stderr, "usage: zocut-svg info FILE | zocut-svg copy IN OUT\n");
        return 2;
    }
    // The tool ends when it is done: its tree is left to the operating
    // system, which takes it back at once, where freeing a large drawing
    // element by element would cost a quarter of the run. Held by a static,
    // it is still reachable at exit and so no leak.
    static CSVGDocument* const document = new CSVGDocument;
    const bool opened = document->openFile(args[2].toStdWString());
    const QString reason = SvgInputCheck::reason(document->readCheck());
    if (!opened) {
        std::fprintf(stderr, "zocut-svg: cannot read %s%s%s\n", qPrintable(args[2]), reason.isEmpty() ? "" : ": ",
            qPrintable(reason));
        return 1;
    }
    const int result = command == QLatin1String("info") ? info(*document) : copy(*document, args[3]);
    if (reason.isEmpty())
        return result;
    std::fprintf(stderr, "zocut-svg: %s: %s\n", qPrintable(args[2]), qPrintable(reason));
    return result == 0 ? 3 : result;
}
