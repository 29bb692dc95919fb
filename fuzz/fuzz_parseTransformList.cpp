// The "transform" attribute.

#include "CSVGMatrix.h"
#include "CSVGRect.h"
#include "FuzzInput.h"

#include <cmath>

namespace {
bool finite(const CSVGMatrix& m)
{
    for (double n : { m.a, m.b, m.c, m.d, m.e, m.f }) {
        if (!std::isfinite(n))
            return false;
    }
    return true;
}

bool small(const CSVGMatrix& m)
{
    for (double n : { m.a, m.b, m.c, m.d, m.e, m.f }) {
        if (std::fabs(n) > 1e300)
            return false;
    }
    return true;
}

bool close(double a, double b)
{
    return std::fabs(a - b) <= 2e-4 + 1e-12 * std::fabs(a);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzzText(data, size);
    CSVGMatrix m;
    m.parseTransformList(text);
    fuzzCheck(finite(m));
    fuzzCheck(m.text() == text);

    // The matrix text written for a stored file reads back as the same matrix.
    if (small(m)) {
        CSVGMatrix back;
        back.parseTransformList(m.toString());
        fuzzCheck(close(m.a, back.a) && close(m.b, back.b) && close(m.c, back.c) && close(m.d, back.d)
            && close(m.e, back.e) && close(m.f, back.f));
    }

    CSVGMatrix inverse = m;
    inverse.invert();
    fuzzCheck(finite(inverse));
    CSVGRect(-1, -1, 2, 2).transformed(m);
    return 0;
}
