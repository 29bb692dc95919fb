#include "AbstractPlotter.h"
#include "ApiReply.h"
#include "CSVGDocument.h"
#include "DlgPlot.h"
#include "HpglJob.h"
#include "HttpRequest.h"
#include "Prompt.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "TestHpgl.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>

#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// A page 3 m long with one strip from x0 to x1 (mm), or many rings for a
// job larger than a terminal's buffer.
std::wstring page(int x0, int x1, int rings = 0)
{
    QString text = QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"3000\" height=\"600\" "
                           "viewBox=\"0 0 3000 600\"><rect x=\"%1\" y=\"100\" width=\"%2\" height=\"200\"/>")
                       .arg(x0)
                       .arg(x1 - x0);
    for (int i = 0; i < rings; ++i)
        text += QString("<circle cx=\"%1\" cy=\"%2\" r=\"4\"/>").arg(10 + (i % 290) * 10).arg(350 + (i / 290) * 10);
    return (text + "</svg>").toStdWString();
}

// Points every millimetre along the polylines.
QList<QPointF> samples(const QList<QPolygonF>& lines)
{
    QList<QPointF> points;
    for (const QPolygonF& line : lines) {
        for (int i = 0; i + 1 < line.size(); ++i) {
            const QLineF segment(line[i], line[i + 1]);
            const int steps = std::max(1, int(std::ceil(segment.length())));
            for (int k = 0; k <= steps; ++k)
                points << segment.pointAt(double(k) / steps);
        }
    }
    return points;
}

// The first point that lies farther than the tolerance from every line.
QString strayPoint(const QList<QPointF>& points, const QList<QPolygonF>& lines, double tolerance)
{
    for (const QPointF& p : points) {
        bool near = false;
        for (const QPolygonF& line : lines) {
            for (int i = 0; !near && i + 1 < line.size(); ++i) {
                const QLineF segment(line[i], line[i + 1]);
                const QPointF d = segment.p2() - segment.p1();
                const double squared = QPointF::dotProduct(d, d);
                const double t
                    = squared > 0 ? std::clamp(QPointF::dotProduct(p - segment.p1(), d) / squared, 0.0, 1.0) : 0.0;
                near = QLineF(p, segment.pointAt(t)).length() <= tolerance;
            }
        }
        if (!near)
            return QString("%1,%2").arg(p.x()).arg(p.y());
    }
    return QString();
}

} // namespace

class tst_DlgPlot : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sections_data();
    void sections();
    void placedAsAWhole_data();
    void placedAsAWhole();
    void resolutionSaysWhichWins();
    void cutsAndRecords();
    void hiddenPiecesAreNotCounted();
    void failsPlainly();
    void stopAndClose();
    void stoppedAfterAStopNotTaken();
    void openedAndClosed();
    void piecesOutsideThePage();
    void turnedJobStaysOnTheRoll_data();
    void turnedJobStaysOnTheRoll();
    void fitsTheScreen_data();
    void fitsTheScreen();
    void previewShowsTheDrawing();
    void frameLengthRefusedBeforeCutting_data();
    void frameLengthRefusedBeforeCutting();

private:
    void loadPage(const std::wstring& text);
    void startCut(DlgPlot& dialog, const QString& port);

    StandInSession m_session;
    CSVGDocument m_document;
    QStringList m_prompts;
};

void tst_DlgPlot::init()
{
    for (const auto& variable : m_session.server().environment())
        qputenv(variable.first.constData(), variable.second.toUtf8());
    QSettings().setValue("token", m_session.token());
    m_prompts.clear();
    Prompt::setHandler([this](Prompt::Kind kind, const QString&, const QString& text) {
        m_prompts << text;
        return kind == Prompt::Kind::Question ? QVariant(QMessageBox::Yes) : QVariant(QMessageBox::Ok);
    });
}

void tst_DlgPlot::cleanup()
{
    Prompt::setHandler(nullptr);
}

