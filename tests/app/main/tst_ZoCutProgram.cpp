// Runs the real program on a display of its own (Xvfb) against the stand-in,
// has it sign in, open a template and reopen a saved version, and keeps a
// screenshot of the result; draws a rectangle with the pointer and keeps a
// screenshot of that; runs the editing commands in a new drawing, with the
// pointer, keys and the driver's calls, checking what each did; then once
// more under a window manager. The page driver logs its steps as "driver: ...".
// Every step waits for what it expects to see, with a generous deadline,
// never for a time: on a busy machine a step may take many times as long.

#include "BlowfishFileCipher.h"
#include "CGlobalConfig.h"
#include "LogHandler.h"
#include "StandInSession.h"
#include "TestEnvironment.h"
#include "XcbWindows.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <signal.h>

using XcbWindows::owned;
using XcbWindows::rootWindows;

namespace {
const int kStartMs = 120000;
// The longest that one step may take; the driver gives up on a step that
// long too.
const int kStepMs = 180000;
const QString kSignInShown = QStringLiteral("driver: sign-in page shown");

QString log()
{
    QFile file(currentLogFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// What happened last, for a failure message.
QByteArray steps()
{
    return log().right(4000).toUtf8();
}

// False when the time runs out or the driver gives up first. Looks again
// every 200 ms.
bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs || log().contains("driver: gave up"))
            return false;
        QTest::qWait(200);
    }
    return true;
}

bool waitForLog(const QString& line, int timeoutMs)
{
    return waitFor([&line] { return log().contains(line); }, timeoutMs);
}

std::unique_ptr<QProcess> startProgram(const QString& folder)
{
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZOCUT_PAGE_DRIVER", QStringLiteral(ZOCUT_DRIVERS "/driver.qml"));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // Leaks of the display libraries are not what this run is about.
    environment.insert("ASAN_OPTIONS", "detect_leaks=0");
    program->setProcessEnvironment(environment);
    program->setProcessChannelMode(QProcess::ForwardedChannels);
    program->setWorkingDirectory(folder);
    program->start(ZOCUT_PROGRAM, QStringList());
    return program;
}

// What the window manager made of each client window, asked of the X server
// itself: the window that it put around the client at the top of the tree.
QList<QRect> managedFrames(QRect* screenRect, bool* managed = nullptr)
{
    QList<QRect> frames;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    *screenRect = QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    if (managed)
        *managed = !rootWindows(connection, screen->root, "_NET_SUPPORTING_WM_CHECK").isEmpty();
    for (xcb_window_t frame : rootWindows(connection, screen->root, "_NET_CLIENT_LIST")) {
        for (auto tree = owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr));
             tree && tree->parent != screen->root;
             tree = owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr)))
            frame = tree->parent;
        const auto box = owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, frame), nullptr));
        if (box)
            frames << QRect(box->x, box->y, box->width + 2 * box->border_width, box->height + 2 * box->border_width);
    }
    xcb_disconnect(connection);
    return frames;
}

// The rest of the last line that holds the prefix, without the place in the
// source that the log adds.
QString loggedLine(const QString& prefix)
{
    const QString text = log();
    const int start = text.lastIndexOf(prefix);
    return start < 0 ? QString()
                     : text.mid(start + prefix.size()).section(QLatin1Char('\n'), 0, 0).section(" (file:", 0, 0);
}

// "x y width height" after " at " in the text, or at its start.
QRect rectAt(const QString& text)
{
    const QStringList numbers = text.section(QStringLiteral(" at "), -1).split(QLatin1Char(' '));
    if (numbers.size() < 4)
        return QRect();
    return QRect(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt());
}

QRect loggedRect(const QString& prefix)
{
    return rectAt(loggedLine(prefix));
}

// The pointer and its button, as a person moves them: through the X server.
bool pointer(const QStringList& steps)
{
    return QProcess::execute(QStringLiteral("xdotool"), steps) == 0;
}

QStringList moveTo(const QPoint& point)
{
    return { "mousemove", QString::number(point.x()), QString::number(point.y()), "sleep", "0.2" };
}

QStringList clickAt(const QPoint& point)
{
    return moveTo(point) + QStringList { "click", "1", "sleep", "0.3" };
}

bool click(const QPoint& point)
{
    return pointer(clickAt(point));
}

