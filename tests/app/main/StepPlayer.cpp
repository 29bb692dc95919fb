#include "StepPlayer.h"

#include "ProgramRun.h"

#include <QHash>
#include <QMessageBox>
#include <QProcess>
#include <QVariantMap>

namespace {
// Two presses closer than this in place and time would make a double click
// that the script did not write.
const int kDoubleClickMs = 600;
const int kDoubleClickDistance = 8;
// How long a dialog may take to show a widget, unless the step says.
const int kButtonWaitSeconds = 60;
const int kMostTabScrolls = 60;

const QHash<QString, int> kMouseButtons { { "left", 1 }, { "middle", 2 }, { "right", 3 } };
const QHash<QString, int> kBoxAnswers { { "none", 0 }, { "ok", QMessageBox::Ok }, { "yes", QMessageBox::Yes },
    { "no", QMessageBox::No }, { "cancel", QMessageBox::Cancel } };
const QHash<QString, int> kDialogAnswers { { "real", -1 }, { "accept", 1 }, { "reject", 0 } };

QRect parsedRect(const QVariant& text)
{
    const QStringList numbers = text.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (numbers.size() != 4)
        return QRect();
    return QRect(numbers[0].toInt(), numbers[1].toInt(), numbers[2].toInt(), numbers[3].toInt());
}

QStringList withModifier(const QString& modifier, const QStringList& commands)
{
    if (modifier != "shift" && modifier != "ctrl")
        return commands;
    return QStringList { "keydown", modifier } + commands + QStringList { "keyup", modifier };
}

} // namespace

StepPlayer::StepPlayer(ProgramRun& run)
    : m_run(run)
{
}

bool StepPlayer::play(const QString& step, QString* problem, QString* note)
{
    if (step.contains(QLatin1Char(';'))) {
        for (const QString& part : step.split(QLatin1Char(';'))) {
            if (!play(part, problem, note) || !m_run.settle())
                return false;
        }
        return true;
    }
    const QStringList words = step.simplified().split(QLatin1Char(' '));
    const QString verb = words.value(0);
    if (verb == "tool")
        return playTool(words.mid(1).join(QLatin1Char(' ')), note);
    if (QStringList { "click", "double", "right", "drag", "press", "move", "release", "wheel" }.contains(verb))
        return playPointer(words, problem);
    if (verb == "key" && words.size() == 2)
        return send(releaseHeld() + QStringList { "key", words[1] });
    if (verb == "tab")
        return playTab(words, problem, note);
    if (verb == "answer" && kBoxAnswers.contains(words.value(1)) && kDialogAnswers.contains(words.value(2))) {
        return !m_run
                    .ask(QStringLiteral("answer"),
                        { { "button", kBoxAnswers[words[1]] }, { "dialog", kDialogAnswers[words[2]] } })
                    .isEmpty();
    }
    if (verb == "set" || verb == "button")
        return playDialog(words, problem);
    if (verb == "wait" && words.size() == 2) {
        ProgramRun::pause(words[1].toInt());
        return true;
    }
    *problem = QStringLiteral("not a step: ") + step;
    return false;
}

// A tool that a narrow toolbar hides is pressed once the toolbar unfolds.
bool StepPlayer::playTool(const QString& name, QString* note)
{
    for (int unfolded = 0; unfolded < 2 && refreshLayout(); ++unfolded) {
        QRect rect;
        QRect via;
        QSet<QString> hidden;
        for (const QVariant& button : qAsConst(m_buttons)) {
            const QVariantMap shown = button.toMap();
            if (shown.contains("via"))
                hidden << shown.value("name").toString();
            if (shown.value("name").toString() != name)
                continue;
            rect = rect.isEmpty() ? parsedRect(shown.value("rect")) : rect;
            via = via.isEmpty() ? parsedRect(shown.value("via")) : via;
        }
        if (!rect.isEmpty())
            return send(releaseHeld() + pressAt(rect.center(), 1));
        // The unfolded toolbar shows what it hid as the entries of a menu.
        const auto unfolds = [this, &hidden] {
            for (const QVariant& button : qAsConst(m_buttons)) {
                const QVariantMap shown = button.toMap();
                if (!shown.contains("via") && hidden.contains(shown.value("name").toString()))
                    return true;
            }
            return false;
        };
        if (unfolded > 0 || via.isEmpty() || !send(releaseHeld() + pressAt(via.center(), 1)) || !awaitLayout(unfolds))
            break;
    }
    if (m_run.trouble().isEmpty())
        *note = QStringLiteral("no such tool on show");
    return m_run.trouble().isEmpty();
}

