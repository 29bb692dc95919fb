#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Attribute text reaches the model as UTF-8 from files; decoding it the same
// way gives the parsers characters beyond 255 too.
inline std::wstring fuzzText(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size)).toStdWString();
}

// A broken promise is a crash the fuzzer can report and minimise.
inline void fuzzCheck(bool promise)
{
    if (!promise)
        std::abort();
}
