#include "DeviceRecord.h"
#include "HpglJob.h"
#include "TestEnvironment.h"
#include "TestHpgl.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QSettings>

#include <cmath>

namespace {
using TestHpgl::Lines;

QPolygonF poly(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

QString sectionText(const Lines& lines, const QString& extra = QString())
{
    QString text = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1000mm\" height=\"1520mm\" "
                                  "viewBox=\"0 0 1000 1520\">");
    for (const QPolygonF& line : lines) {
        QStringList points;
        for (const QPointF& p : line)
            points << QString::number(p.x()) + ',' + QString::number(p.y());
        text += QStringLiteral("<polyline fill=\"none\" points=\"%1\" transform=\"matrix(1 0 0 1 0 0)\"/>")
                    .arg(points.join(' '));
    }
    return text + extra + QStringLiteral("</svg>");
}

} // namespace

class tst_HpglJob : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void jobLeavesNothingBehind();
    void sectionsRoundTrip_data();
    void sectionsRoundTrip();
    void overcutContinuesPastStart();
    void stopEndsOnWholeCommand();
    void badInput_data();
    void badInput();

private:
    QByteArray build(const QStringList& sections, const DeviceRecord& device = DeviceRecord());
    QString m_error;
};

void tst_HpglJob::init()
{
    QSettings().remove("hpgl");
}

QByteArray tst_HpglJob::build(const QStringList& sections, const DeviceRecord& device)
{
    QByteArray hpgl;
    m_error.clear();
    if (!HpglJob::build(sections, device, &hpgl, &m_error))
        return QByteArray();
    return hpgl;
}

