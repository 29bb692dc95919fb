#include "CSVGMatrix.h"

#include "CGlobalConfig.h"

#include <cmath>
#include <vector>

namespace {

// Stored transforms were written with this value of pi; reading them with
// the full value would turn every rotated part slightly.
const double kPi = 3.1415926;
// A function name this long is not a name this parser knows.
const size_t kMaxFunctionName = 128;

double toRadians(double degrees)
{
    return degrees * kPi / 180.0;
}

CSVGMatrix rotation(double angle)
{
    const double t = toRadians(angle);
    return CSVGMatrix(std::cos(t), std::sin(t), -std::sin(t), std::cos(t), 0, 0);
}

} // namespace

CSVGMatrix::CSVGMatrix(double a, double b, double c, double d, double e, double f)
    : a(a)
    , b(b)
    , c(c)
    , d(d)
    , e(e)
    , f(f)
{
}

CSVGMatrix::CSVGMatrix(const CSVGMatrix& other)
    : a(other.a)
    , b(other.b)
    , c(other.c)
    , d(other.d)
    , e(other.e)
    , f(other.f)
{
}

CSVGMatrix& CSVGMatrix::operator=(const CSVGMatrix& other)
{
    if (this != &other)
        setNumbers(other.a, other.b, other.c, other.d, other.e, other.f);
    return *this;
}

void CSVGMatrix::setNumbers(double na, double nb, double nc, double nd, double ne, double nf)
{
    a = na;
    b = nb;
    c = nc;
    d = nd;
    e = ne;
    f = nf;
    m_text.clear();
}

void CSVGMatrix::multiply(const CSVGMatrix& m)
{
    setNumbers(a * m.a + c * m.b, b * m.a + d * m.b, a * m.c + c * m.d, b * m.c + d * m.d, a * m.e + c * m.f + e,
        b * m.e + d * m.f + f);
}

void CSVGMatrix::preMultiply(const CSVGMatrix& m)
{
    CSVGMatrix product(m);
    product.multiply(*this);
    *this = product;
}

bool CSVGMatrix::invert()
{
    const double determinant = a * d - b * c;
    if (determinant == 0 || !std::isfinite(determinant))
        return false;
    const double k = 1 / determinant;
    CSVGMatrix inverse(d * k, -b * k, -c * k, a * k, 0, 0);
    inverse.e = -e * inverse.a - f * inverse.c;
    inverse.f = -e * inverse.b - f * inverse.d;
    if (!inverse.isFinite())
        return false;
    *this = inverse;
    return true;
}

bool CSVGMatrix::isFinite() const
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e)
        && std::isfinite(f);
}

void CSVGMatrix::rotate(double angle)
{
    multiply(rotation(angle));
}

void CSVGMatrix::scale(double sx, double sy)
{
    multiply(CSVGMatrix(sx, 0, 0, sy, 0, 0));
}

void CSVGMatrix::translate(double tx, double ty)
{
    multiply(CSVGMatrix(1, 0, 0, 1, tx, ty));
}

void CSVGMatrix::postRotate(double angle)
{
    preMultiply(rotation(angle));
}

void CSVGMatrix::postScale(double sx, double sy)
{
    preMultiply(CSVGMatrix(sx, 0, 0, sy, 0, 0));
}

void CSVGMatrix::postTranslate(double tx, double ty)
{
    preMultiply(CSVGMatrix(1, 0, 0, 1, tx, ty));
}

QPointF CSVGMatrix::map(const QPointF& point) const
{
    return QPointF(a * point.x() + c * point.y() + e, b * point.x() + d * point.y() + f);
}

std::wstring CSVGMatrix::toString() const
{
    std::wstring text = L"matrix(";
    for (double number : { a, b, c, d, e, f })
        text.append(CGlobalConfig::preciseNumberToText(number)).append(L",");
    text.back() = L')';
    return text;
}

// Each function ends at its ")"; what follows the last ")" is ignored.
void CSVGMatrix::parseTransformList(const std::wstring& text)
{
    setNumbers(1, 0, 0, 1, 0, 0);
    size_t start = 0;
    while (start < text.size() && g_config.isWhiteSpace(static_cast<unsigned int>(text[start])))
        ++start;
    for (size_t close = text.find(L')', start); close != std::wstring::npos; close = text.find(L')', start)) {
        parseTransform(text.substr(start, close - start));
        start = close + 1;
        while (start < text.size() && g_config.isWhiteSpace(static_cast<unsigned int>(text[start])))
            ++start;
    }
    m_text = text;
}

// Tokens are separated by "(", ",", ")" and blanks: "scale(2)", "scale(2,2)"
// and "matrix(1 0 0 1 5 5)" all read.
void CSVGMatrix::parseTransform(const std::wstring& function)
{
    const std::vector<std::wstring> tokens = CGlobalConfig::splitString(function, L"(,) ");
    if (tokens.empty() || tokens[0].size() >= kMaxFunctionName)
        return;
    double n[6] = { 0, 0, 0, 0, 0, 0 };
    for (size_t i = 1; i < tokens.size() && i <= 6; ++i)
        n[i - 1] = g_config.parsePreciseLength(tokens[i]);

    CSVGMatrix m;
    if (!functionMatrix(tokens[0], n, m))
        return;
    CSVGMatrix product(*this);
    product.multiply(m);
    // Huge numbers in a file must not turn the document into infinities.
    if (product.isFinite())
        *this = product;
}

bool CSVGMatrix::functionMatrix(const std::wstring& name, const double (&n)[6], CSVGMatrix& m)
{
    if (name == L"matrix") {
        m = CSVGMatrix(n[0], n[1], n[2], n[3], n[4], n[5]);
    } else if (name == L"translate") {
        m = CSVGMatrix(1, 0, 0, 1, n[0], n[1]);
    } else if (name == L"scale") {
        // A y scale of (almost) 0 stands for "same as x".
        const double sy = n[1] > -0.0001 && n[1] < 0.0001 ? n[0] : n[1];
        m = CSVGMatrix(n[0], 0, 0, sy, 0, 0);
    } else if (name == L"rotate") {
        // About the centre (cx, cy) when one is given, as
        // translate(cx, cy) rotate(a) translate(-cx, -cy).
        m = rotation(n[0]);
        if (n[1] != 0 || n[2] != 0) {
            m = CSVGMatrix(1, 0, 0, 1, n[1], n[2]);
            m.multiply(rotation(n[0]));
            m.multiply(CSVGMatrix(1, 0, 0, 1, -n[1], -n[2]));
        }
    } else if (name == L"skewX") {
        m = CSVGMatrix(1, 0, std::tan(toRadians(n[0])), 1, 0, 0);
    } else if (name == L"skewY") {
        m = CSVGMatrix(1, std::tan(toRadians(n[0])), 0, 1, 0, 0);
    } else {
        return false;
    }
    return true;
}
