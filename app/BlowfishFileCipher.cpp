#include "BlowfishFileCipher.h"

namespace {
const int kBlockSize = 8;
const int kMinKey = BLOWFISH_MIN_KEY_SIZE;
const int kMaxKey = BLOWFISH_MAX_KEY_SIZE;
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

void BlowfishFileCipher::nextKeystreamBlock()
{
    QByteArray counterBytes(kBlockSize, '\0');
    for (int i = 0; i < kBlockSize; ++i)
        counterBytes[i] = static_cast<char>((m_counter >> (8 * i)) & 0xff);
    m_keystream = encryptBlock(counterBytes);
    ++m_counter;
    m_position = 0;
}

QByteArray BlowfishFileCipher::encrypt(const QByteArray& data)
{
    m_counter = 0;
    nextKeystreamBlock();
    QByteArray out(data.size(), '\0');
    for (int i = 0; i < data.size(); ++i) {
        if (m_position == kBlockSize)
            nextKeystreamBlock();
        out[i] = static_cast<char>(data.at(i) ^ m_keystream.at(static_cast<int>(m_position++)));
    }
    return out;
}

QByteArray BlowfishFileCipher::decrypt(const QByteArray& data)
{
    return encrypt(data);
}
