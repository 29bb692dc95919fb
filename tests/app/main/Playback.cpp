#include "Playback.h"

#include "ProgramRun.h"

#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

namespace {
const int kKeptSteps = 50;
const int kKeptScreens = 4;

QString reportFile(const QString& label, const QString& name)
{
    return QStringLiteral(ZOCUT_SCREENSHOT_DIR "/zocut-%1-%2").arg(label, name);
}
} // namespace

Playback::Playback(ProgramRun& run, const QString& label)
    : m_run(run)
    , m_player(run)
    , m_label(label)
{
}

bool Playback::play(int index, const QString& step)
{
    m_played = index + 1;
    m_steps << QStringLiteral("%1: %2").arg(index).arg(step);
    while (m_steps.size() > kKeptSteps)
        m_steps.removeFirst();
    QString problem;
    QString note;
    if (!m_player.play(step, &problem, &note) && problem.isEmpty())
        problem = m_run.trouble().isEmpty() ? QStringLiteral("the step could not be sent") : m_run.trouble();
    // The answer comes once the event loop has taken in the step.
    const QVariantMap state = problem.isEmpty() ? m_run.ask(QStringLiteral("state")) : QVariantMap();
    m_steps.last() += QStringLiteral("  # %1 %2").arg(note, state.value("state").toString());
    qInfo().noquote() << m_label << m_steps.last();
    keepScreen(index);
    if (problem.isEmpty())
        problem = m_run.trouble();
    if (problem.isEmpty())
        return true;
    m_fault = QStringLiteral("%1, at step %2").arg(problem).arg(index);
    return false;
}

bool Playback::finish()
{
    m_player.releaseAll();
    for (const char* step : { "key Escape", "key Escape" }) {
        if (!play(m_played, QString::fromLatin1(step)))
            return false;
    }
    for (const char* audit : { "stray", "roundTrip", "stray" }) {
        const QString problems = m_run.ask(QString::fromLatin1(audit)).value("problems").toString();
        if (!m_run.trouble().isEmpty() || !problems.isEmpty()) {
            m_fault = m_run.trouble().isEmpty() ? problems : m_run.trouble();
            m_fault += QStringLiteral(", in the audit \"%1\" after the input").arg(QLatin1String(audit));
            return false;
        }
        m_run.settle();
    }
    return true;
}

QString Playback::failure() const
{
    const QString head = m_fault + QStringLiteral("\nreplay: ") + m_replay;
    QString text = head + QStringLiteral("\nlast steps:\n  ") + m_steps.join(QStringLiteral("\n  "))
        + QStringLiteral("\nscreenshots:");
    for (const QString& path : saveScreens())
        text += QStringLiteral(" ") + path;
    return head + QStringLiteral("\nreport: ") + writeReport(m_label, text + m_run.ending());
}

QString Playback::writeReport(const QString& label, const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QFile file(reportFile(label, QStringLiteral("report.txt")));
    return file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(text.toUtf8()) > 0 ? file.fileName()
                                                                                              : QString();
}

void Playback::keepScreen(int index)
{
    m_screens.append({ index, QGuiApplication::primaryScreen()->grabWindow(0).toImage() });
    while (m_screens.size() > kKeptScreens)
        m_screens.removeFirst();
}

QStringList Playback::saveScreens() const
{
    QStringList paths;
    for (const auto& screen : m_screens) {
        const QString path = reportFile(m_label, QStringLiteral("step-%1.png").arg(screen.first));
        if (screen.second.save(path))
            paths << path;
    }
    return paths;
}
