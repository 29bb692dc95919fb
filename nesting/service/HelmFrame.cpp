#include "HelmFrame.h"

QByteArray HelmFrame::header(std::uint32_t size)
{
    QByteArray bytes(int(kHeaderSize), '\0');
    for (int i = 0; i < int(kHeaderSize); ++i)
        bytes[i] = char((size >> (8 * (int(kHeaderSize) - 1 - i))) & 0xff);
    return bytes;
}

std::uint32_t HelmFrame::size(const unsigned char* header)
{
    std::uint32_t size = 0;
    for (std::uint32_t i = 0; i < kHeaderSize; ++i)
        size = (size << 8) | header[i];
    return size;
}

QByteArray HelmFrame::frame(const QByteArray& payload)
{
    return header(std::uint32_t(payload.size())) + payload;
}
