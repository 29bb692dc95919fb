#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementShape.h"
#include "TestElements.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

QString text(const std::wstring& text)
{
    return QString::fromStdWString(text);
}

// rsvg-convert's picture of the file at 200 x 200; null when it fails.
QImage render(const QString& path)
{
    QProcess rsvg;
    rsvg.start("rsvg-convert", { "-w", "200", "-h", "200", path });
    if (!rsvg.waitForFinished(60000) || rsvg.exitCode() != 0)
        return QImage();
    return QImage::fromData(rsvg.readAllStandardOutput(), "PNG").convertToFormat(QImage::Format_ARGB32);
}

// Of the pixels that either picture paints, the share that both paint alike
// (each channel within 16).
double overlap(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 0.0;
    qint64 painted = 0;
    qint64 alike = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (qAlpha(p) == 0 && qAlpha(q) == 0)
                continue;
            ++painted;
            alike += qAbs(qRed(p) - qRed(q)) <= 16 && qAbs(qGreen(p) - qGreen(q)) <= 16
                && qAbs(qBlue(p) - qBlue(q)) <= 16 && qAbs(qAlpha(p) - qAlpha(q)) <= 16;
        }
    }
    return painted == 0 ? 1.0 : double(alike) / double(painted);
}

// Each file of the list opened and saved in one run of svg-resave, in the
// order given, into the folder as 0.svg, 1.svg and so on.
bool resave(const QString& folder, const QStringList& files)
{
    QProcess run;
    run.start(ZOCUT_SVG_RESAVE, QStringList { folder } + files);
    return run.waitForFinished(240000) && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList suiteFiles()
{
    QStringList files;
    QDirIterator found(ZOCUT_RESVG_DIR, { "*.svg" }, QDir::Files, QDirIterator::Subdirectories);
    while (found.hasNext())
        files << found.next();
    files.sort();
    return files;
}

// The canvas boxes of the root's drawable children, rounded to 0.01.
QString pieceBoxes(CSVGDocument& document)
{
    QStringList boxes;
    CSVGElement* root = document.getOwnerSvg();
    for (int i = 0; i < root->getChildCount(); ++i) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i))) {
            const QRectF box = shape->getTransformedBoundingRect().toQRectF();
            boxes << QString("%1,%2,%3,%4")
                         .arg(box.x(), 0, 'f', 2)
                         .arg(box.y(), 0, 'f', 2)
                         .arg(box.width(), 0, 'f', 2)
                         .arg(box.height(), 0, 'f', 2);
        }
    }
    return boxes.join(' ');
}

} // namespace

class tst_CSVGDocumentRoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void writeReadWrite_data();
    void writeReadWrite();
    void fixedPointAcrossRuns();
    void learntNamesInNameOrderInAFreshRun();
    void keptConstructs_data();
    void keptConstructs();
    void originAppliedOnce();
    void pastedStylesSurvive();
};

void tst_CSVGDocumentRoundTrip::writeReadWrite_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& path : suiteFiles())
        QTest::newRow(qPrintable(QDir(ZOCUT_RESVG_DIR).relativeFilePath(path))) << path;
}

// Every outside file: its written text is XML, reads back to the same
// text, and draws as the original does (files with text aside: their layout
// is the text's own matter).
void tst_CSVGDocumentRoundTrip::writeReadWrite()
{
    ZOCUT_REQUIRE_RESVG(ZOCUT_RESVG_DIR);
    QFETCH(QString, path);
    CSVGDocument document;
    QVERIFY(document.openFile(path.toStdWString()));
    const std::wstring written = document.toSvgText();
    QXmlStreamReader xml(text(written));
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    CSVGDocument again;
    again.parseSvgText(written, false, false);
    QCOMPARE(text(again.toSvgText()), text(written));

    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    if (original.readAll().contains("<text"))
        return;
    QTemporaryDir folder;
    const QString copy = folder.filePath("copy.svg");
    QVERIFY(document.saveFile(copy));
    const QImage expected = render(path);
    if (expected.isNull())
        QSKIP("rsvg-convert cannot draw the original");
    const double share = overlap(expected, render(copy));
    QVERIFY2(share > 0.99, qPrintable(QString::number(share)));
}

