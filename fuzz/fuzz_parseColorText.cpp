// Colour values of fill, stroke and stop-color.

#include "CGlobalConfig.h"
#include "FuzzInput.h"

#include <QColor>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = fuzzText(data, size);
    const std::uint32_t color = g_config.parseColorText(text);
    // Either no colour at all or an opaque one.
    fuzzCheck(color == 0 || color >> 24 == 255);
    fuzzCheck(g_config.textToQColor(text).isValid());

    const std::wstring written = CGlobalConfig::packedRgbToText(color);
    fuzzCheck(written.size() == 7);
    fuzzCheck(g_config.parseColorText(written) == (color | 0xFF000000u));
    return 0;
}
