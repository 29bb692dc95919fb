#pragma once

#include "StepPlayer.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class ProgramRun;

// Plays steps on the running program one by one and keeps what a failure
// report needs: the last 50 steps, each with what the drawing held after it
// (as a comment, so that they still read as a script), and screenshots of
// the last few.
class Playback
{
public:
    // The label names the report and screenshot files.
    Playback(ProgramRun& run, const QString& label);

    StepPlayer& player() { return m_player; }
    // The command that replays what has been played, for the report.
    void setReplay(const QString& replay) { m_replay = replay; }

    // False once the step or the program failed.
    bool play(int index, const QString& step);
    // With the input over: no button held, no tool under way, then the
    // audits of every drawing. False on the first fault.
    bool finish();

    // Writes the whole report to the test's output and into a file beside
    // the screenshots; gives its head for the failure message, which QtTest
    // cuts short.
    QString failure() const;
    // Prints the text and keeps it in the label's report file; gives that
    // file's path.
    static QString writeReport(const QString& label, const QString& text);

private:
    void keepScreen(int index);
    QStringList saveScreens() const;

    ProgramRun& m_run;
    StepPlayer m_player;
    QString m_label;
    QString m_replay;
    QStringList m_steps;
    QList<QPair<int, QImage>> m_screens;
    QString m_fault;
    int m_played = 0;
};
