// Runs the whole program as a person meets it: on a display of its own under
// a window manager, maximised, with real pointer and key input through the X
// server. The scripts in sequences/ are input that has brought it down
// before; the random run sends a seeded stream of every kind of input, on a
// template and on a new drawing. Each fails on the program ending, a
// sanitizer report, or an event loop that answers nothing for 10 s; after
// its input, on a canvas item that shows no element of its document, or a
// history that does not undo and redo to the same SVG text. A failure says
// how to replay it and keeps screenshots of its last steps.
//
// The random run reads ZOCUT_RANDOM_SEED, ZOCUT_RANDOM_STEPS and
// ZOCUT_RANDOM_SECONDS (scripts/random-run.sh sets them); a script file named
// by ZOCUT_INPUT_SCRIPT joins the scripts.

#include "LogHandler.h"
#include "Playback.h"
#include "ProgramRun.h"
#include "RandomSteps.h"
#include "StandInSession.h"
#include "StepPlayer.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>

namespace {
const quint64 kSeed = 1;
const int kSteps = 300;

struct Session
{
    QString account = QStringLiteral("13800000001");
    QString password = QStringLiteral("zocut123");
    bool openTemplate = false;
};

// The lines of a script without comments and blank lines; the session lines
// ("account A P", "template") go into the session.
QStringList scriptSteps(const QString& path, Session* session)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList steps;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString step = line.section(QLatin1Char('#'), 0, 0).simplified();
        const QStringList words = step.split(QLatin1Char(' '));
        if (words[0] == "account" && words.size() == 3) {
            session->account = words[1];
            session->password = words[2];
        } else if (step == "template") {
            session->openTemplate = true;
        } else if (!step.isEmpty()) {
            steps << step;
        }
    }
    return steps;
}

QString startSignedIn(ProgramRun& run, const Session& session, const QString& label)
{
    if (run.start() && run.signIn(session.account, session.password, session.openTemplate))
        return QString();
    return run.trouble() + QStringLiteral(", while signing in\nreport: ")
        + Playback::writeReport(label, run.trouble() + run.ending());
}

QString replayCommand(quint64 seed, int steps)
{
    return QStringLiteral("scripts/random-run.sh --steps %1 %2").arg(steps).arg(seed);
}

// Every question that the program asks, in whatever language.
const QString kQuestion = QStringLiteral(" prompt ");
const QString kNoSelection = QStringLiteral("] No selected pieces!");

// How often the program has logged the text so far (its questions are
// logged as "prompt KIND [TITLE] TEXT").
int timesLogged(const QString& text)
{
    QFile log(currentLogFilePath());
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).count(text) : 0;
}

// Until the driver's "page" answer holds the field.
bool waitForPage(ProgramRun& run, const QString& field)
{
    QElapsedTimer clock;
    clock.start();
    while (!run.ask(QStringLiteral("page")).value(field).toBool()) {
        if (!run.trouble().isEmpty() || clock.elapsed() > 120000)
            return false;
        ProgramRun::pause(300);
    }
    return true;
}

// Each typed where the pages are on show: none asks a question.
void typeEditorKeys(ProgramRun& run)
{
    const int asked = timesLogged(kQuestion);
    for (const char* key : { "ctrl+s", "Delete", "ctrl+a", "ctrl+c", "ctrl+z", "ctrl+y", "ctrl+p", "ctrl+o" })
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), { "key", key }), 0);
    QVERIFY2(run.settle(), qPrintable(run.trouble() + run.ending()));
    QCOMPARE(timesLogged(kQuestion), asked);
}

quint64 environmentNumber(const char* name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}
} // namespace

