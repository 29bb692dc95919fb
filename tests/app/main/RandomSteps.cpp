#include "RandomSteps.h"

namespace {
// SplitMix64: the same numbers from the same seed on every machine and
// library, which the standard distributions do not promise.
class Numbers
{
public:
    explicit Numbers(quint64 state)
        : m_state(state)
    {
    }

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    int below(int bound) { return bound > 0 ? int(next() % quint64(bound)) : 0; }
    bool oneIn(int n) { return below(n) == 0; }

    template <typename T, int N> const T& pick(const T (&choices)[N]) { return choices[below(N)]; }

    // A place on the canvas, off its very edges.
    QString fraction() { return QString::number(0.03 + below(941) / 1000.0, 'f', 3); }

    // Mostly a short way from the point, at times anywhere.
    QString near(const QString& from)
    {
        if (oneIn(3))
            return fraction();
        const double to = qBound(0.03, from.toDouble() + (below(301) - 150) / 1000.0, 0.97);
        return QString::number(to, 'f', 3);
    }

private:
    quint64 m_state;
};

enum Kind {
    Tool,
    Shape,
    Click,
    Drag,
    Press,
    Move,
    Release,
    Double,
    Right,
    Wheel,
    Key,
    NewTab,
    SwitchTab,
    CloseTab,
    TabMenu,
    Answer
};

// How often each kind comes, out of the sum.
const struct
{
    Kind kind;
    int weight;
} kWeights[] = { { Tool, 18 }, { Shape, 8 }, { Click, 12 }, { Drag, 10 }, { Press, 3 }, { Move, 3 }, { Release, 3 },
    { Double, 4 }, { Right, 4 }, { Wheel, 6 }, { Key, 18 }, { NewTab, 2 }, { SwitchTab, 4 }, { CloseTab, 1 },
    { TabMenu, 1 }, { Answer, 3 } };

const char* const kKeys[]
    = { "Escape", "Delete", "Left", "Right", "Up", "Down", "ctrl+a", "ctrl+z", "ctrl+shift+z", "Escape", "Delete" };
const char* const kDragButtons[] = { "left", "left", "left", "left", "right", "middle" };
const char* const kPressButtons[] = { "left", "left", "right", "middle" };
// How a path drawn with the Pen ends.
const char* const kPathEnds[] = { "click %1 %2", "key Escape", "right %3 %4", "double %3 %4" };
const char* const kBoxAnswers[] = { "none", "ok", "yes", "no", "cancel" };
const char* const kDialogAnswers[] = { "accept", "reject" };

// A piece drawn whole, so that the stream has pieces to work on: a
// rectangle or a circle dragged out, or a path of a few points that ends
// one of the ways a path ends.
// A piece drawn whole, so that the stream has pieces to work on: a
// rectangle or a circle dragged out, or a path of a few points that ends
// one of the ways a path ends. (Each number is drawn in a statement of its
// own: the order in which a call's arguments are worked out is open.)
QString shape(Numbers& numbers, const QString& x, const QString& y)
{
    const int kind = numbers.below(3);
    const QString toX = numbers.near(x);
    const QString toY = numbers.near(y);
    if (kind < 2)
        return QStringLiteral("tool %1 ; drag %2 %3 %4 %5").arg(kind == 0 ? "Rectangle" : "Circle", x, y, toX, toY);
    QString path = QStringLiteral("tool Pen ; click %1 %2 ; click %3 %4").arg(x, y, toX, toY);
    for (int points = numbers.below(4); points > 0; --points) {
        const QString pointX = numbers.near(x);
        const QString pointY = numbers.near(y);
        path += QStringLiteral(" ; click %1 %2").arg(pointX, pointY);
    }
    QString end = QString::fromLatin1(numbers.pick(kPathEnds));
    const QString endX = numbers.near(x);
    const QString endY = numbers.near(y);
    end.replace(QLatin1String("%1"), x).replace(QLatin1String("%2"), y);
    return path + QStringLiteral(" ; ") + end.replace(QLatin1String("%3"), endX).replace(QLatin1String("%4"), endY);
}

Kind kindOf(Numbers& numbers)
{
    int total = 0;
    for (const auto& weight : kWeights)
        total += weight.weight;
    int chosen = numbers.below(total);
    for (const auto& weight : kWeights) {
        if (chosen < weight.weight)
            return weight.kind;
        chosen -= weight.weight;
    }
    return Tool;
}
} // namespace

RandomSteps::RandomSteps(quint64 seed, const QStringList& tools)
    : m_seed(seed)
    , m_tools(tools)
{
}

QString RandomSteps::step(int index) const
{
    Numbers numbers(m_seed * 0x100000001B3ull + quint64(index));
    numbers.next();
    const QString x = numbers.fraction();
    const QString y = numbers.fraction();
    const QString modifier = numbers.oneIn(5) ? QStringLiteral(" shift") : QString();
    switch (kindOf(numbers)) {
    case Tool:
        return m_tools.isEmpty() ? QStringLiteral("key Escape")
                                 : QStringLiteral("tool ") + m_tools[numbers.below(m_tools.size())];
    case Shape:
        return shape(numbers, x, y);
    case Click:
        return QStringLiteral("click %1 %2%3").arg(x, y, modifier);
    case Drag: {
        const QString button = numbers.pick(kDragButtons);
        const QString toX = numbers.near(x);
        const QString toY = numbers.near(y);
        return QStringLiteral("drag %1 %2 %3 %4 %5%6")
            .arg(x, y, toX, toY, button, button == "left" ? modifier : QString());
    }
    case Press:
        return QStringLiteral("press %1 %2 %3").arg(x, y, numbers.pick(kPressButtons));
    case Move:
        return QStringLiteral("move %1 %2").arg(x, y);
    case Release:
        return QStringLiteral("release %1 %2 %3").arg(x, y, numbers.pick(kPressButtons));
    case Double:
        return QStringLiteral("double %1 %2").arg(x, y);
    case Right:
        return QStringLiteral("right %1 %2").arg(x, y);
    case Wheel: {
        const QString way = numbers.oneIn(2) ? "up" : "down";
        const QString turns = QString::number(1 + numbers.below(3));
        return QStringLiteral("wheel %1 %2 %3 %4%5").arg(x, y, way, turns, numbers.oneIn(3) ? " ctrl" : "");
    }
    case Key:
        return QStringLiteral("key ") + numbers.pick(kKeys);
    case NewTab:
        return QStringLiteral("tab new");
    case SwitchTab:
        return QStringLiteral("tab %1").arg(numbers.below(8));
    case CloseTab:
        return QStringLiteral("tab close %1").arg(numbers.below(8));
    case TabMenu:
        return QStringLiteral("tab menu %1").arg(numbers.below(8));
    case Answer: {
        const QString box = numbers.pick(kBoxAnswers);
        return QStringLiteral("answer %1 %2").arg(box, numbers.pick(kDialogAnswers));
    }
    }
    return QString();
}