void tst_DlgPlot::loadPage(const std::wstring& text)
{
    m_document.parseSvgText(text, false, false);
    m_document.setPageRect(QRectF(0, 0, 3000, 600));
}

void tst_DlgPlot::startCut(DlgPlot& dialog, const QString& port)
{
    auto* devices = dialog.findChild<QComboBox*>("device");
    QTRY_VERIFY_WITH_TIMEOUT(devices->count() > 0, 20000);
    dialog.findChild<QComboBox*>("port")->setCurrentText(port);
    dialog.findChild<QPushButton*>("cut")->click();
}

// Frames of 1 m; the end line lies 1 mm right of the drawing, in one frame
// too.
void tst_DlgPlot::sections_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("count");
    QTest::newRow("2.3 m in three") << 2400 << 3;
    QTest::newRow("within one frame") << 400 << 1;
}

void tst_DlgPlot::sections()
{
    QFETCH(int, right);
    loadPage(page(100, right));
    QString error;
    const QStringList texts = DlgPlot::sectionTexts(
        m_document.pageToSvgText(-1, 0, -1, -1, false), m_document, 1000, DeviceRecord(), &error);
    QFETCH(int, count);
    QCOMPARE(texts.size(), count);
    for (const QString& text : texts)
        QVERIFY(text.contains("<polyline") && !text.contains("<rect"));
    const QRegularExpression endLine(QString("points=\"%1 299\\.50* %1 0\"").arg(right + 1 - (count - 1) * 1000));
    QVERIFY2(texts.last().contains(endLine), qPrintable(texts.last()));
    QVERIFY(DlgPlot::sectionTexts(std::wstring(), m_document, 1000, DeviceRecord(), &error).isEmpty());
    QCOMPARE(error, QString("No pieces to cut!"));
}

// Three frames: a strip across both frame boundaries, a box, a triangle
// across the second boundary; the job spans x 20 to 2520, y 110 to 340 of a
// page 600 high. The placement as it should come out of the plotter, frames
// laid end to end.
void tst_DlgPlot::placedAsAWhole_data()
{
    QTest::addColumn<QVariantMap>("settings");
    QTest::addColumn<QTransform>("placement");
    QTest::addColumn<int>("frames");
    QTest::newRow("as drawn") << QVariantMap() << QTransform() << 3;
    QTest::newRow("mirror X in place") << QVariantMap { { "PlotMirrorX", true } } << QTransform(-1, 0, 0, 1, 2540, 0)
                                       << 3;
    QTest::newRow("mirror Y in place") << QVariantMap { { "PlotMirrorY", true } } << QTransform(1, 0, 0, -1, 0, 450)
                                       << 3;
    QTest::newRow("half turn in place") << QVariantMap { { "PlotRotation", 180 } }
                                        << QTransform(-1, 0, 0, -1, 2540, 450) << 3;
    QTest::newRow("quarter turn past the page: refused")
        << QVariantMap { { "PlotRotation", 90 } } << QTransform(0, 1, -1, 0, 360, 90) << 0;
    QTest::newRow("aligned once") << QVariantMap { { "PlotAutoAlign", true } } << QTransform::fromTranslate(-20, -110)
                                  << 3;
    QTest::newRow("mirrored, then aligned") << QVariantMap { { "PlotMirrorX", true }, { "PlotAutoAlign", "true" } }
                                            << QTransform(-1, 0, 0, 1, 2520, -110) << 3;
}

