#include "CSVGTextOutlines.h"

#include "MemoryHeadroom.h"

#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QTextLayout>

#include <cmath>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// A store of about 24 MB at most; a drawing with more distinct runs than
// that builds the rest anew.
constexpr int kMaxStoredElements = 1000000;
// For huge fonts the engine's glyph outlines are not those of its text (a
// run of 100,000 pixels put together from its glyphs came out smaller than
// one of 15); runs in fonts beyond this size are built where they stand.
constexpr int kMaxStoredPixelSize = 2000;
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

// Outlines at the origin under a key, as many as fit in the bound; past it
// the store starts anew. An outline larger than the bound is not kept: it
// would double what its text holds, and outlast the drawing.
template <typename Key> class OutlineMap
{
public:
    bool find(const Key& key, QPainterPath& path) const
    {
        const auto found = m_outlines.constFind(key);
        if (found == m_outlines.constEnd())
            return false;
        path = *found;
        return true;
    }

    void insert(const Key& key, const QPainterPath& path)
    {
        if (path.elementCount() > kMaxStoredElements)
            return;
        if (m_elements + path.elementCount() > kMaxStoredElements)
            clear();
        m_outlines.insert(key, path);
        m_elements += path.elementCount();
    }

    void clear()
    {
        m_outlines.clear();
        m_elements = 0;
    }

private:
    QHash<Key, QPainterPath> m_outlines;
    int m_elements = 0;
};

// A run is known by its font and characters; comparing fonts is cheaper
// than spelling them out.
struct RunKey
{
    QFont font;
    QString text;

    bool operator==(const RunKey& other) const { return text == other.text && font == other.font; }
};

uint qHash(const RunKey& key, uint seed = 0)
{
    return qHash(key.font, seed) ^ qHash(key.text, seed);
}

// Appends the outline, built at the origin, moved by whole 64ths.
void appendPlaced(QPainterPath& path, const QPainterPath& outline, double dx, double dy)
{
    for (int i = 0; i < outline.elementCount(); ++i) {
        const QPainterPath::Element e = outline.elementAt(i);
        const QPointF to(placed(e.x, dx), placed(e.y, dy));
        if (e.type == QPainterPath::MoveToElement) {
            path.moveTo(to);
        } else if (e.type == QPainterPath::LineToElement) {
            path.lineTo(to);
        } else if (e.type == QPainterPath::CurveToElement && i + 2 < outline.elementCount()) {
            const QPainterPath::Element c2 = outline.elementAt(i + 1);
            const QPainterPath::Element end = outline.elementAt(i + 2);
            path.cubicTo(
                to, QPointF(placed(c2.x, dx), placed(c2.y, dy)), QPointF(placed(end.x, dx), placed(end.y, dy)));
            i += 2;
        }
    }
}

QString keyOf(const QRawFont& font)
{
    return font.familyName() + QChar(0) + font.styleName() + QChar(0) + QString::number(font.pixelSize(), 'g', 17)
        + QChar(0) + QString::number(font.weight()) + QChar(0) + QString::number(int(font.style()));
}

// Runs and glyphs, each at the origin. A run is laid out as addText lays
// it out; its glyphs come from the glyph map, so a word not seen before
// costs its shaping, and a glyph is built once per font.
class Store
{
public:
    static Store& instance()
    {
        static Store store;
        return store;
    }

    QPainterPath runAtOrigin(const QFont& font, const QString& text)
    {
        const RunKey key { font, text };
        QPainterPath path;
        {
            std::lock_guard<std::mutex> locker(m_lock);
            if (m_runs.find(key, path))
                return path;
        }
        path = buildRun(font, text);
        std::lock_guard<std::mutex> locker(m_lock);
        m_runs.insert(key, path);
        return path;
    }

    // The run placed at (dx, dy). The last one placed is kept: lettering
    // that repeats a run where it stands (runs following one another from
    // the same point) shares one outline instead of holding a copy each.
    QPainterPath placedRun(const QFont& font, const QString& text, double dx, double dy)
    {
        {
            std::lock_guard<std::mutex> locker(m_lock);
            if (m_lastPlaced.dx == dx && m_lastPlaced.dy == dy && m_lastPlaced.key == RunKey { font, text })
                return m_lastPlaced.path;
        }
        QPainterPath path = runAtOrigin(font, text);
        MemoryHeadroom::check(std::size_t(path.elementCount()) * sizeof(QPainterPath::Element));
        if ((dx == 0 && dy == 0) || path.elementCount() < 2)
            return path;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            path.setElementPositionAt(i, placed(e.x, dx), placed(e.y, dy));
        }
        std::lock_guard<std::mutex> locker(m_lock);
        if (path.elementCount() <= kMaxStoredElements)
            m_lastPlaced = { RunKey { font, text }, dx, dy, path };
        return path;
    }

    void clear()
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_runs.clear();
        m_glyphs.clear();
        m_lastPlaced = {};
    }

    // The elements of the run's outline, counted from the glyphs it is
    // made of, so that its room is known before it is built.
    int elementsOf(const QFont& font, const QString& text)
    {
        int elements = 1;
        layOut(font, text, [&](const QPainterPath& glyph, const QPointF&) { elements += glyph.elementCount(); });
        return elements;
    }