QImage grabScreen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

// Some colours sampled over the screen: a window shows, not a bare screen.
bool showsWindow(const QImage& shot)
{
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 7) {
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, y));
    }
    return colours.size() > 8;
}

// Presses at one corner, passes the middle and lets go at the other.
QStringList dragOver(const QRect& rect)
{
    return moveTo(rect.topLeft()) + QStringList { "mousedown", "1", "sleep", "0.2" } + moveTo(rect.center())
        + moveTo(rect.bottomRight()) + QStringList { "mouseup", "1", "sleep", "0.3" };
}

// Where the first drawing goes on the canvas.
QRect drawingRect(const QRect& canvas)
{
    return QRect(canvas.center() - QPoint(120, 70), canvas.center() + QPoint(110, 80));
}

// What the driver reads back after a command: "pieces P selected S first F
// scale Z text H idle I tab T".
struct Drawing
{
    int pieces = -1;
    int selected = -1;
    double scale = 0;
    QString text;
    QString tab;
};

Drawing parsedDrawing(const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '));
    Drawing drawing;
    if (words.size() < 11)
        return drawing;
    drawing.pieces = words[1].toInt();
    drawing.selected = words[3].toInt();
    drawing.scale = words[7].toDouble();
    drawing.text = words[9];
    drawing.tab = line.section(QStringLiteral(" tab "), 1);
    return drawing;
}

QByteArray fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether the last drawing shows what the named command does to the one before.
// Mirroring copies the pieces beside them; the union makes one piece of
// each overlapping pair.
bool commandDid(const QString& name, const QList<Drawing>& drawings, const QDir& folder)
{
    static const QHash<QString, int> pieces { { "New", 0 }, { "Rectangle", 1 }, { "Circle", 2 }, { "Combine", 1 },
        { "Ungroup", 2 }, { "Mirror", 4 }, { "Union", 2 }, { "Löschen", 0 } };
    const Drawing& now = drawings.constLast();
    const Drawing was = drawings.size() > 1 ? drawings[drawings.size() - 2] : Drawing();
    if (pieces.contains(name))
        return now.pieces == pieces[name];
    if (name == "Undo" || name == "Redo")
        return drawings.size() > 2 && now.text == drawings[drawings.size() - 3].text;
    if (name == "rectangle")
        return now.selected == 1;
    if (name == "ctrl+a")
        return now.selected > std::max(1, was.selected);
    if (name == "Zoom In" || name == "Zoom Out")
        return (now.scale > was.scale) == (name == "Zoom In") && now.text == was.text;
    if (name == "Save As")
        return now.tab.startsWith("drawing") && fileText(folder.filePath("drawing.svg")).contains("<svg");
    if (name == "PNG")
        return !QImage(folder.filePath("drawing.png")).isNull();
    return now.pieces == was.pieces && now.text != was.text;
}

// The share of the rectangle's outline, sampled every other pixel, where the
// screen changed (within a pixel).
double changedOutline(const QImage& before, const QImage& after, const QRect& rect)
{
    QVector<QPoint> samples;
    for (int x = rect.left(); x <= rect.right(); x += 2)
        samples << QPoint(x, rect.top()) << QPoint(x, rect.bottom());
    for (int y = rect.top(); y <= rect.bottom(); y += 2)
        samples << QPoint(rect.left(), y) << QPoint(rect.right(), y);
    int changed = 0;
    for (const QPoint& sample : qAsConst(samples)) {
        bool differs = false;
        for (int dy = -1; dy <= 1 && !differs; ++dy) {
            for (int dx = -1; dx <= 1 && !differs; ++dx) {
                const QPoint p = sample + QPoint(dx, dy);
                differs = before.rect().contains(p) && before.pixel(p) != after.pixel(p);
            }
        }
        changed += differs ? 1 : 0;
    }
    return samples.isEmpty() ? 0 : double(changed) / samples.size();
}

void stop(QProcess* program)
{
    if (program && program->state() != QProcess::NotRunning) {
        program->kill();
        program->waitForFinished(10000);
    }
}
} // namespace

