#include "CSVGElementPath.h"

#include "CGlobalConfig.h"
#include "CSVGPathData.h"
#include "CSVGPathSegClosePath.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGPathSegLineto.h"
#include "CSVGPathSegMoveto.h"
#include "SvgCodes.h"

#include <algorithm>

CSVGElementPath::CSVGElementPath(CSVGDocument* document)
    : CSVGElementShape(document, L"path", SvgType::Path)
{
}

template <typename Segment, typename... Numbers> Segment* CSVGElementPath::append(Numbers... numbers)
{
    auto* segment = new Segment(numbers...);
    m_segments.emplace_back(segment);
    m_flattened.clear();
    setGeometryDirty();
    return segment;
}

CSVGPathSegMoveto* CSVGElementPath::appendMoveto(double x, double y)
{
    return append<CSVGPathSegMoveto>(x, y);
}

CSVGPathSegLineto* CSVGElementPath::appendLineto(double x, double y)
{
    return append<CSVGPathSegLineto>(x, y);
}

CSVGPathSegCurvetoCubic* CSVGElementPath::appendCurvetoCubic(
    double x1, double y1, double x2, double y2, double x, double y)
{
    return append<CSVGPathSegCurvetoCubic>(x1, y1, x2, y2, x, y);
}

CSVGPathSegClosePath* CSVGElementPath::appendClosePath(bool rebuild)
{
    CSVGPathSegClosePath* segment = append<CSVGPathSegClosePath>();
    if (rebuild)
        updateGeometry();
    return segment;
}

CSVGPathSeg* CSVGElementPath::getSegment(int index) const
{
    const auto position = static_cast<unsigned int>(index);
    return position < m_segments.size() ? m_segments[position].get() : nullptr;
}

CSVGPathSeg* CSVGElementPath::getSegmentFromEnd(int index) const
{
    return getSegment(getSegmentCount() - 1 - index);
}

bool CSVGElementPath::removeSegment(CSVGPathSeg* segment)
{
    const auto found = std::find_if(m_segments.begin(), m_segments.end(),
        [segment](const std::unique_ptr<CSVGPathSeg>& listed) { return listed.get() == segment; });
    if (!segment || found == m_segments.end())
        return false;
    m_segments.erase(found);
    m_flattened.clear();
    setGeometryDirty();
    return true;
}

std::wstring CSVGElementPath::toPathData() const
{
    return CSVGPathData::toPathData(m_segments);
}

void CSVGElementPath::writePathData(bool notify)
{
    m_writingData = roundAsWritten(m_segments);
    setAttribute(L"d", toPathData(), notify);
    m_writingData = false;
}

CSVGElementPath::Prepared CSVGElementPath::prepare(const std::vector<QPainterPath>& paths)
{
    CSVGPathSegList segments;
    std::size_t count = 0;
    for (const QPainterPath& path : paths)
        count += std::size_t(path.elementCount()) + 1;
    segments.reserve(count);
    for (const QPainterPath& path : paths)
        appendPainterPath(segments, path);
    return prepare(std::move(segments));
}

CSVGElementPath::Prepared CSVGElementPath::prepare(CSVGPathSegList segments)
{
    Prepared prepared;
    prepared.segments = std::move(segments);
    if (preparePolyline(prepared))
        return prepared;
    prepared.asWritten = roundAsWritten(prepared.segments);
    prepared.data.assign(CSVGPathData::toPathData(prepared.segments));
    if (prepared.asWritten) {
        prepared.path = CSVGPathData::toPainterPath(prepared.segments);
        prepared.box = boundsOf(CSVGPathData::toFlattenedPoints(prepared.segments));
    }
    return prepared;
}

