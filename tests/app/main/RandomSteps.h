#pragma once

#include <QString>
#include <QStringList>

// The steps of a seeded random-input run, in the language of StepPlayer:
// toolbar buttons, presses, drags, releases, double and right clicks, wheel
// turns, the editing keys, tabs made, switched, closed and their menu, and
// how the questions are answered. Step n depends on the seed and n alone, so
// a run replays exactly, and so does any choice of its steps.
class RandomSteps
{
public:
    RandomSteps(quint64 seed, const QStringList& tools);

    QString step(int index) const;

private:
    quint64 m_seed;
    QStringList m_tools;
};
