#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class ProgramRun;

// Plays the steps of an input script on the running program through the X
// server (xdotool), as a person's pointer and keys come. One step a line;
// X and Y are fractions of the canvas on show, NAME a tool's name (the text
// its action was made with), a dialog widget's object name or a button text:
//   tool NAME                      press a toolbar button
//   click X Y [shift|ctrl]         double X Y        right X Y
//   drag X1 Y1 X2 Y2 [left|right|middle] [shift|ctrl]
//   press X Y [left|right|middle]  move X Y          release X Y [left|right|middle]
//   wheel X Y up|down N [ctrl]     key KEYS (xdotool's names, e.g. ctrl+shift+z)
//   tab new | tab N | tab close N | tab menu N  (N counts the drawings' tabs, modulo)
//   answer none|ok|yes|no|cancel real|accept|reject   how questions are answered from now on
//   set NAME TEXT                  type the text into a dialog field
//   button NAME [SECONDS]          press a dialog button once it is enabled
//   wait MS
// A button held by "press" is let go before any other step presses one.
// Steps joined by ";" are played in turn as one.
class StepPlayer
{
public:
    explicit StepPlayer(ProgramRun& run);

    // Sends the step. False when it is not a step or names what is not
    // there: the reason is in problem (a note, for a step that is written
    // well but finds nothing to act on, does not fail).
    bool play(const QString& step, QString* problem, QString* note);
    // Lets go of every button still held.
    void releaseAll();
    // The names of the tools on show.
    QStringList toolNames();

private:
    bool send(const QStringList& commands);
    QStringList pressAt(const QPoint& at, int button);
    QStringList glideTo(const QPoint& to);
    QStringList releaseHeld();
    QPoint canvasPoint(const QString& x, const QString& y, bool* ok);
    bool refreshLayout();
    bool awaitLayout(const std::function<bool()>& shown);
    bool playTool(const QString& name, QString* note);
    bool playPointer(const QStringList& words, QString* problem);
    bool playTab(const QStringList& words, QString* problem, QString* note);
    bool playDialog(const QStringList& words, QString* problem);

    ProgramRun& m_run;
    QRect m_canvas;
    QVariantList m_buttons;
    QVariantList m_tabs;
    QVariantList m_tabArrows;
    QSet<int> m_held;
    QPoint m_pointer;
    QPoint m_lastPress;
    QElapsedTimer m_sinceLastPress;
};
