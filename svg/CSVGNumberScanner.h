#pragma once

#include <cstddef>
#include <string>

// Reads the numbers of path data and point lists as SVG writes them: an
// optional sign, digits with at most one ".", an optional exponent ("1e+5"
// is one number, "1.5.5" two, "10-20" two). Between numbers it passes over
// XML white space, commas, character references such as "&#xA;" (they
// separate numbers as the characters they stand for would) and any other
// character that cannot be part of a number. It never reads past the text.
class CSVGNumberScanner
{
public:
    explicit CSVGNumberScanner(const std::wstring& text);

    bool atEnd() const { return m_at >= m_text.size(); }
    // The current character; only valid when not at the end.
    wchar_t peek() const { return m_text[m_at]; }
    void advance() { ++m_at; }

    // Moves to the start of the next number, or to the next ASCII letter
    // when stopAtLetters is set, or to the end.
    void skipToNumber(bool stopAtLetters);
    // Moves to the next ASCII letter or to the end, passing numbers too.
    void skipToLetter();

    // Reads the number at the current position. A sign or "." without
    // digits reads as 0 and is consumed; a value beyond a double's range
    // reads as 0, like every overflowing number of the model.
    double readNumber();
    // An arc flag is the single character "0" or "1", so "1010" holds two
    // flags and the number 10. Anything else is read as a number.
    double readFlag();

    static bool isAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
    static bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

private:
    // Length of the character reference at the current position, 0 if
    // there is none.
    std::size_t referenceLength() const;
    bool atNumberStart() const;
    // The most digits that readShortDecimal reads.
    static constexpr std::size_t kExactDigits = 15;
    // Reads a number of at most kExactDigits digits without an exponent;
    // false, and nothing read, for any other.
    bool readShortDecimal(double& value);
    std::size_t skipDigits();
    void skipExponent();

    const std::wstring& m_text;
    std::size_t m_at = 0;
    // For numbers too long for readNumber's buffer, reused, so that reading
    // allocates only for the longest number of the text.
    std::string m_digits;
};
