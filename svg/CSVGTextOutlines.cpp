#include "CSVGTextOutlines.h"

#include <QHash>

#include <cmath>
#include <mutex>

namespace {

// A store of about 24 MB at most; a drawing with more distinct runs than
// that builds the rest anew.
constexpr int kMaxStoredElements = 1000000;
// Beyond this the font engine's fixed-point positions no longer hold the
// coordinate.
constexpr double kMaxPlacedCoordinate = 1e6;

// The glyph positions of a run are whole 64ths: the font engine truncates
// the baseline point to them and adds whole 64ths of advance.
double toFixedGrid(double value)
{
    return std::trunc(value * 64.0) / 64.0;
}

// A glyph point at the origin is a point of the font's 64ths grid, the
// middle of two, or a curve's control point: a third of the sum of three
// such points, rounded. Three times it, back on the grid, is that sum again,
// so the point moved by d is worked out as the engine works it out there:
// (sum + 3 d) / 3, rounded once.
double placed(double atOrigin, double shift)
{
    const double sum = std::round(atOrigin * 3.0 * 1024.0) / 1024.0;
    return (sum + 3.0 * shift) / 3.0;
}

class Store
{
public:
    static Store& instance()
    {
        static Store store;
        return store;
    }

    QPainterPath atOrigin(const QFont& font, const QString& text)
    {
        const QString key = font.key() + QChar(0) + text;
        {
            std::lock_guard<std::mutex> locker(m_lock);
            const auto found = m_outlines.constFind(key);
            if (found != m_outlines.constEnd())
                return *found;
        }
        QPainterPath path;
        path.addText(QPointF(0, 0), font, text);
        std::lock_guard<std::mutex> locker(m_lock);
        if (m_elements + path.elementCount() > kMaxStoredElements) {
            m_outlines.clear();
            m_elements = 0;
        }
        m_outlines.insert(key, path);
        m_elements += path.elementCount();
        return path;
    }

    void clear()
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_outlines.clear();
        m_elements = 0;
    }

private:
    std::mutex m_lock;
    QHash<QString, QPainterPath> m_outlines;
    int m_elements = 0;
};

} // namespace

QPainterPath CSVGTextOutlines::outline(const QFont& font, const QString& text, const QPointF& baseline)
{
    // A line under or through the characters is placed at the exact point,
    // not on the grid. Left of 0, where the engine truncates towards 0, each
    // piece of a run in several scripts or fonts is put on the grid from a
    // point of its own, on either side of 0. Such runs are built where they
    // stand.
    if (font.underline() || font.overline() || font.strikeOut() || !(baseline.x() >= 0)
        || !(baseline.x() <= kMaxPlacedCoordinate) || !(std::fabs(baseline.y()) <= kMaxPlacedCoordinate)) {
        QPainterPath path;
        path.addText(baseline, font, text);
        return path;
    }
    QPainterPath path = Store::instance().atOrigin(font, text);
    const double dx = toFixedGrid(baseline.x());
    const double dy = toFixedGrid(baseline.y());
    if (dx == 0 && dy == 0)
        return path;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        path.setElementPositionAt(i, placed(e.x, dx), placed(e.y, dy));
    }
    return path;
}

void CSVGTextOutlines::clear()
{
    Store::instance().clear();
}