// Most new outlines are one move, lines and perhaps a close: their numbers
// are rounded and written in one pass, and their painter path and box made
// in the next, just as the general way would make them.
bool CSVGElementPath::preparePolyline(Prepared& prepared)
{
    CSVGPathSegList& segments = prepared.segments;
    const std::size_t count = segments.size();
    if (count == 0 || !segments[0] || segments[0]->getType() != CSVGPathSeg::Moveto)
        return false;
    for (std::size_t i = 1; i < count; ++i) {
        const CSVGPathSeg* segment = segments[i].get();
        if (!segment
            || !(segment->getType() == CSVGPathSeg::Lineto
                || (segment->getType() == CSVGPathSeg::ClosePath && i + 1 == count)))
            return false;
    }
    // Written into the thread's own buffer and copied once into text of
    // just its size, which the element keeps for as long as it lives.
    thread_local std::string text;
    text.clear();
    for (const std::unique_ptr<CSVGPathSeg>& segment : segments) {
        if (!text.empty())
            text += ' ';
        if (segment->getType() == CSVGPathSeg::ClosePath) {
            text += 'Z';
            continue;
        }
        text += segment->getType() == CSVGPathSeg::Moveto ? 'M' : 'L';
        CSVGPathSeg::appendWritten(text, segment->x);
        text += ' ';
        CSVGPathSeg::appendWritten(text, segment->y);
    }
    prepared.data = CSVGAttributeText::fromNarrow(text);
    if (text.capacity() > 65536)
        std::string().swap(text);
    prepared.asWritten = true;
    // The rounded numbers are finite and never -0: the box is the least and
    // the greatest of the points that the flattening gives, which are all of
    // them once a line or close follows the move.
    const QPointF start(segments[0]->x, segments[0]->y);
    if (CSVGPathData::isDrawable(start)) {
        prepared.path = QPainterPath(start);
        prepared.path.reserve(int(count));
    }
    double left = start.x(), right = start.x(), top = start.y(), bottom = start.y();
    for (std::size_t i = 1; i < count; ++i) {
        const CSVGPathSeg& segment = *segments[i];
        if (segment.getType() == CSVGPathSeg::ClosePath) {
            prepared.path.closeSubpath();
            continue;
        }
        const QPointF to(segment.x, segment.y);
        if (CSVGPathData::isDrawable(to))
            prepared.path.lineTo(to);
        left = std::min(left, to.x());
        right = std::max(right, to.x());
        top = std::min(top, to.y());
        bottom = std::max(bottom, to.y());
    }
    if (count > 1)
        prepared.box = CSVGRect(left, top, right - left, bottom - top);
    else
        prepared.box.setEmpty();
    return true;
}

// Text that does not read back one segment for one is read back, as
// writePathData does, and the geometry made from what it gave. Text that
// does is stored as it is: the segments, path and box are already those
// that reading it would give.
void CSVGElementPath::adopt(Prepared prepared)
{
    m_segments = std::move(prepared.segments);
    if (!prepared.asWritten) {
        setAttribute(L"d", prepared.data.toWide(), false);
        updateGeometry();
        return;
    }
    static const int data = g_config.getAttributeId(L"d");
    storeAttributeText(data, std::move(prepared.data));
    setGeometryDirty();
    m_path = std::move(prepared.path);
    m_flattened.clear();
    m_box = prepared.box;
    clearGeometryDirty();
}

// A curve without its two data elements ends the walk.
void CSVGElementPath::appendPainterPath(CSVGPathSegList& segments, const QPainterPath& path)
{
    const int count = path.elementCount();
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element& point = path.elementAt(i);
        if (point.isMoveTo()) {
            segments.emplace_back(new CSVGPathSegMoveto(point.x, point.y));
        } else if (point.isLineTo()) {
            segments.emplace_back(new CSVGPathSegLineto(point.x, point.y));
        } else if (point.isCurveTo()) {
            if (i + 2 >= count)
                break;
            const QPainterPath::Element& second = path.elementAt(i + 1);
            const QPainterPath::Element& end = path.elementAt(i + 2);
            segments.emplace_back(new CSVGPathSegCurvetoCubic(point.x, point.y, second.x, second.y, end.x, end.y));
            i += 2;
        }
    }
    if (startsWhereItEnds(path))
        segments.emplace_back(new CSVGPathSegClosePath());
}

