#include "BlowfishFileCipher.h"

#include <algorithm>
#include <vector>

namespace {
const int kBlockSize = 8;
const int kMinKey = BLOWFISH_MIN_KEY_SIZE;
const int kMaxKey = BLOWFISH_MAX_KEY_SIZE;
const int kChunkBlocks = 4096;
} // namespace

BlowfishFileCipher::BlowfishFileCipher(const QByteArray& key)
{
    setKey(key);
}

void BlowfishFileCipher::setKey(const QByteArray& key)
{
    QByteArray material = key.left(kMaxKey);
    if (material.size() < kMinKey)
        material.append(QByteArray(kMinKey - material.size(), '\0'));
    // The result only flags keys with repeated S-box entries; the schedule is
    // complete either way and the keystream stays usable.
    (void)blowfish_set_key(
        &m_context, static_cast<size_t>(material.size()), reinterpret_cast<const uint8_t*>(material.constData()));
}

QByteArray BlowfishFileCipher::encryptBlock(const QByteArray& block) const
{
    if (block.size() != kBlockSize)
        return QByteArray();
    QByteArray out(kBlockSize, '\0');
    blowfish_encrypt(&m_context, kBlockSize, reinterpret_cast<uint8_t*>(out.data()),
        reinterpret_cast<const uint8_t*>(block.constData()));
    return out;
}

// The keystream is made a chunk of counter blocks at a time: one call of the
// block cipher per chunk, not two small arrays per eight bytes.
QByteArray BlowfishFileCipher::encrypt(const QByteArray& data) const
{
    const int chunkBytes = kChunkBlocks * kBlockSize;
    std::vector<uint8_t> counters(chunkBytes);
    std::vector<uint8_t> keystream(chunkBytes);
    QByteArray out(data.size(), '\0');
    quint64 counter = 0;
    for (int offset = 0; offset < data.size(); offset += chunkBytes) {
        const int bytes = std::min(chunkBytes, data.size() - offset);
        const int blocks = (bytes + kBlockSize - 1) / kBlockSize;
        for (int block = 0; block < blocks; ++block, ++counter) {
            for (int i = 0; i < kBlockSize; ++i)
                counters[size_t(block * kBlockSize + i)] = static_cast<uint8_t>((counter >> (8 * i)) & 0xff);
        }
        blowfish_encrypt(&m_context, size_t(blocks * kBlockSize), keystream.data(), counters.data());
        const char* in = data.constData() + offset;
        char* target = out.data() + offset;
        for (int i = 0; i < bytes; ++i)
            target[i] = static_cast<char>(in[i] ^ static_cast<char>(keystream[size_t(i)]));
    }
    return out;
}

QByteArray BlowfishFileCipher::decrypt(const QByteArray& data) const
{
    return encrypt(data);
}
