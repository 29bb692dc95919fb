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
    m_writingData = roundAsWritten();
    setAttribute(L"d", toPathData(), notify);
    m_writingData = false;
}

// Only a single sub-path of moves, lines, cubics and closes reads back one
// segment for one: the reader closes every sub-path that another follows,
// and the writer drops a close that follows a close. Anything else is read
// back from the text.
bool CSVGElementPath::roundAsWritten()
{
    std::uint16_t previous = CSVGPathSeg::Moveto;
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        const CSVGPathSeg* segment = m_segments[i].get();
        if (!segment)
            return false;
        const std::uint16_t type = segment->getType();
        if ((type == CSVGPathSeg::Moveto) != (i == 0) || (type == CSVGPathSeg::ClosePath && previous == type)
            || (type != CSVGPathSeg::Lineto && type != CSVGPathSeg::CurvetoCubic && type != CSVGPathSeg::ClosePath
                && i > 0))
            return false;
        previous = type;
    }
    for (const std::unique_ptr<CSVGPathSeg>& segment : m_segments) {
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
    m_box.setEmpty();
    thread_local std::vector<QPointF> scratch;
    if (m_flattened.empty()) {
        scratch.clear();
        CSVGPathData::appendFlattenedPoints(m_segments, scratch);
    }
    const std::vector<QPointF>& points = m_flattened.empty() ? scratch : m_flattened;
    if (points.empty())
        return;
    const auto [left, right] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [top, bottom] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    m_box = CSVGRect(left->x(), top->y(), right->x() - left->x(), bottom->y() - top->y());
    // One very large path does not keep its room for the rest of the run.
    if (scratch.capacity() > 4096)
        std::vector<QPointF>().swap(scratch);
}