void tst_DlgPlot::placedAsAWhole()
{
    QFETCH(QVariantMap, settings);
    QFETCH(QTransform, placement);
    QSettings local;
    local.remove("hpgl");
    for (auto s = settings.constBegin(); s != settings.constEnd(); ++s)
        local.setValue("hpgl/" + s.key(), s.value());
    const QList<QPolygonF> pieces { QPolygonF(QRectF(20, 110, 2500, 20)), QPolygonF(QRectF(1400, 200, 100, 50)),
        QPolygonF(QVector<QPointF> { { 1950, 250 }, { 2080, 340 }, { 1950, 340 }, { 1950, 250 } }) };
    QString text = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"3000\" height=\"600\" viewBox=\"0 0 3000 600\">";
    for (const QPolygonF& piece : pieces) {
        QStringList points;
        for (const QPointF& p : piece)
            points << QString("%1,%2").arg(p.x()).arg(p.y());
        text += "<polygon points=\"" + points.join(' ') + "\"/>";
    }
    loadPage((text + "</svg>").toStdWString());
    QString error;
    const QStringList texts = DlgPlot::sectionTexts(
        m_document.pageToSvgText(-1, 0, -1, -1, false), m_document, 1000, DeviceRecord(), &error);
    QTEST(int(texts.size()), "frames");
    if (texts.isEmpty()) {
        QCOMPARE(error,
            QString("Turned, mirrored or aligned as the cut settings say, a piece of 2500.0 × 20.0 mm at (20.0, "
                    "110.0) mm crosses the page's edge."));
        local.remove("hpgl");
        return;
    }
    QByteArray hpgl;
    QVERIFY2(HpglJob::build(texts, DeviceRecord(), &hpgl, &error), qPrintable(error));
    local.remove("hpgl");

    QList<QPolygonF> expected;
    for (const QPolygonF& piece : pieces)
        expected << placement.map(piece);
    QRectF job;
    for (const QPolygonF& piece : expected)
        job |= piece.boundingRect();
    // The end line: 1 mm after the job, across the page with a gap of 1 mm.
    const double end = job.right() + 1;
    expected << QPolygonF(QVector<QPointF> { { end, 0 }, { end, 299.5 } })
             << QPolygonF(QVector<QPointF> { { end, 300.5 }, { end, 600 } });
    const QList<QPolygonF> cut = TestHpgl::laidOut(hpgl, 40, 1000);
    QRectF reached;
    for (const QPolygonF& line : cut)
        reached |= line.boundingRect();
    QVERIFY(std::abs(reached.left() - job.left()) < 0.05);
    // Each piece at its size and place, joined across the frames.
    const QString missing = strayPoint(samples(expected), cut, 0.05);
    QVERIFY2(missing.isEmpty(), qPrintable("not cut: " + missing));
    QList<QPointF> vertices;
    for (const QPolygonF& line : cut)
        vertices += line.toList();
    const QString stray = strayPoint(vertices, expected, 0.05);
    QVERIFY2(stray.isEmpty(), qPrintable("cut astray: " + stray));
}

// The serial device's record names 1000 units per inch; the user's 1016 is
// the one cut with, and the dialog says so.
void tst_DlgPlot::resolutionSaysWhichWins()
{
    loadPage(page(100, 400));
    DlgPlot dialog(&m_document, QString());
    auto* devices = dialog.findChild<QComboBox*>("device");
    QTRY_COMPARE_WITH_TIMEOUT(devices->count(), 2, 20000);
    const auto* resolution = dialog.findChild<QLabel*>("resolution");
    QCOMPARE(resolution->text(), QString("1016 × 1016 units per inch"));
    devices->setCurrentIndex(1);
    QCOMPARE(resolution->text(),
        QString("1016 × 1016 units per inch: your Resolution setting wins over the device record's 1000 × 1000"));
}