class tst_ZoCutProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_session.isRunning());
        QVERIFY2(QGuiApplication::platformName() == "xcb", "runs under xvfb-run with QT_QPA_PLATFORM=xcb");
    }

    void cleanupTestCase() { stop(m_first.get()); }

    void signInAndOpenDesigns()
    {
        m_first = startProgram(m_folder.path());
        QVERIFY(m_first->waitForStarted(10000));
        QVERIFY2(waitForLog(kSignInShown, kStartMs), steps());
        // Full screen, as a person would have it, before anything is opened:
        // without a window manager the window keeps its first size, too
        // small for the whole toolbar.
        QVERIFY(pointer({ "search", "--onlyvisible", "--classname", "zocut", "windowmove", "--sync", "%@", "0", "0",
            "windowsize", "--sync", "%@", "100%", "100%" }));
        QVERIFY2(waitForLog("driver: signed in", kStepMs), steps());
        QVERIFY2(log().contains("driver: page buttons Datenzentrum|Designzentrum"), steps());
        QVERIFY2(waitForLog("driver: opened 奥迪 A4L 2020 豪华型 左前门", kStepMs), steps());

        // The package came from the design host, after the view was counted.
        auto& server = m_session.server();
        QCOMPARE(server.requestCount("/api/user/loginNewNNNN"), 1);
        QCOMPARE(server.requestCount("/api/template_new/view"), 1);
        QCOMPARE(server.requestCount("/designs/door_front_left.pdb"), 1);
        QVERIFY(!log().contains("[Warring]"));

        // Back through "Data Center" to the saved versions, whose newest one
        // opens in a tab of its own.
        QVERIFY2(waitForLog("driver: reopened 方案 45", kStepMs), steps());
        QCOMPARE(server.requestCount("/api/template/myTemplateNew"), 1);

        // The editor face: the page buttons on the strip above the open design.
        QImage shown;
        QVERIFY2(waitFor([&shown] { return showsWindow(shown = grabScreen()); }, kStepMs), "the screen shows a window");
        QVERIFY(shown.save(ZOCUT_SCREENSHOT));
    }

    // A new user's first drawing: the rectangle tool, then a drag across the
    // canvas, which shows the rectangle's outline where the drag went.
    void drawRectangle()
    {
        QVERIFY(m_first && m_first->state() == QProcess::Running);
        // Logged once the window shows every button that the commands press.
        QVERIFY2(waitForLog("driver: canvas at ", kStepMs), steps());
        const QRect tool = loggedRect("driver: rectangle tool at ");
        const QRect canvas = loggedRect("driver: canvas at ");
        QVERIFY2(!tool.isEmpty() && canvas.width() > 300 && canvas.height() > 200, steps());
        const QImage before = grabScreen();
        const QRect drawn = drawingRect(canvas);
        QVERIFY(click(tool.center()) && pointer(dragOver(drawn)));
        QImage after;
        double outline = 0;
        waitFor([&] { return (outline = changedOutline(before, after = grabScreen(), drawn)) > 0.9; }, kStepMs);
        QVERIFY(after.save(ZOCUT_DRAWN_SCREENSHOT));
        QVERIFY2(outline > 0.9, qPrintable(QString::number(outline)));
        QVERIFY(!log().contains("[Warring]"));
    }

    // The driver announces each command: the test presses its button, keys
    // it, draws or clicks with it, and checks what the drawing holds after.
    void editWithTheCommands()
    {
        QVERIFY(m_first && m_first->state() == QProcess::Running);
        const QRect canvas = loggedRect("driver: canvas at ");
        const QRect drawn = drawingRect(canvas);
        // What the pointer does after pressing a tool, or for a click. Picking
        // a piece is away from the drawing tool first, as a person would.
        const QStringList centre = clickAt(canvas.center());
        const QHash<QString, QStringList> strokes { { "Rectangle", dragOver(drawn) },
            { "Circle", dragOver(QRect(canvas.center() + QPoint(160, -60), QSize(120, 120))) },
            { "rectangle", QStringList { "key", "Escape" } + clickAt(QPoint(drawn.left(), drawn.center().y())) },
            { "Mirror", clickAt(drawn.topLeft() - QPoint(40, 0)) + clickAt(drawn.bottomLeft() - QPoint(40, 0)) },
            { "Zoom In", centre }, { "Zoom Out", centre } };
        const QDir folder(m_folder.path());
        QList<Drawing> drawings;
        for (int n = 0; !log().contains("driver: commands done"); ++n) {
            const QString tag = QStringLiteral("driver: #%1 ").arg(n);
            QVERIFY2(waitForLog(tag, kStepMs), steps());
            const QString act = loggedLine(tag);
            const QString verb = act.section(' ', 0, 0);
            const QString name = act.section(' ', 1).section(" at ", 0, 0);
            if (verb == "press" || verb == "draw")
                QVERIFY2(click(rectAt(act).center()), qPrintable(act));
            if (verb == "draw" || verb == "click")
                QVERIFY2(pointer(strokes.value(name)), qPrintable(act));
            else if (verb == "key")
                QVERIFY(pointer({ "key", name }));
            // The driver tells once the drawing shows the command's work.
            QVERIFY2(waitForLog(tag + "after ", kStepMs), steps());
            const QString after = loggedLine(tag + "after ");
            drawings << parsedDrawing(after.section(": ", 1));
            QVERIFY2(commandDid(after.section(": ", 0, 0), drawings, folder), qPrintable(after));
        }
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(ZOCUT_COMMANDS_SCREENSHOT));
        QVERIFY(!log().contains("[Warring]"));
    }

    void secondInstanceRefused()
    {
        QVERIFY(m_first && m_first->state() == QProcess::Running);
        std::unique_ptr<QProcess> second = startProgram(m_folder.path());
        QVERIFY(second->waitForFinished(kStartMs));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY2(log().contains("[Warning] Application is running!"), steps());
        QCOMPARE(m_first->state(), QProcess::Running);
    }

    void killedInstanceDoesNotLockOut()
    {
        QVERIFY(m_first && m_first->state() == QProcess::Running);
        ::kill(pid_t(m_first->processId()), SIGKILL);
        QVERIFY(m_first->waitForFinished(10000));
        const int shown = log().count(kSignInShown);

        std::unique_ptr<QProcess> next = startProgram(m_folder.path());
        waitFor([&] { return log().count(kSignInShown) > shown || next->state() == QProcess::NotRunning; }, kStartMs);
        const bool running = next->state() == QProcess::Running;
        stop(next.get());
        QVERIFY2(running, steps());
        QCOMPARE(log().count(kSignInShown), shown + 1);
    }

    // A drawing left behind by a run in German: the question whether to
    // bring it back is asked in German, before anyone signs in.
    void recoveryAsksInTheLastLanguage()
    {
        QSettings().setValue(QStringLiteral("lang"), QStringLiteral("ger"));
        QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
        QVERIFY(folder.mkpath(QStringLiteral("autosave")));
        QFile copy(folder.filePath(QStringLiteral("autosave/Entwurf")));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(BlowfishFileCipher(g_config.getCipherKey()).encrypt("<svg><rect width='5' height='5'/></svg>"));
        copy.close();
        const int asked = log().count(QStringLiteral("Automatisch gespeicherte Dokumente wiederherstellen?"));
        std::unique_ptr<QProcess> program = startProgram(m_folder.path());
        const bool german = waitFor(
            [&] { return log().count(QStringLiteral("Automatisch gespeicherte Dokumente wiederherstellen?")) > asked; },
            kStartMs);
        stop(program.get());
        QVERIFY2(german, steps());
    }

    // Under a window manager the window appears whole: its frame, title bar
    // and all, lies inside the screen.
    void framedInsideTheScreen()
    {
        QProcess windowManager;
        windowManager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        QVERIFY2(windowManager.waitForStarted(10000), "openbox is installed");
        QRect screen;
        bool managed = false;
        QVERIFY(waitFor([&] { return managedFrames(&screen, &managed).isEmpty() && managed; }, kStepMs));
        std::unique_ptr<QProcess> program = startProgram(m_folder.path());
        QList<QRect> frames;
        const bool inside = waitFor(
            [&] {
                frames = managedFrames(&screen);
                return frames.size() == 1 && screen.contains(frames.constFirst());
            },
            kStartMs);
        stop(program.get());
        stop(&windowManager);
        QString seen;
        QDebug(&seen) << "frames" << frames << "on screen" << screen;
        QVERIFY2(inside, qPrintable(seen));
    }

private:
    StandInSession m_session;
    // The program's working folder, where its file dialogs choose.
    QTemporaryDir m_folder;
    std::unique_ptr<QProcess> m_first;
};

ZOCUT_TEST_MAIN(tst_ZoCutProgram)

#include "tst_ZoCutProgram.moc"