// A path that ends where it starts is closed; so is an empty one, whose ends
// are both the origin. A path that starts and ends with a drawn segment has
// its ends in its first and last element, which is far cheaper than
// measuring its length to find them.
bool CSVGElementPath::startsWhereItEnds(const QPainterPath& path)
{
    const int count = path.elementCount();
    if (count < 2 || path.elementAt(1).isMoveTo() || path.elementAt(count - 1).isMoveTo())
        return path.pointAtPercent(0.0) == path.pointAtPercent(1.0);
    return QPointF(path.elementAt(0)) == QPointF(path.elementAt(count - 1));
}

// Only a single sub-path of moves, lines, cubics and closes reads back one
// segment for one: the reader closes every sub-path that another follows,
// and the writer drops a close that follows a close. Anything else is read
// back from the text.
bool CSVGElementPath::roundAsWritten(CSVGPathSegList& segments)
{
    std::uint16_t previous = CSVGPathSeg::Moveto;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const CSVGPathSeg* segment = segments[i].get();
        if (!segment)
            return false;
        const std::uint16_t type = segment->getType();
        if ((type == CSVGPathSeg::Moveto) != (i == 0) || (type == CSVGPathSeg::ClosePath && previous == type)
            || (type != CSVGPathSeg::Lineto && type != CSVGPathSeg::CurvetoCubic && type != CSVGPathSeg::ClosePath
                && i > 0))
            return false;
        previous = type;
    }
    for (const std::unique_ptr<CSVGPathSeg>& segment : segments) {
        if (segment->getType() == CSVGPathSeg::ClosePath)
            continue;
        segment->x = CSVGPathSeg::writtenValue(segment->x);
        segment->y = CSVGPathSeg::writtenValue(segment->y);
        if (segment->getType() == CSVGPathSeg::CurvetoCubic) {
            auto* cubic = static_cast<CSVGPathSegCurvetoCubic*>(segment.get());
            cubic->x1 = CSVGPathSeg::writtenValue(cubic->x1);
            cubic->y1 = CSVGPathSeg::writtenValue(cubic->y1);
            cubic->x2 = CSVGPathSeg::writtenValue(cubic->x2);
            cubic->y2 = CSVGPathSeg::writtenValue(cubic->y2);
        }
    }
    return true;
}

std::vector<QPointF> CSVGElementPath::getFlattenedPoints()
{
    if (m_flattened.empty())
        m_flattened = CSVGPathData::toFlattenedPoints(m_segments);
    return m_flattened;
}

// Also without notify: a value read while loading must not leave the cached
// outline of the old one behind.
bool CSVGElementPath::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (name != L"d")
        return false;
    if (!m_writingData)
        m_segments = CSVGPathData::parsePathData(value);
    m_flattened.clear();
    setGeometryDirty();
    return true;
}

void CSVGElementPath::normalizeTransform()
{
    writePathData(true);
}

bool CSVGElementPath::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    const std::vector<QPointF> points = getFlattenedPoints();
    return hitLocal(x, y, id, [&points](const QPointF& p) { return CGlobalConfig::pointInPolygon(points, p); });
}

// The flattened points are kept only once something asks for them: the
// bounds need them once, and a large drawing would carry them for nothing.
void CSVGElementPath::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = CSVGPathData::toPainterPath(m_segments);
    m_flattened.clear();
    CSVGElementShape::updateGeometry();
}

// The points of a path not flattened before go into a buffer of the
// thread's, which a drawing's many small pieces reuse.
void CSVGElementPath::computeBounds()
{
    thread_local std::vector<QPointF> scratch;
    if (m_flattened.empty()) {
        scratch.clear();
        CSVGPathData::appendFlattenedPoints(m_segments, scratch);
    }
    m_box = boundsOf(m_flattened.empty() ? scratch : m_flattened);
    // One very large path does not keep its room for the rest of the run.
    if (scratch.capacity() > 4096)
        std::vector<QPointF>().swap(scratch);
}

CSVGRect CSVGElementPath::boundsOf(const std::vector<QPointF>& points)
{
    CSVGRect box;
    box.setEmpty();
    if (points.empty())
        return box;
    const auto [left, right] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [top, bottom] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    return CSVGRect(left->x(), top->y(), right->x() - left->x(), bottom->y() - top->y());
}