// A piece off the page and a hidden one count in no area.
void tst_DlgPlot::cutsAndRecords()
{
    std::wstring text = page(100, 2400);
    text.insert(text.rfind(L"</svg>"),
        L"<rect x=\"100\" y=\"700\" width=\"1000\" height=\"400\"/>"
        L"<rect x=\"2500\" y=\"100\" width=\"100\" height=\"100\" display=\"none\"/>");
    loadPage(text);
    DlgPlot dialog(&m_document, "Door job");
    QCOMPARE(dialog.pieceCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(dialog.findChild<QLabel*>("area")->text(), QString("0.46 m²"), 20000);
    QSignalSpy ended(&dialog, &DlgPlot::jobEnded);
    QSignalSpy recorded(&dialog, &DlgPlot::recordSaved);
    QTemporaryDir folder;
    const QString output = folder.filePath("job.plt");
    startCut(dialog, output);
    QCOMPARE(dialog.findChild<QComboBox*>("device")->count(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    QCOMPARE(ended.first().first().toBool(), true);
    QVERIFY(m_prompts.first().endsWith("Cutting will be start, do you want to continue?"));
    QVERIFY(m_prompts.contains("Data Transmission Completed"));

    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Each frame back in place: on the strip's outline or on the end line,
    // reaching as far as the strip does.
    const QByteArray hpgl = file.readAll();
    QCOMPARE(TestHpgl::frames(hpgl).size(), 3);
    QPolygonF last;
    for (const QPolygonF& line : TestHpgl::laidOut(hpgl, 40, 1000)) {
        for (const QPointF& p : line) {
            const bool onStrip = (std::abs(p.x() - 100) < 0.05 || std::abs(p.x() - 2400) < 0.05)
                || ((std::abs(p.y() - 100) < 0.05 || std::abs(p.y() - 300) < 0.05) && p.x() > 99.9 && p.x() < 2400.1);
            QVERIFY2(onStrip || std::abs(p.x() - 2401) < 0.05, qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
            last << p;
        }
    }
    QVERIFY(std::abs(last.boundingRect().right() - 2401) < 0.05);

    QTRY_COMPARE_WITH_TIMEOUT(recorded.size(), 1, 20000);
    QCOMPARE(recorded.first().first().toBool(), true);
    QString body;
    HttpRequest request(m_session.server().apiBase() + "template/cutlogNew");
    request.addParam("keywords", "").addParam("limit", "20").addParam("page", "1");
    request.setHeader("token", QSettings().value("token").toString())
        .setSuccessHandler([&](const QString& text) { body = text; })
        .setFailHandler([&](const QString& error, int) { body = error; });
    request.post();
    QTRY_VERIFY_WITH_TIMEOUT(!body.isEmpty(), 20000);
    const QJsonObject row = ApiReply::parse(body).data().toObject().value("data").toArray().first().toObject();
    QCOMPARE(row.value("name").toString(), QString("Door job"));
    QCOMPARE(row.value("area").toString(), QString("0.46"));
}

// A hidden rectangle and a hidden group's circle add neither pieces nor
// area, nor anything to the frames.
void tst_DlgPlot::hiddenPiecesAreNotCounted()
{
    std::wstring text = page(100, 400);
    text.insert(text.rfind(L"</svg>"),
        L"<rect x=\"500\" y=\"100\" width=\"900\" height=\"400\" display=\"none\"/>"
        L"<g style=\"visibility:hidden\"><circle cx=\"2000\" cy=\"300\" r=\"200\"/></g>");
    loadPage(text);
    DlgPlot dialog(&m_document, QString());
    QCOMPARE(dialog.pieceCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(dialog.findChild<QLabel*>("area")->text(), QString("0.06 m²"), 20000);
    QString error;
    const QStringList texts = DlgPlot::sectionTexts(
        m_document.pageToSvgText(-1, 0, -1, -1, false), m_document, 1000, DeviceRecord(), &error);
    QCOMPARE(texts.size(), 1);
    CSVGDocument frame;
    frame.parseSvgText(texts.first().toStdWString(), false, false);
    QCOMPARE(frame.getContentBoundingRect().right(), 401.0);
}

// Web API down and an output that cannot be written.
void tst_DlgPlot::failsPlainly()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    qputenv("ZOCUT_API_BASE", QString("http://127.0.0.1:%1/api/").arg(closed.serverPort()).toUtf8());
    closed.close();
    loadPage(page(100, 400));
    DlgPlot dialog(&m_document, QString());
    QSignalSpy ended(&dialog, &DlgPlot::jobEnded);
    QSignalSpy recorded(&dialog, &DlgPlot::recordSaved);
    startCut(dialog, "/nonexistent-folder/job.plt");
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    QCOMPARE(ended.first().first().toBool(), false);
    QVERIFY(m_prompts.contains("Data Transmission Failed"));
    const auto* status = dialog.findChild<QListWidget*>("status");
    QVERIFY(!status->findItems("The device list is not available", Qt::MatchStartsWith).isEmpty());
    QCOMPARE(status->item(status->count() - 1)->foreground().color(), QColor(Qt::darkRed));
    QTRY_COMPARE_WITH_TIMEOUT(HttpRequest::underWayCount(), 0, 30000);
    QCOMPARE(recorded.size(), 0);
}

// A plotter that takes nothing until Stop, then reads fast: the job ends
// with a pen lift and says it was stopped, in no failure's red. Closing
// mid-job stops the job too and closes once the port has taken the ending;
// destroying the dialog mid-job returns.
void tst_DlgPlot::stopAndClose()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    QVERIFY(::fcntl(master, F_SETFL, O_NONBLOCK) == 0);
    QByteArray received;
    const auto readAll = [&] {
        char buffer[4096];
        for (ssize_t got = 0; (got = ::read(master, buffer, sizeof buffer)) > 0;)
            received.append(buffer, int(got));
        return true;
    };
    loadPage(page(100, 400, 2000));
    auto* dialog = new DlgPlot(&m_document, "Stalled");
    QSignalSpy ended(dialog, &DlgPlot::jobEnded);
    QSignalSpy closed(dialog, &QDialog::rejected);
    auto* status = dialog->findChild<QListWidget*>("status");
    startCut(*dialog, QString::fromLocal8Bit(name));
    QTRY_VERIFY_WITH_TIMEOUT(!status->findItems("Sending data", Qt::MatchExactly).isEmpty(), 60000);
    dialog->findChild<QPushButton*>("stop")->click();
    QTRY_VERIFY_WITH_TIMEOUT(readAll() && ended.size() == 1, 60000);
    readAll();
    QVERIFY2(received.endsWith("PU;"), received.right(40).constData());
    QCOMPARE(ended.first().first().toBool(), false);
    // The port does not say what it still holds: the plotter gets the
    // ending after that.
    const QString handedOver("The cut job was stopped. Its ending has been handed to the port; the plotter receives "
                             "it after what the line still holds.");
    QCOMPARE(m_prompts.last(), handedOver);
    QCOMPARE(status->item(status->count() - 1)->text(), handedOver);
    for (int i = 0; i < status->count(); ++i)
        QVERIFY2(status->item(i)->foreground().color() != QColor(Qt::darkRed), qPrintable(status->item(i)->text()));

    dialog->findChild<QPushButton*>("cut")->click();
    QTRY_VERIFY_WITH_TIMEOUT(status->findItems("Sending data", Qt::MatchExactly).size() == 2, 60000);
    dialog->findChild<QPushButton*>("close")->click();
    QCOMPARE(closed.size(), 0);
    const QString closing("The dialog closes once the end of the job has been handed to the output; a plotter "
                          "receives it after what its line still holds.");
    QCOMPARE(status->findItems(closing, Qt::MatchExactly).size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(readAll() && closed.size() == 1, 60000);

    dialog->findChild<QPushButton*>("cut")->click();
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isRunning(), 20000);
    delete dialog;
    ::close(master);
    ::close(slave);
}

// A first job whose ending the plotter never took (its output suspended,
// then gone) warns of a knife perhaps down; a second one, stopped before a
// byte went out, was stopped and no more.
void tst_DlgPlot::stoppedAfterAStopNotTaken()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    loadPage(page(100, 400, 2000));
    DlgPlot dialog(&m_document, "Suspended");
    QSignalSpy ended(&dialog, &DlgPlot::jobEnded);
    auto* stop = dialog.findChild<QPushButton*>("stop");
    startCut(dialog, QString::fromLocal8Bit(name));
    // Once the job has begun (a job stopped before its first byte needs no
    // ending), the line takes nothing more.
    pollfd far { master, POLLIN, 0 };
    QTRY_VERIFY_WITH_TIMEOUT(::poll(&far, 1, 0) == 1, 60000);
    QVERIFY(::tcflow(slave, TCOOFF) == 0);
    stop->click();
    ::close(master);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    QCOMPARE(m_prompts.last(), AbstractPlotter::stopNotTakenText());
    // The stop must come while the conversion runs (the button still on
    // then takes it); a conversion done before it sent to the gone port.
    for (int tries = 0; tries < 20 && ended.size() == 1 + tries; ++tries) {
        dialog.findChild<QPushButton*>("cut")->click();
        stop->click();
        if (!stop->isEnabled())
            break;
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 2 + tries, 60000);
    }
    QVERIFY2(!stop->isEnabled(), "never stopped while converting");
    const int jobs = ended.size() + 1;
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), jobs, 60000);
    QCOMPARE(m_prompts.last(), QString("The cut job was stopped."));
    ::close(slave);
}