// Nothing of a job stays in the temporary folder, the converter's copy
// included. (First of the functions: a converter kept for the process would
// be made by the first job.)
void tst_HpglJob::jobLeavesNothingBehind()
{
    QTemporaryDir temp;
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QByteArray hpgl = build({ sectionText({ poly({ { 0, 0 }, { 10, 10 } }) }) });
    qputenv("TMPDIR", saved);
    QVERIFY2(!hpgl.isEmpty(), qPrintable(m_error));
    QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// The frames come placed (JobPlacement): the converter neither turns nor
// mirrors one on its own. The user's resolution wins over the device's.
void tst_HpglJob::sectionsRoundTrip_data()
{
    QTest::addColumn<QVariantMap>("settings");
    QTest::addColumn<QJsonObject>("device");
    QTest::addColumn<QPointF>("resolution");
    QTest::newRow("1016 units per inch") << QVariantMap() << QJsonObject() << QPointF(1016, 1016);
    QTest::newRow("the user's 2000 over the device's 500")
        << QVariantMap { { "PlotResolutionX", 2000 }, { "PlotResolutionY", 2000 } }
        << QJsonObject { { "converter", QJsonObject { { "PlotResolutionX", 500 }, { "PlotResolutionY", 500 } } } }
        << QPointF(2000, 2000);
    QTest::newRow("y by its own resolution")
        << QVariantMap { { "PlotResolutionY", 500 } } << QJsonObject() << QPointF(1016, 500);
    QTest::newRow("frames not turned on their own") << QVariantMap { { "PlotRotation", 90 }, { "PlotMirrorX", true },
        { "PlotAutoAlign", true } } << QJsonObject() << QPointF(1016, 1016);
}

// Three frames of a 2.5 m drawing come back as the same polylines, each in
// its own frame.
void tst_HpglJob::sectionsRoundTrip()
{
    QFETCH(QVariantMap, settings);
    QFETCH(QJsonObject, device);
    QFETCH(QPointF, resolution);
    QSettings local;
    for (auto s = settings.constBegin(); s != settings.constEnd(); ++s)
        local.setValue("hpgl/" + s.key(), s.value());
    device.insert("start_code", "\x1b.(");
    device.insert("end_code", "\x1b.)");
    const QList<Lines> sections { { poly({ { 10, 20 }, { 1000, 20 } }), poly({ { 5, 5 }, { 9.5, 700.25 } }) },
        { poly({ { 0, 20 }, { 1000, 20 } }) }, { poly({ { 0, 20 }, { 500, 1500 }, { 2, 3 } }) } };
    QStringList texts;
    for (const Lines& section : sections)
        texts << sectionText(section);

    const QByteArray hpgl = build(texts, DeviceRecord(device));
    QVERIFY2(!hpgl.isEmpty(), qPrintable(m_error));
    QVERIFY(hpgl.startsWith("\x1b.(IN;SP1;"));
    QVERIFY(hpgl.endsWith("PU;\x1b.)"));
    const QList<Lines> frames = TestHpgl::frames(hpgl);
    QCOMPARE(frames.size(), sections.size());
    const QPointF step(25.4 / resolution.x(), 25.4 / resolution.y());
    for (int f = 0; f < frames.size(); ++f) {
        QCOMPARE(frames[f].size(), sections[f].size());
        for (int l = 0; l < frames[f].size(); ++l) {
            const QPolygonF& expected = sections[f][l];
            QCOMPARE(frames[f][l].size(), expected.size());
            for (int p = 0; p < expected.size(); ++p) {
                const QPointF back(frames[f][l][p].x() * step.x(), frames[f][l][p].y() * step.y());
                QVERIFY2(std::abs(back.x() - expected[p].x()) <= step.x()
                        && std::abs(back.y() - expected[p].y()) <= step.y(),
                    qPrintable(QString("frame %1 line %2 point %3").arg(f).arg(l).arg(p)));
            }
        }
    }
}

void tst_HpglJob::overcutContinuesPastStart()
{
    QSettings().setValue("hpgl/PlotOvercut", 2.5);
    const QByteArray hpgl = build({ sectionText({},
        "<polygon points=\"0,0 10,0 10,10 0,10\"/><polygon points=\"1,1 1,1 1,1\"/>"
        "<polygon points=\"20,0 20.5,0 20.5,0.5\"/>") });
    const QList<Lines> frames = TestHpgl::frames(hpgl);
    QCOMPARE(frames.size(), 1);
    // Round once, then 2.5 mm along the first side again (40 units per mm);
    // no further than once round; an outline without length stays a dot.
    QCOMPARE(frames[0],
        Lines({ poly({ { 0, 0 }, { 400, 0 }, { 400, 400 }, { 0, 400 }, { 0, 0 }, { 100, 0 } }),
            poly({ { 40, 40 }, { 40, 40 } }),
            poly({ { 800, 0 }, { 820, 0 }, { 820, 20 }, { 800, 0 }, { 820, 0 }, { 820, 20 }, { 800, 0 } }) }));
}

// Stopped after any byte, the stream ends on the job's own whole commands
// and the closing; a pen-down list ends at the point under way, no later.
void tst_HpglJob::stopEndsOnWholeCommand()
{
    const DeviceRecord device(QJsonObject { { "start_code", "\x1b.(" }, { "end_code", "\x1b.)" } });
    const QByteArray closing = HpglJob::closing(device);
    const QByteArray job = HpglJob::frame(
        { "PU0,0;PD400,0,400,400,0,400,0,0;PU800,-12;PD1200,-12;", "PU0,7;PD123456,7,5,99999;" }, device);
    for (int sent = 0; sent <= job.size(); ++sent) {
        const QByteArray ending = HpglJob::stopEnding(job, sent, closing);
        const QByteArray received = job.left(sent) + ending;
        const QString fault = TestHpgl::stopFault(job, received, closing);
        QVERIFY2(fault.isEmpty(), qPrintable(QString("stopped after %1 bytes: %2").arg(sent).arg(fault)));
        QCOMPARE(received.isEmpty(), sent == 0);
        const QByteArray rest = ending.left(ending.indexOf(';'));
        const int command = job.lastIndexOf(';', sent - 1) + 1;
        if (job.mid(command, 2) == "PD")
            QVERIFY2(rest.count(',') <= 1, qPrintable(QString("after %1 bytes: %2").arg(sent).arg(rest.data())));
    }
}

void tst_HpglJob::badInput_data()
{
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("message");
    const QString line = sectionText({ poly({ { 0, 0 }, { 1, 1 } }) });
    QTest::newRow("refused section") << QStringList { line, QString() } << QString()
                                     << "Section 2 could not be prepared";
    QTest::newRow("curves") << QStringList { sectionText({}, "<path d=\"M0 0 C1 1 2 2 3 3\"/>") } << QString()
                            << "Section 1 was not converted: hpgl: element <path> is not a polyline";
    QTest::newRow("broken file") << QStringList { "<svg><polyline points=\"1,2\"" } << QString()
                                 << "Section 1 was not converted: hpgl: not an SVG file";
    QTest::newRow("no resolution") << QStringList { line } << "PlotResolutionY=0"
                                   << "unknown option or value out of range: --resolutionY=0";
    QTest::newRow("huge drawing") << QStringList { sectionText({ poly({ { 0, 0 }, { 1e12, 1 } }) }) } << QString()
                                  << "coordinate out of the plotter's range";
}

void tst_HpglJob::badInput()
{
    QFETCH(QStringList, sections);
    QFETCH(QString, setting);
    QFETCH(QString, message);
    if (!setting.isEmpty())
        QSettings().setValue("hpgl/" + setting.section('=', 0, 0), setting.section('=', 1));
    QVERIFY(build(sections).isEmpty());
    QVERIFY2(m_error.contains(message), qPrintable(m_error));
}

ZOCUT_TEST_MAIN(tst_HpglJob)

#include "tst_HpglJob.moc"
