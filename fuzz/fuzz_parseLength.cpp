// Lengths and numbers as they appear in attribute values.

#include "CGlobalConfig.h"
#include "FuzzInput.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzzText(data, size);
    const double value = g_config.parseLength(text);
    fuzzCheck(std::isfinite(value));
    g_config.parseInt(text);

    // What the model writes, it reads back within the precision written.
    const std::wstring written = CGlobalConfig::numberToText(value);
    if (std::fabs(value) < 1e300) {
        const double back = g_config.parseLength(written);
        fuzzCheck(std::fabs(back - value) <= 2e-4 + 1e-12 * std::fabs(value));
    }
    // The precise pair keeps every number exactly.
    const double precise = g_config.parsePreciseLength(text);
    fuzzCheck(std::isfinite(precise));
    fuzzCheck(g_config.parsePreciseLength(CGlobalConfig::preciseNumberToText(precise)) == precise);
    return 0;
}