// Looking at the cut changes no drawing (no close question, no autosave
// copy), and the output chosen is there at the next opening.
void tst_DlgPlot::openedAndClosed()
{
    loadPage(page(100, 400));
    m_document.setModified(false);
    auto dialog = std::make_unique<DlgPlot>(&m_document, QString());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->findChild<QComboBox*>("device")->count() > 0, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(dialog->findChild<QLabel*>("area")->text(), QString("0.06 m²"), 20000);
    dialog->findChild<QComboBox*>("port")->setCurrentText("/tmp/door.plt");
    dialog->findChild<QPushButton*>("close")->click();
    QVERIFY(!m_document.isModified());
    dialog = std::make_unique<DlgPlot>(&m_document, QString());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->findChild<QComboBox*>("device")->count() > 0, 20000);
    QCOMPARE(dialog->findChild<QComboBox*>("port")->currentText(), QString("/tmp/door.plt"));
}

// A page 1520 mm high, as the canvas has it, and a drawing 3000 x 2100 mm:
// the piece beyond the page is in the count, the log and the question
// before anything is cut; "No" cuts nothing.
void tst_DlgPlot::piecesOutsideThePage()
{
    m_document.parseSvgText(L"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"3000\" height=\"2100\">"
                            L"<rect x=\"100\" y=\"100\" width=\"300\" height=\"200\"/>"
                            L"<rect x=\"500\" y=\"1970\" width=\"80\" height=\"60\"/>"
                            L"<rect x=\"900\" y=\"1970\" width=\"80\" height=\"60\" visibility=\"hidden\"/></svg>",
        false, false);
    m_document.setPageRect(QRectF(0, 0, 3000, 1520));
    Prompt::setHandler([this](Prompt::Kind, const QString&, const QString& text) {
        m_prompts << text;
        return QVariant(QMessageBox::No);
    });
    DlgPlot dialog(&m_document, QString());
    QCOMPARE(dialog.findChild<QLabel*>("pieceCount")->text(), QString("1, and 1 outside the page that are not cut"));
    const QString piece = "a piece of 80.0 × 60.0 mm at (500.0, 1970.0) mm";
    auto* status = dialog.findChild<QListWidget*>("status");
    const QList<QListWidgetItem*> named = status->findItems("Not cut, outside the page: " + piece, Qt::MatchExactly);
    QVERIFY(!named.isEmpty());
    // On the smallest screen the line is read whole, wrapped, not scrolled to.
    dialog.fitToScreen(QRect(0, 0, 1024, 660));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTRY_VERIFY(status->viewport()->rect().contains(status->visualItemRect(named.first())));
    QTemporaryDir folder;
    startCut(dialog, folder.filePath("job.plt"));
    QCOMPARE(m_prompts,
        QStringList("Pieces outside the page, which will not be cut: 1\n" + piece
            + "\n\nCutting will be start, do you want to continue?"));
    QVERIFY(!dialog.isRunning());
    QVERIFY(!QFile::exists(folder.filePath("job.plt")));
    // Ten are all named, with nothing "more".
    const QStringList ten = DlgPlot::outsideNote(QVector<QRectF>(10, QRectF(1, 2, 3, 4))).split('\n');
    QCOMPARE(ten.size(), 11);
    QVERIFY(!ten.last().contains("more"));
}