private:
    // Calls take(glyph outline at the origin, its place) for each glyph of
    // the run laid out as addText lays it out; returns the line's ascent.
    template <typename Take> qreal layOut(const QFont& font, const QString& text, Take take)
    {
        if (text.isEmpty())
            return 0;
        QTextLayout layout(text, font);
        layout.setCacheEnabled(true);
        QTextOption option = layout.textOption();
        option.setUseDesignMetrics(true);
        layout.setTextOption(option);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return 0;
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QString fontKey = keyOf(raw);
            const QVector<quint32> glyphs = run.glyphIndexes();
            const QVector<QPointF> positions = run.positions();
            for (int i = 0; i < glyphs.size() && i < positions.size(); ++i)
                take(glyphAtOrigin(raw, fontKey, glyphs[i]), positions[i]);
        }
        return line.ascent();
    }

    QPainterPath buildRun(const QFont& font, const QString& text)
    {
        // Sized once: the outline is kept by every copy of the run.
        std::vector<std::pair<QPainterPath, QPointF>> placedGlyphs;
        int elements = 1;
        const qreal ascent = layOut(font, text, [&](const QPainterPath& glyph, const QPointF& at) {
            placedGlyphs.emplace_back(glyph, at);
            elements += glyph.elementCount();
        });
        QPainterPath path;
        if (text.isEmpty())
            return path;
        // Like addText, a run without a single glyph outline still holds
        // the starting point at the origin, which nothing moves.
        path.moveTo(0, 0);
        // The painting library's reserve fails without a word.
        MemoryHeadroom::check(std::size_t(elements) * sizeof(QPainterPath::Element));
        path.reserve(elements);
        for (const auto& [glyph, at] : placedGlyphs)
            appendPlaced(path, glyph, at.x(), at.y() - ascent);
        return path;
    }

    QPainterPath glyphAtOrigin(const QRawFont& font, const QString& fontKey, quint32 glyph)
    {
        const QString key = fontKey + QChar(0) + QString::number(glyph);
        QPainterPath path;
        {
            std::lock_guard<std::mutex> locker(m_lock);
            if (m_glyphs.find(key, path))
                return path;
        }
        path = font.pathForGlyph(glyph);
        std::lock_guard<std::mutex> locker(m_lock);
        m_glyphs.insert(key, path);
        return path;
    }

    struct Placed
    {
        RunKey key;
        double dx = 0;
        double dy = 0;
        QPainterPath path;
    };

    std::mutex m_lock;
    Placed m_lastPlaced;
    OutlineMap<RunKey> m_runs;
    OutlineMap<QString> m_glyphs;
};

} // namespace

QPainterPath CSVGTextOutlines::outline(const QFont& font, const QString& text, const QPointF& baseline)
{
    // A line under or through the characters is placed at the exact point,
    // not on the grid. Left of 0, where the engine truncates towards 0, each
    // piece of a run in several scripts or fonts is put on the grid from a
    // point of its own, on either side of 0. Such runs are built where they
    // stand.
    if (font.pixelSize() > kMaxStoredPixelSize || font.underline() || font.overline() || font.strikeOut()
        || !(baseline.x() >= 0) || !(baseline.x() <= kMaxPlacedCoordinate)
        || !(std::fabs(baseline.y()) <= kMaxPlacedCoordinate)) {
        // The library grows the outline as it goes, up to twice its size,
        // and fails without a word where memory runs out.
        MemoryHeadroom::check(
            std::size_t(Store::instance().elementsOf(font, text)) * 2 * sizeof(QPainterPath::Element));
        QPainterPath path;
        path.addText(baseline, font, text);
        return path;
    }
    return Store::instance().placedRun(font, text, toFixedGrid(baseline.x()), toFixedGrid(baseline.y()));
}

void CSVGTextOutlines::clear()
{
    Store::instance().clear();
}