bool StepPlayer::playPointer(const QStringList& words, QString* problem)
{
    const QString verb = words[0];
    bool ok = refreshLayout() && !m_canvas.isEmpty();
    const QPoint at = canvasPoint(words.value(1), words.value(2), &ok);
    const QString last = words.last();
    if (verb == "drag") {
        const QPoint to = canvasPoint(words.value(3), words.value(4), &ok);
        const int button = kMouseButtons.value(words.value(5), 1);
        QStringList commands = releaseHeld() + pressAt(at, 0);
        commands << "mousedown" << QString::number(button) << "sleep"
                 << "0.05";
        commands += glideTo(to);
        commands << "mouseup" << QString::number(button) << "sleep"
                 << "0.03";
        return ok && send(withModifier(last, commands));
    }
    if (verb == "press") {
        const int button = kMouseButtons.value(words.value(3), 1);
        QStringList commands = releaseHeld() + pressAt(at, 0);
        commands << "mousedown" << QString::number(button);
        m_held.insert(button);
        return ok && send(commands);
    }
    if (verb == "move")
        return ok && send(glideTo(at));
    if (verb == "release") {
        const int button = kMouseButtons.value(words.value(3), 1);
        m_held.remove(button);
        return ok && send(glideTo(at) + QStringList { "mouseup", QString::number(button) });
    }
    if (verb == "wheel" && (words.value(3) == "up" || words.value(3) == "down")) {
        const QString button = words[3] == "up" ? "4" : "5";
        const QStringList turns { "click", "--repeat", QString::number(qBound(1, words.value(4).toInt(), 10)),
            "--delay", "40", button };
        return ok && send(releaseHeld() + glideTo(at) + withModifier(last, turns));
    }
    if (verb == "click")
        return ok && send(releaseHeld() + withModifier(last, pressAt(at, 1)));
    if (verb == "right")
        return ok && send(releaseHeld() + pressAt(at, 3));
    if (verb == "double") {
        QStringList commands = releaseHeld() + pressAt(at, 0);
        commands << "click"
                 << "--repeat"
                 << "2"
                 << "--delay"
                 << "60"
                 << "1";
        return ok && send(commands);
    }
    *problem = QStringLiteral("not a step: ") + words.join(QLatin1Char(' '));
    return false;
}

// A tab scrolled out of sight comes into it by the tab bar's arrows first.
bool StepPlayer::playTab(const QStringList& words, QString* problem, QString* note)
{
    const QString what = words.value(1);
    const bool indexed = what == "close" || what == "menu";
    bool ok = true;
    const int index = what == "new" ? 0 : (indexed ? words.value(2).toInt(&ok) : what.toInt(&ok));
    if (!ok || index < 0) {
        *problem = QStringLiteral("not a step: ") + words.join(QLatin1Char(' '));
        return false;
    }
    for (int scrolls = 0; scrolls <= kMostTabScrolls && refreshLayout(); ++scrolls) {
        // The last tab is the one that makes a new drawing.
        const int drawings = m_tabs.size() - 1;
        if (drawings < 1)
            break;
        const int target = what == "new" ? drawings : index % drawings;
        const QVariantMap tab = m_tabs[target].toMap();
        const QRect rect = parsedRect(tab.value("rect"));
        if (!rect.isEmpty() && what == "close") {
            const QRect close = parsedRect(tab.value("close"));
            if (close.isEmpty())
                break;
            return send(releaseHeld() + pressAt(close.center(), 1));
        }
        if (!rect.isEmpty())
            return send(releaseHeld() + pressAt(rect.center(), what == "menu" ? 3 : 1));
        int firstInSight = 0;
        while (firstInSight < m_tabs.size() && parsedRect(m_tabs[firstInSight].toMap().value("rect")).isEmpty())
            ++firstInSight;
        const QRect arrow = parsedRect(m_tabArrows.value(target < firstInSight ? 0 : 1));
        const QVariantList before = m_tabs;
        if (arrow.isEmpty() || !send(releaseHeld() + pressAt(arrow.center(), 1))
            || !awaitLayout([this, &before] { return m_tabs != before; }))
            break;
    }
    if (m_run.trouble().isEmpty())
        *note = QStringLiteral("no such tab on show");
    return m_run.trouble().isEmpty();
}