namespace {
// The drawn pixels' box.
QRect drawnBox(const QImage& image)
{
    QRect drawn;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0 && qGray(image.pixel(x, y)) < 128)
                drawn |= QRect(x, y, 1, 1);
    return drawn;
}
} // namespace

// From the main window's smallest screen to a large one: the dialog opens
// whole, its buttons on the screen, the preview as tall as the screen
// leaves room for, and every piece drawn whole in it at its own proportions
// (the outlines on the drawing's right and bottom edges too).
void tst_DlgPlot::fitsTheScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QString>("shapes");
    QTest::addColumn<double>("proportion"); // width : height of the drawing
    const QString tall = "<rect x=\"100\" y=\"50\" width=\"100\" height=\"1400\"/>";
    QString nested;
    for (int i = 0; i < 8; ++i)
        nested += QString("<rect x=\"%1\" y=\"%2\" width=\"60\" height=\"%3\"/>")
                      .arg(1 + i * 61)
                      .arg(1469 - (i % 3) * 20)
                      .arg(50 + (i % 3) * 20);
    QTest::newRow("tall, 1024 x 660") << QSize(1024, 660) << tall << 1 / 14.0;
    QTest::newRow("tall, 1366 x 768") << QSize(1366, 768) << tall << 1 / 14.0;
    QTest::newRow("tall, 1920 x 1080") << QSize(1920, 1080) << tall << 1 / 14.0;
    QTest::newRow("nested to the page's corner") << QSize(1366, 768) << nested << 487 / 90.0;
}

