#include "CSVGPathDataParser.h"

#include "CSVGPathSegArc.h"
#include "CSVGPathSegClosePath.h"
#include "CSVGPathSegCurvetoCubic.h"
#include "CSVGPathSegCurvetoCubicSmooth.h"
#include "CSVGPathSegCurvetoQuadratic.h"
#include "CSVGPathSegCurvetoQuadraticSmooth.h"
#include "CSVGPathSegLineto.h"
#include "CSVGPathSegMoveto.h"
#include "WideSteps.h"

#include <algorithm>
#include <cmath>

namespace {
const std::size_t kNumbersAtOnce = 8;

wchar_t toLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Flags are numbers truncated toward zero and compared with 0.
bool isSet(double flag)
{
    return flag >= 1.0 || flag <= -1.0;
}

// A relative coordinate can overflow where its parts did not; it then reads
// as 0, like a number that overflows on its own.
double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}
} // namespace

// Room for a segment a command letter (and one for a close added before a
// move), so that the list of a small path is allocated once; room for the
// numbers of an arc, so that those of most commands are too.
CSVGPathDataParser::CSVGPathDataParser(const std::wstring& text)
    : m_scanner(text)
{
    m_segments.reserve(WideSteps::count(text.data(), text.data() + text.size(), [](wchar_t c) {
        // The test of isAsciiLetter without a branch.
        return (static_cast<unsigned int>(c) | 0x20u) - 0x61u < 26u ? 1u : 0u;
    }) + 1);
    m_numbers.reserve(kNumbersAtOnce);
}

CSVGPathSegList CSVGPathDataParser::parse()
{
    m_scanner.skipToLetter();
    while (!m_scanner.atEnd()) {
        const wchar_t command = m_scanner.peek();
        m_scanner.advance();
        readNumbers(toLower(command) == L'a');
        runCommand(command);
    }
    return std::move(m_segments);
}

// Every number up to the next command letter. Only the buffer's size is
// reset: clearing the whole of it for every command would make long data
// take quadratic time.
void CSVGPathDataParser::readNumbers(bool arc)
{
    m_numbers.clear();
    for (;;) {
        m_scanner.skipToNumber(true);
        if (m_scanner.atEnd() || CSVGNumberScanner::isAsciiLetter(m_scanner.peek()))
            return;
        const std::size_t position = m_numbers.size() % 7;
        m_numbers.push_back(arc && (position == 3 || position == 4) ? m_scanner.readFlag() : m_scanner.readNumber());
    }
}

void CSVGPathDataParser::runCommand(wchar_t command)
{
    const wchar_t lower = toLower(command);
    const bool relative = command == lower;
    switch (lower) {
    case L'm':
        moveTo(relative);
        break;
    case L'l':
    case L'h':
    case L'v':
        lineTo(lower, relative);
        break;
    case L'c':
    case L's':
    case L'q':
    case L't':
        curveTo(lower, relative);
        break;
    case L'a':
        arcTo(relative);
        break;
    case L'z':
        closePath();
        break;
    default:
        break;
    }
}

// Every sub-path that another follows is closed: the outlines are cut, and
// a cutter needs closed pieces. The close does not move the point that a
// relative move starts from.
void CSVGPathDataParser::moveTo(bool relative)
{
    if (m_numbers.empty())
        m_numbers.assign(2, 0.0);
    const std::size_t count = groups(2);
    for (std::size_t group = 0; group < count; ++group) {
        const QPointF p = point(group * 2, relative ? m_current : QPointF());
        if (group == 0) {
            if (!m_segments.empty())
                m_segments.push_back(std::make_unique<CSVGPathSegClosePath>());
            m_segments.push_back(std::make_unique<CSVGPathSegMoveto>(p.x(), p.y()));
            m_subpathStart = p;
        } else {
            m_segments.push_back(std::make_unique<CSVGPathSegLineto>(p.x(), p.y()));
        }
        m_current = p;
    }
}

void CSVGPathDataParser::lineTo(wchar_t command, bool relative)
{
    const std::size_t size = command == L'l' ? 2 : 1;
    const std::size_t count = groups(size);
    for (std::size_t group = 0; group < count; ++group) {
        const QPointF origin = relative ? m_current : QPointF();
        QPointF p = m_current;
        if (command == L'l')
            p = point(group * 2, origin);
        else if (command == L'h')
            p.setX(finiteOrZero(origin.x() + m_numbers[group]));
        else
            p.setY(finiteOrZero(origin.y() + m_numbers[group]));
        m_segments.push_back(std::make_unique<CSVGPathSegLineto>(p.x(), p.y()));
        m_current = p;
    }
}

void CSVGPathDataParser::curveTo(wchar_t command, bool relative)
{
    const std::size_t size = command == L'c' ? 6 : command == L't' ? 2 : 4;
    const std::size_t count = groups(size);
    for (std::size_t group = 0; group < count; ++group) {
        const QPointF origin = relative ? m_current : QPointF();
        const std::size_t at = group * size;
        const QPointF a = point(at, origin);
        const QPointF end = point(at + size - 2, origin);
        if (command == L'c') {
            const QPointF b = point(at + 2, origin);
            m_segments.push_back(
                std::make_unique<CSVGPathSegCurvetoCubic>(a.x(), a.y(), b.x(), b.y(), end.x(), end.y()));
        } else if (command == L's') {
            m_segments.push_back(std::make_unique<CSVGPathSegCurvetoCubicSmooth>(a.x(), a.y(), end.x(), end.y()));
        } else if (command == L'q') {
            m_segments.push_back(std::make_unique<CSVGPathSegCurvetoQuadratic>(a.x(), a.y(), end.x(), end.y()));
        } else {
            m_segments.push_back(std::make_unique<CSVGPathSegCurvetoQuadraticSmooth>(end.x(), end.y()));
        }
        m_current = end;
    }
}

// Six numbers are read as radii, angle, the large-arc flag and the end
// point, with the sweep flag 0.
void CSVGPathDataParser::arcTo(bool relative)
{
    if (m_numbers.size() == 6)
        m_numbers.insert(m_numbers.begin() + 4, 0.0);
    const std::size_t count = groups(7);
    for (std::size_t group = 0; group < count; ++group) {
        const std::size_t at = group * 7;
        const QPointF end = point(at + 5, relative ? m_current : QPointF());
        m_segments.push_back(std::make_unique<CSVGPathSegArc>(m_numbers[at], m_numbers[at + 1], m_numbers[at + 2],
            isSet(m_numbers[at + 3]), isSet(m_numbers[at + 4]), end.x(), end.y()));
        m_current = end;
    }
}

void CSVGPathDataParser::closePath()
{
    m_segments.push_back(std::make_unique<CSVGPathSegClosePath>());
    m_current = m_subpathStart;
}

std::size_t CSVGPathDataParser::groups(std::size_t size)
{
    const std::size_t count = (m_numbers.size() + size - 1) / size;
    m_numbers.resize(count * size, 0.0);
    return count;
}

QPointF CSVGPathDataParser::point(std::size_t index, const QPointF& origin) const
{
    return QPointF(finiteOrZero(origin.x() + m_numbers[index]), finiteOrZero(origin.y() + m_numbers[index + 1]));
}