bool StepPlayer::playDialog(const QStringList& words, QString* problem)
{
    const QString name = words.value(1);
    const int seconds = words[0] == "button" && words.size() > 2 ? words[2].toInt() : kButtonWaitSeconds;
    QElapsedTimer clock;
    clock.start();
    QVariantMap widget;
    for (;;) {
        widget = m_run.ask(QStringLiteral("widget"), { { "name", name } });
        if (!m_run.trouble().isEmpty())
            return false;
        if (widget.value("enabled").toBool())
            break;
        if (clock.elapsed() > seconds * 1000) {
            *problem = QStringLiteral("no enabled \"%1\" on show within %2 s").arg(name).arg(seconds);
            return false;
        }
        ProgramRun::pause(200);
    }
    QStringList commands = releaseHeld() + pressAt(parsedRect(widget.value("rect")).center(), 1);
    if (words[0] == "set") {
        commands << "key"
                 << "ctrl+a"
                 << "type" << words.mid(2).join(QLatin1Char(' '));
    }
    return send(commands);
}

void StepPlayer::releaseAll()
{
    send(releaseHeld());
}

QStringList StepPlayer::toolNames()
{
    QStringList names;
    if (refreshLayout()) {
        for (const QVariant& button : qAsConst(m_buttons))
            names << button.toMap().value("name").toString();
    }
    names.removeAll(QString());
    names.sort();
    return names;
}

bool StepPlayer::send(const QStringList& commands)
{
    return commands.isEmpty() || QProcess::execute(QStringLiteral("xdotool"), commands) == 0;
}

// Moves there and, with a button, clicks it; waits first where the press
// would make a double click with the last one.
QStringList StepPlayer::pressAt(const QPoint& at, int button)
{
    QStringList commands;
    if (m_sinceLastPress.isValid() && (at - m_lastPress).manhattanLength() < kDoubleClickDistance
        && m_sinceLastPress.elapsed() < kDoubleClickMs)
        ProgramRun::pause(int(kDoubleClickMs - m_sinceLastPress.elapsed()));
    commands += glideTo(at);
    if (button > 0)
        commands << "mousedown" << QString::number(button) << "sleep"
                 << "0.05"
                 << "mouseup" << QString::number(button) << "sleep"
                 << "0.03";
    m_lastPress = at;
    m_sinceLastPress.start();
    return commands;
}

// The pointer goes there the way a hand takes it, through a few places on
// the way, each one a move that the program sees.
QStringList StepPlayer::glideTo(const QPoint& to)
{
    const QPoint from = m_pointer;
    const int moves = qBound(1, (to - from).manhattanLength() / 100, 6);
    QStringList commands;
    for (int i = 1; i <= moves; ++i) {
        const QPoint at = from + (to - from) * i / moves;
        commands << "mousemove" << QString::number(at.x()) << QString::number(at.y()) << "sleep"
                 << "0.01";
    }
    m_pointer = to;
    return commands;
}

QStringList StepPlayer::releaseHeld()
{
    QStringList commands;
    for (int button : qAsConst(m_held))
        commands << "mouseup" << QString::number(button);
    m_held.clear();
    return commands;
}

QPoint StepPlayer::canvasPoint(const QString& x, const QString& y, bool* ok)
{
    bool xOk = false;
    bool yOk = false;
    const double fx = x.toDouble(&xOk);
    const double fy = y.toDouble(&yOk);
    *ok = *ok && xOk && yOk;
    return m_canvas.topLeft()
        + QPoint(qRound(qBound(0.0, fx, 1.0) * (m_canvas.width() - 1)),
            qRound(qBound(0.0, fy, 1.0) * (m_canvas.height() - 1)));
}

// The program takes a press in at its own pace, and the channel may be
// answered first: the layout is asked for again until it shows what the
// press was for, within the time that the program has to answer at all.
bool StepPlayer::awaitLayout(const std::function<bool()>& shown)
{
    QElapsedTimer clock;
    clock.start();
    while (refreshLayout()) {
        if (shown())
            return true;
        if (clock.elapsed() > ProgramRun::kSilentMs)
            return false;
        ProgramRun::pause(50);
    }
    return false;
}

bool StepPlayer::refreshLayout()
{
    const QVariantMap layout = m_run.ask(QStringLiteral("layout"));
    m_canvas = parsedRect(layout.value("canvas"));
    m_buttons = layout.value("buttons").toList();
    m_tabs = layout.value("tabs").toList();
    m_tabArrows = layout.value("tabArrows").toList();
    return !layout.isEmpty();
}