void tst_DlgPlot::fitsTheScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QString, shapes);
    QFETCH(double, proportion);
    m_document.parseSvgText(
        ("<svg xmlns=\"http://www.w3.org/2000/svg\">" + shapes + "</svg>").toStdWString(), false, false);
    m_document.setPageRect(QRectF(0, 0, 15000, 1520));
    DlgPlot dialog(&m_document, QString());
    const QRect area(QPoint(0, 0), screen);
    dialog.fitToScreen(area);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY2(area.contains(dialog.frameGeometry()),
        qPrintable(QString("%1 x %2 at %3, %4")
                       .arg(dialog.frameGeometry().width())
                       .arg(dialog.frameGeometry().height())
                       .arg(dialog.frameGeometry().x())
                       .arg(dialog.frameGeometry().y())));
    for (const char* name : { "cut", "close" }) {
        const auto* button = dialog.findChild<QPushButton*>(name);
        QVERIFY(button->isVisible() && area.contains(QRect(button->mapToGlobal(QPoint()), button->size())));
    }
    const QImage preview = dialog.findChild<QLabel*>("preview")->pixmap(Qt::ReturnByValue).toImage();
    const QRect drawn = drawnBox(preview);
    const QString seen = QString("%1 x %2 at %3, %4 in %5 x %6")
                             .arg(drawn.width())
                             .arg(drawn.height())
                             .arg(drawn.x())
                             .arg(drawn.y())
                             .arg(preview.width())
                             .arg(preview.height());
    QVERIFY2(QRect(1, 1, preview.width() - 2, preview.height() - 2).contains(drawn), qPrintable(seen));
    QVERIFY2(drawn.width() >= preview.width() - 4 || drawn.height() >= preview.height() - 4, qPrintable(seen));
    // Outlines one pixel wide: the box is a pixel larger than the drawing.
    QVERIFY2(std::abs((drawn.height() - 1) * proportion - (drawn.width() - 1)) <= 2, qPrintable(seen));
}

// A strip 300 x 200 mm on a page 3 m long: what is drawn is the strip's
// outline, across the preview's width.
void tst_DlgPlot::previewShowsTheDrawing()
{
    loadPage(page(100, 400));
    DlgPlot dialog(&m_document, QString());
    dialog.fitToScreen(QRect(0, 0, 1920, 1080));
    const QImage preview = dialog.findChild<QLabel*>("preview")->pixmap(Qt::ReturnByValue).toImage();
    const QRect drawn = drawnBox(preview);
    QVERIFY2(drawn.width() > preview.width() * 0.9 && std::abs(double(drawn.width()) / drawn.height() - 1.5) < 0.05,
        qPrintable(QString("%1 x %2").arg(drawn.width()).arg(drawn.height())));
}

