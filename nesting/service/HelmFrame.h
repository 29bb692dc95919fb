#pragma once

#include <QByteArray>

#include <cstdint>

// The frames of the nesting service: a four-byte big-endian length, then
// that many bytes of UTF-8 text. A length above the maximum is a fault of
// the peer; the connection ends rather than allocate it.
class HelmFrame
{
public:
    static constexpr std::uint32_t kHeaderSize = 4;
    static constexpr std::uint32_t kMaximumSize = 8 * 1024 * 1024;

    static QByteArray header(std::uint32_t size);
    static std::uint32_t size(const unsigned char* header);
    // The header followed by the payload.
    static QByteArray frame(const QByteArray& payload);
};