// Saved, opened in another run of the program and saved again: the same
// bytes, for every file of the outside suite. The second run opens the files
// in the opposite order, so that the order in which a run first meets
// attribute names cannot decide the text.
void tst_CSVGDocumentRoundTrip::fixedPointAcrossRuns()
{
    ZOCUT_REQUIRE_RESVG(ZOCUT_RESVG_DIR);
    const QStringList files = suiteFiles();
    QTemporaryDir folder;
    const QDir first(folder.filePath("first"));
    const QDir second(folder.filePath("second"));
    QVERIFY(resave(first.path(), files));
    QStringList saved;
    for (int i = files.size() - 1; i >= 0; --i)
        saved << first.filePath(QString("%1.svg").arg(i));
    QVERIFY(resave(second.path(), saved));
    QStringList changed;
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QString("%1.svg").arg(i);
        const QString again = second.filePath(QString("%1.svg").arg(files.size() - 1 - i));
        if (contents(first.filePath(name)).isEmpty() || contents(first.filePath(name)) != contents(again))
            changed << QDir(ZOCUT_RESVG_DIR).relativeFilePath(files[i]);
    }
    QVERIFY2(changed.isEmpty(), qPrintable(changed.join('\n')));
}

// A run that meets attribute names for the first time writes them in name
// order, whatever order the file gives: this one learns b, a, c and d.
void tst_CSVGDocumentRoundTrip::learntNamesInNameOrderInAFreshRun()
{
    QTemporaryDir folder;
    QFile file(folder.filePath("learnt.svg"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"(<svg><g zz-b="1" zz-a="2"/><g zz-c="3" zz-d="4"/></svg>)");
    file.close();
    QVERIFY(resave(folder.filePath("saved"), { file.fileName() }));
    const QByteArray saved = contents(folder.filePath("saved/0.svg"));
    QVERIFY2(saved.contains(R"(zz-a="2" zz-b="1")") && saved.contains(R"(zz-c="3" zz-d="4")"), saved.constData());
}

// Each row: a drawing holding what a save once dropped, a text that the
// saved file must hold, and the canvas boxes of the root's pieces (not
// checked when empty).
void tst_CSVGDocumentRoundTrip::keptConstructs_data()
{
    QTest::addColumn<QString>("svg");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("boxes");
    const auto svg = [](const QString& content) {
        return R"x(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 200 200">)x" + content + "</svg>";
    };
    QTest::newRow("style sheet around a comment")
        << svg("<style>rect { fill: green; }<!-- c -->circle { fill: blue; }</style>"
               R"x(<rect x="10" y="10" width="80" height="80"/><circle cx="150" cy="150" r="40"/>)x")
        << QStringList { "rect { fill: green; }", "circle { fill: blue; }" } << QString();
    const QString linked
        = svg(R"x(<defs><linearGradient id="lg"><stop offset="0" stop-color="red"/>)x"
              R"x(<stop offset="1" stop-color="blue"/></linearGradient><linearGradient id="lg2" href="#lg"/>)x"
              R"x(<rect id="r" width="20" height="20" fill="green"/></defs>)x"
              R"x(<rect x="40" y="40" width="150" height="150" fill="url(#lg2)"/><use href="#r" x="15" y="10"/>)x");
    QTest::newRow("SVG 2 href") << linked
                                << QStringList { R"x(<linearGradient id="lg">)x", R"x(href="#lg")x", R"x(href="#r")x" }
                                << "40.00,40.00,150.00,150.00 15.00,10.00,20.00,20.00";
    QTest::newRow("white space between text runs")
        << svg(R"x(<text x="10" y="100" font-family="DejaVu Sans" font-size="30">)x"
               "<tspan>Red</tspan> <tspan>Car</tspan></text>")
        << QStringList { ">&#32;</textcontent>" } << QString();
    const QString sized = R"x(<text x="10" y="100">Ab</text>)x";
    QTest::newRow("font size of a group") << svg(R"x(<g font-family="DejaVu Sans" font-size="64">)x" + sized + "</g>")
                                          << QStringList { R"x(<text x="10" y="100" id=)x" } << QString();
    QTest::newRow("font size of the root")
        << R"x(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 200 200" font-family="DejaVu Sans" )x"
           R"x(font-size="64">)x"
            + sized + "</svg>"
        << QStringList { R"x(<text x="10" y="100" id=)x" } << QString();
    QTest::newRow("href before xlink:href")
        << R"x(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )x"
           R"x(viewBox="0 0 200 200"><linearGradient id="green"><stop offset="0" stop-color="green"/>)x"
           R"x(</linearGradient><linearGradient id="red"><stop offset="0" stop-color="red"/></linearGradient>)x"
           R"x(<linearGradient id="lg" href="#green" xlink:href="#red"/>)x"
           R"x(<rect width="200" height="200" fill="url(#lg)"/></svg>)x"
        << QStringList { R"x(<linearGradient id="green">)x" } << QString();
    QTest::newRow("style sheet instruction")
        << R"x(<?xml-stylesheet type="text/css" href="missing.css"?>)x" + svg(R"x(<rect width="100" height="100"/>)x")
        << QStringList { "?>\n<?xml-stylesheet type=\"text/css\" href=\"missing.css\"?>\n<svg " } << QString();
    QTest::newRow("empty values") << svg(R"x(<filter id="f"><feGaussianBlur stdDeviation=""/></filter>)x"
                                         R"x(<rect width="100" height="100" fill="green" filter="url(#f)">)x"
                                         R"x(<animate attributeName="x" values="" dur="1s"/></rect>)x")
                                  << QStringList { R"x(stdDeviation="")x", R"x(values="")x" } << QString();
}

// Written, read and written again to the same text, and drawn by
// rsvg-convert as the original is. The model's own text-content nodes,
// which other renderers do not know, are drawn as the characters they hold.
void tst_CSVGDocumentRoundTrip::keptConstructs()
{
    QFETCH(QString, svg);
    QFETCH(QStringList, kept);
    QFETCH(QString, boxes);
    CSVGDocument document;
    QVERIFY(document.parseSvgText(svg.toStdWString(), false, false));
    if (!boxes.isEmpty())
        QCOMPARE(pieceBoxes(document), boxes);
    const QString written = text(document.toSvgText());
    for (const QString& part : kept)
        QVERIFY2(written.contains(part), qPrintable(written));
    CSVGDocument again;
    again.parseSvgText(written.toStdWString(), false, false);
    QCOMPARE(text(again.toSvgText()), written);

    QTemporaryDir folder;
    const QString original = folder.filePath("original.svg");
    const QString copy = folder.filePath("copy.svg");
    QVERIFY(writeFile(original, svg.toUtf8()));
    QVERIFY(writeFile(copy, QString(written).remove(QRegularExpression("</?textcontent[^>]*>")).toUtf8()));
    const QImage expected = render(original);
    QVERIFY(!expected.isNull());
    const double share = overlap(expected, render(copy));
    QVERIFY2(share > 0.99, qPrintable(QString::number(share)));
}

// "originx" and "originy" move the pieces once, not at every load.
void tst_CSVGDocumentRoundTrip::originAppliedOnce()
{
    CSVGDocument document;
    document.parseSvgText(
        LR"(<svg originx="10" originy="20"><rect x="50" y="50" width="10" height="10"/></svg>)", false, false);
    const QString placed = pieceBoxes(document);
    for (int round = 0; round < 2; ++round) {
        CSVGDocument loaded;
        loaded.parseSvgText(document.toSvgText(), false, false);
        QCOMPARE(pieceBoxes(loaded), placed);
        document.parseSvgText(loaded.toSvgText(), false, false);
    }
}

// Pasting renames the class rules and the ids; the saved file carries the
// new names, so the pieces keep their fill and their stroke gradient.
void tst_CSVGDocumentRoundTrip::pastedStylesSurvive()
{
    CSVGDocument document;
    document.parseSvgText(LR"(<svg><style><![CDATA[ .a{fill:#ff0000} ]]></style>
        <rect class="a" id="mine" x="0" y="0" width="5" height="5"/></svg>)",
        false, false);
    document.pasteSvgText(LR"x(<svg><style><![CDATA[ .a{fill:#0000ff} ]]></style>
        <defs><linearGradient id="edge"><stop offset="0" stop-color="#00ff00"/></linearGradient></defs>
        <rect class="a" stroke="url(#edge)" x="10" y="0" width="5" height="5"/></svg>)x");
    CSVGDocument loaded;
    loaded.parseSvgText(document.toSvgText(), false, false);

    std::vector<CSVGElement*> elements;
    loaded.collectDescendants(elements, false);
    QStringList paints;
    for (CSVGElement* element : elements) {
        auto* shape = dynamic_cast<CSVGElementShape*>(element);
        if (!shape || element->getTagName() != L"rect")
            continue;
        const std::wstring stroke = shape->getStyleValue(L"stroke");
        CSVGElement* server = loaded.getElementById(CGlobalConfig::getUrlReferenceId(stroke));
        paints << text(shape->getStyleValue(L"fill")) + (server ? " " + text(server->getTagName()) : QString());
    }
    QCOMPARE(paints.join(" | "), QString("#ff0000 | #0000ff linearGradient"));
}

ZOCUT_TEST_MAIN(tst_CSVGDocumentRoundTrip)
#include "tst_CSVGDocumentRoundTrip.moc"