// A frame shorter than the plotter's smallest is refused, naming the
// range, before anything is asked or cut; the smallest itself is cut.
void tst_DlgPlot::frameLengthRefusedBeforeCutting_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("prompt"); // the first
    QTest::newRow("under the smallest") << "99.5"
                                        << "Frame length: enter a number from 100 to 100000 mm.";
    QTest::newRow("the smallest") << "100"
                                  << "Cutting will be start, do you want to continue?";
}

void tst_DlgPlot::frameLengthRefusedBeforeCutting()
{
    QFETCH(QString, typed);
    QFETCH(QString, prompt);
    loadPage(page(100, 400));
    DlgPlot dialog(&m_document, QString());
    QSignalSpy ended(&dialog, &DlgPlot::jobEnded);
    dialog.findChild<QLineEdit*>("frameLength")->setText(typed);
    QTemporaryDir folder;
    startCut(dialog, folder.filePath("frame.plt"));
    QCOMPARE(m_prompts.value(0), prompt);
    if (prompt.startsWith("Frame"))
        QCOMPARE(ended.size(), 0);
    else
        QTRY_VERIFY_WITH_TIMEOUT(ended.size() == 1 && ended.first().first().toBool(), 60000);
}

// Turned a quarter and mirrored by the cut settings, on a roll 600 mm
// wide: a strip 400 mm long fits across the roll and is cut within it; one
// 700 mm long does not, and is refused, named, before anything is sent.
void tst_DlgPlot::turnedJobStaysOnTheRoll_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("fits");
    QTest::newRow("fits once turned") << 400 << true;
    QTest::newRow("wider than the roll once turned") << 700 << false;
}

void tst_DlgPlot::turnedJobStaysOnTheRoll()
{
    QFETCH(int, length);
    QFETCH(bool, fits);
    QSettings local;
    local.setValue("hpgl/PlotRotation", 90);
    local.setValue("hpgl/PlotMirrorX", true);
    loadPage(page(100, 100 + length));
    DlgPlot dialog(&m_document, QString());
    QSignalSpy ended(&dialog, &DlgPlot::jobEnded);
    QTemporaryDir folder;
    const QString output = folder.filePath("job.plt");
    startCut(dialog, output);
    local.remove("hpgl");
    const QString refusal = QString("Turned, mirrored or aligned as the cut settings say, a piece of %1.0 × 200.0 mm "
                                    "at (100.0, 100.0) mm crosses the page's edge.")
                                .arg(length);
    if (!fits) {
        QCOMPARE(m_prompts, QStringList(refusal));
        QVERIFY(!dialog.findChild<QListWidget*>("status")->findItems(refusal, Qt::MatchExactly).isEmpty());
        QVERIFY(!dialog.isRunning());
        QVERIFY(!QFile::exists(output));
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
    // The preview shows the job as cut: turned, taller than wide.
    const QRect drawn = drawnBox(dialog.findChild<QLabel*>("preview")->pixmap(Qt::ReturnByValue).toImage());
    QVERIFY(drawn.height() > drawn.width());
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QRectF reached;
    for (const QPolygonF& line : TestHpgl::laidOut(file.readAll(), 40, 1000))
        reached |= line.boundingRect();
    QVERIFY2(QRectF(0, 0, 3000, 600).adjusted(-0.05, -0.05, 0.05, 0.05).contains(reached),
        qPrintable(
            QString("%1 x %2 at %3, %4").arg(reached.width()).arg(reached.height()).arg(reached.x()).arg(reached.y())));
    QVERIFY(reached.height() > length - 0.1);
}

ZOCUT_TEST_MAIN(tst_DlgPlot)

#include "tst_DlgPlot.moc"
