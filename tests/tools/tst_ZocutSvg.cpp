#include "RefusedInputs.h"
#include "TestEnvironment.h"

#include <QProcess>

#include <sys/resource.h>

namespace {

// The tool with less address space than a drawing needs.
class LimitedProcess : public QProcess
{
protected:
    void setupChildProcess() override
    {
        const rlimit limit { 700ul << 20, 700ul << 20 };
        setrlimit(RLIMIT_AS, &limit);
    }
};

} // namespace

// The reader without a window on files that are no SVG drawings: it says
// why on standard error and its exit code tells a script.
class tst_ZocutSvg : public QObject
{
    Q_OBJECT
private slots:
    void refusedInputs_data() { addRefusedInputRows(); }
    void refusedInputs();
    void elementLimit();
    void outOfMemory_data();
    void outOfMemory();
    void savesAtTheLimits_data();
    void savesAtTheLimits();
    void picturesThatLeadBack();
};

// Refused: exit 1, nothing written. Damaged: what was read, and exit 3.
void tst_ZocutSvg::refusedInputs()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QFETCH(bool, damaged);
    QTemporaryDir folder;
    const QString in = folder.filePath("part.svg");
    const QString out = folder.filePath("copy.svg");
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QProcess tool;
    tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "copy", in, out });
    QVERIFY(tool.waitForFinished(60000));
    const QString errors = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), damaged ? 3 : 1);
    QVERIFY2(errors.contains(in) && errors.contains(reason), qPrintable(errors));
    QCOMPARE(QFile::exists(out), damaged);
    if (damaged) {
        tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "info", out });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tool.readAllStandardOutput().contains("\"x\":1,\"y\":1"));
    }
}

// One element more than the reader takes: the drawing opens without it, and
// the loss is said as for a damaged file.
void tst_ZocutSvg::elementLimit()
{
    QTemporaryDir folder;
    const QString in = folder.filePath("large.svg");
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<svg>" + QByteArray("<g/>").repeated(1000000) + "</svg>");
    file.close();
    QProcess tool;
    tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "info", in });
    QVERIFY(tool.waitForFinished(240000));
    const QString errors = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), 3);
    QVERIFY2(errors.contains("The drawing has more than 1000000 elements"), qPrintable(errors));
    QVERIFY(tool.readAllStandardOutput().contains("\"elements\":1000000"));
}

// A drawing larger than the memory left is refused with the reason; the
// tool does not die of it, whether the memory goes to many runs or to one
// long run, built from stored glyphs or, left of the page, by the painting
// library itself. AddressSanitizer reserves more address space than any
// such limit, so this runs in the plain build.
void tst_ZocutSvg::outOfMemory_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray runs;
    for (int i = 0; i < 256000; ++i)
        runs += "<tspan>w" + QByteArray::number(i) + "</tspan>";
    QTest::newRow("many runs") << "<svg><text>" + runs + "</text></svg>";
    const QByteArray line = QByteArray("abcdefghij ").repeated(100000);
    QTest::newRow("one long run") << "<svg><text>" + line + "</text></svg>";
    QTest::newRow("one long run left of the page") << "<svg><text x=\"-10\">" + line + "</text></svg>";
}

void tst_ZocutSvg::outOfMemory()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer needs more address space than the limit leaves");
#endif
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    const QString in = folder.filePath("lettering.svg");
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    LimitedProcess tool;
    tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "info", in });
    QVERIFY(tool.waitForFinished(240000));
    const QString errors = QString::fromUtf8(tool.readAllStandardError());
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), 1);
    QVERIFY2(errors.contains("There is not enough memory to read it"), qPrintable(errors));
}

// A file as large as the reader takes, and one with as many names new to
// the name table as one file may bring (one of them under a prefix that
// the save declares): each program's save reads back whole in the next
// program, a copy of the copy being the copy.
void tst_ZocutSvg::savesAtTheLimits_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray names;
    for (int i = 0; i < 999; ++i)
        names += " n" + QByteArray::number(i) + "=\"1\"";
    QTest::newRow("new attribute names") << "<svg><g" + names + " p:n=\"1\"/></svg>";
    QByteArray prefixed;
    for (int i = 0; i < 1500; ++i)
        prefixed += "<p" + QByteArray::number(i) + ":g/>";
    QTest::newRow("prefixes the save declares") << "<svg>" + prefixed + "</svg>";
    QTest::newRow("elements") << "<svg>" + QByteArray("<g/>").repeated(999999) + "</svg>";
}

void tst_ZocutSvg::savesAtTheLimits()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    const QString paths[] = { folder.filePath("in.svg"), folder.filePath("copy.svg"), folder.filePath("again.svg") };
    QFile file(paths[0]);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    for (int i = 0; i < 2; ++i) {
        QProcess tool;
        tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "copy", paths[i], paths[i + 1] });
        QVERIFY(tool.waitForFinished(240000));
        QCOMPARE(tool.exitCode(), 0);
        if (i == 1)
            QVERIFY2(tool.readAllStandardError().isEmpty(), qPrintable(paths[i]));
    }
    QFile copy(paths[1]);
    QFile again(paths[2]);
    QVERIFY(copy.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll() == again.readAll());
}

// A picture that leads back to its own file, or through a second file: read
// and written whole, with the picture's frame.
void tst_ZocutSvg::picturesThatLeadBack()
{
    QTemporaryDir folder;
    const QString link = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                         "width=\"50\" height=\"50\"><image xlink:href=\"%1\" width=\"50\" height=\"50\"/></svg>";
    for (const auto& [name, target] :
        { std::make_pair("self.svg", "self.svg"), { "a.svg", "b.svg" }, { "b.svg", "a.svg" } }) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(link.arg(folder.filePath(target)).toUtf8()) > 0);
    }
    for (const QString name : { "self.svg", "a.svg" }) {
        QProcess tool;
        tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "info", folder.filePath(name) });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(tool.readAllStandardOutput().contains("\"height\":50,\"width\":50"));
        tool.start(QStringLiteral(ZOCUT_SVG_TOOL), { "copy", folder.filePath(name), folder.filePath("copy.svg") });
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
    }
}

ZOCUT_TEST_MAIN(tst_ZocutSvg)
#include "tst_ZocutSvg.moc"