class tst_ZoCutInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_session.isRunning());
        QVERIFY2(QGuiApplication::platformName() == "xcb", "runs under xvfb-run with QT_QPA_PLATFORM=xcb");
    }

    void script_data()
    {
        QTest::addColumn<QString>("path");
        const QDir folder(QStringLiteral(ZOCUT_SEQUENCES));
        for (const QFileInfo& file : folder.entryInfoList({ "*.txt" }, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file.completeBaseName())) << file.absoluteFilePath();
        if (qEnvironmentVariableIsSet("ZOCUT_INPUT_SCRIPT"))
            QTest::newRow("given") << QFileInfo(qEnvironmentVariable("ZOCUT_INPUT_SCRIPT")).absoluteFilePath();
    }

    // One script, start to end, then the audits.
    void script()
    {
        QFETCH(QString, path);
        Session session;
        const QStringList steps = scriptSteps(path, &session);
        QVERIFY2(!steps.isEmpty(), qPrintable(path));
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        const QString label = QFileInfo(path).completeBaseName();
        Playback playback(run, label);
        playback.setReplay(QStringLiteral("scripts/random-run.sh --script ") + path);
        const QString unstarted = startSignedIn(run, session, label);
        QVERIFY2(unstarted.isEmpty(), qPrintable(unstarted));
        for (int i = 0; i < steps.size(); ++i) {
            if (!playback.play(i, steps[i]))
                QFAIL(qPrintable(playback.failure()));
        }
        if (!playback.finish())
            QFAIL(qPrintable(playback.failure()));
    }

    // The editor lies under the pages: the keys of its shortcuts, typed on
    // the sign-in page or after "Data Center", ask nothing and send nothing
    // to the store. In the editor, the same Delete asks for a selection.
    void pagesTakeTheEditorsKeys()
    {
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        QVERIFY2(run.start(), qPrintable(run.trouble() + run.ending()));
        QVERIFY2(waitForPage(run, QStringLiteral("signIn")), qPrintable(run.trouble() + run.ending()));
        const int asked = timesLogged(kNoSelection);
        // A click on the page's background first, as a person's would come.
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), { "mousemove", "60", "400", "click", "1" }), 0);
        typeEditorKeys(run);

        QVERIFY2(run.signIn(QStringLiteral("13800000001"), QStringLiteral("zocut123"), false),
            qPrintable(run.trouble() + run.ending()));
        // A click on the empty canvas (the select tool lets it be), then Delete.
        const QStringList canvas
            = run.ask(QStringLiteral("layout")).value(QStringLiteral("canvas")).toString().split(' ');
        QCOMPARE(canvas.size(), 4);
        const QString x = QString::number(canvas[0].toInt() + 20);
        const QString y = QString::number(canvas[1].toInt() + 20);
        QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), { "mousemove", x, y, "click", "1", "key", "Delete" }), 0);
        QVERIFY2(run.settle(), qPrintable(run.trouble() + run.ending()));
        QTRY_COMPARE_WITH_TIMEOUT(timesLogged(kNoSelection), asked + 1, 30000);

        run.ask(QStringLiteral("dataCenter"));
        QVERIFY2(waitForPage(run, QStringLiteral("shown")), qPrintable(run.trouble() + run.ending()));
        typeEditorKeys(run);
        QCOMPARE(timesLogged(kNoSelection), asked + 1);
        for (const standin::StandInRequest& request : m_session.server().journal())
            QVERIFY2(
                !request.path.startsWith("/upload") && !request.path.contains("saveNew"), qPrintable(request.path));
    }

    // A template in the first tab and a new drawing in the second, then the
    // seeded stream: a fixed number of steps, or as many as fit in the time.
    void randomInput()
    {
        const quint64 seed = environmentNumber("ZOCUT_RANDOM_SEED", kSeed);
        const qint64 seconds = qint64(environmentNumber("ZOCUT_RANDOM_SECONDS", 0));
        const int count = int(environmentNumber("ZOCUT_RANDOM_STEPS", seconds > 0 ? INT_MAX : kSteps));
        QTemporaryDir folder;
        ProgramRun run(folder.path());
        Session session;
        session.openTemplate = true;
        const QString label = QStringLiteral("random-%1").arg(seed);
        const QString unstarted = startSignedIn(run, session, label);
        QVERIFY2(unstarted.isEmpty(), qPrintable(unstarted));
        Playback playback(run, label);
        if (!playback.play(-2, "answer none reject") || !playback.play(-1, "tab new"))
            QFAIL(qPrintable(playback.failure()));
        const QStringList tools = playback.player().toolNames();
        qInfo().noquote() << "seed" << seed << "tools:" << tools.join(QStringLiteral(", "));
        const RandomSteps steps(seed, tools);
        QElapsedTimer clock;
        clock.start();
        int played = 0;
        for (; played < count && (seconds == 0 || clock.elapsed() < seconds * 1000); ++played) {
            playback.setReplay(replayCommand(seed, played + 1));
            if (!playback.play(played, steps.step(played)))
                QFAIL(qPrintable(playback.failure()));
        }
        playback.setReplay(replayCommand(seed, played));
        qInfo().noquote() << "seed" << seed << "played" << played << "steps in" << clock.elapsed() / 1000 << "s";
        if (!playback.finish())
            QFAIL(qPrintable(playback.failure()));
    }

private:
    StandInSession m_session;
};

ZOCUT_TEST_MAIN(tst_ZoCutInput)

#include "tst_ZoCutInput.moc"
