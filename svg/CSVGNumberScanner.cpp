#include "CSVGNumberScanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace {
bool isHexDigit(wchar_t c)
{
    return CSVGNumberScanner::isDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool isSign(wchar_t c)
{
    return c == L'+' || c == L'-';
}
} // namespace

CSVGNumberScanner::CSVGNumberScanner(const std::wstring& text)
    : m_text(text)
{
}

void CSVGNumberScanner::skipToNumber(bool stopAtLetters)
{
    while (!atEnd()) {
        const std::size_t reference = referenceLength();
        if (reference > 0) {
            m_at += reference;
            continue;
        }
        if (atNumberStart() || (stopAtLetters && isAsciiLetter(peek())))
            return;
        ++m_at;
    }
}

void CSVGNumberScanner::skipToLetter()
{
    while (!atEnd()) {
        skipToNumber(true);
        if (atEnd() || isAsciiLetter(peek()))
            return;
        readNumber();
    }
}

double CSVGNumberScanner::readNumber()
{
    double exact = 0.0;
    if (readShortDecimal(exact))
        return exact;
    const std::size_t start = m_at;
    if (!atEnd() && isSign(peek()))
        ++m_at;
    std::size_t digits = skipDigits();
    if (!atEnd() && peek() == L'.') {
        ++m_at;
        digits += skipDigits();
    }
    if (digits == 0)
        return 0.0;
    skipExponent();

    // from_chars takes no "+", and the text is ASCII from here on. The
    // numbers of path data fit the buffer on the stack; a longer one goes
    // into the scanner's own.
    const std::size_t from = m_text[start] == L'+' ? start + 1 : start;
    char local[32];
    char* digitsBegin = local;
    if (m_at - from > sizeof(local)) {
        m_digits.resize(m_at - from);
        digitsBegin = &m_digits[0];
    }
    const auto narrow = [](wchar_t c) { return static_cast<char>(c); };
    char* digitsEnd = std::transform(m_text.begin() + static_cast<std::ptrdiff_t>(from),
        m_text.begin() + static_cast<std::ptrdiff_t>(m_at), digitsBegin, narrow);
    double value = 0.0;
    const auto result = std::from_chars(digitsBegin, digitsEnd, value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return 0.0;
    return value;
}

// Up to 15 digits make a whole number below 2^53, exact as a double, and so
// is the power of ten that divides it: their quotient is rounded once, as
// the full conversion rounds, so both give the same double. Nearly every
// number of a drawing is read here in one pass, without the copy and the
// general conversion; anything else is left to them.
bool CSVGNumberScanner::readShortDecimal(double& value)
{
    static const double kPowers[]
        = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15 };
    const wchar_t* const text = m_text.data();
    const std::size_t size = m_text.size();
    std::size_t at = m_at;
    const bool negative = at < size && text[at] == L'-';
    if (at < size && isSign(text[at]))
        ++at;
    std::uint64_t whole = 0;
    std::size_t digits = 0;
    std::size_t fraction = 0;
    const auto takeDigits = [&] {
        const std::size_t first = at;
        for (; at < size && isDigit(text[at]); ++at)
            whole = whole * 10 + static_cast<std::uint64_t>(text[at] - L'0');
        digits += at - first;
        return at - first;
    };
    takeDigits();
    if (at < size && text[at] == L'.') {
        ++at;
        fraction = takeDigits();
    }
    if (digits == 0 || digits > kExactDigits || (at < size && (text[at] == L'e' || text[at] == L'E')))
        return false;
    m_at = at;
    value = static_cast<double>(whole) / kPowers[fraction];
    if (negative)
        value = -value;
    return true;
}

double CSVGNumberScanner::readFlag()
{
    if (!atEnd() && (peek() == L'0' || peek() == L'1')) {
        const double flag = peek() == L'1' ? 1.0 : 0.0;
        ++m_at;
        return flag;
    }
    return readNumber();
}

std::size_t CSVGNumberScanner::referenceLength() const
{
    if (peek() != L'&' || m_at + 1 >= m_text.size())
        return 0;
    std::size_t at = m_at + 1;
    bool (*accepts)(wchar_t) = isAsciiLetter;
    if (m_text[at] == L'#') {
        ++at;
        accepts = isDigit;
        if (at < m_text.size() && (m_text[at] == L'x' || m_text[at] == L'X')) {
            ++at;
            accepts = isHexDigit;
        }
    }
    const std::size_t nameStart = at;
    while (at < m_text.size() && accepts(m_text[at]))
        ++at;
    if (at == nameStart || at >= m_text.size() || m_text[at] != L';')
        return 0;
    return at + 1 - m_at;
}

bool CSVGNumberScanner::atNumberStart() const
{
    const wchar_t c = peek();
    return isDigit(c) || isSign(c) || c == L'.';
}

std::size_t CSVGNumberScanner::skipDigits()
{
    const std::size_t start = m_at;
    while (!atEnd() && isDigit(peek()))
        ++m_at;
    return m_at - start;
}

// An "e" that no digits follow is not part of the number.
void CSVGNumberScanner::skipExponent()
{
    if (atEnd() || (peek() != L'e' && peek() != L'E'))
        return;
    std::size_t at = m_at + 1;
    if (at < m_text.size() && isSign(m_text[at]))
        ++at;
    if (at < m_text.size() && isDigit(m_text[at])) {
        m_at = at;
        skipDigits();
    }
}
