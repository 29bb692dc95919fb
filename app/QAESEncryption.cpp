#include "QAESEncryption.h"

#include <nettle/aes.h>

#include <array>
#include <cstring>

namespace {

using Block = std::array<uint8_t, 16>;

// The block primitive comes from nettle; this class only adds the modes and
// paddings around it.
class AesBlockCipher
{
public:
    AesBlockCipher(int keyLen, const QByteArray& key, bool forDecryption)
        : m_keyLen(keyLen)
    {
        const auto* k = reinterpret_cast<const uint8_t*>(key.constData());
        switch (keyLen) {
        case 16:
            forDecryption ? aes128_set_decrypt_key(&m_128, k) : aes128_set_encrypt_key(&m_128, k);
            break;
        case 24:
            forDecryption ? aes192_set_decrypt_key(&m_192, k) : aes192_set_encrypt_key(&m_192, k);
            break;
        default:
            forDecryption ? aes256_set_decrypt_key(&m_256, k) : aes256_set_encrypt_key(&m_256, k);
            break;
        }
    }

    void encrypt(const uint8_t* in, uint8_t* out) const
    {
        switch (m_keyLen) {
        case 16:
            aes128_encrypt(&m_128, 16, out, in);
            break;
        case 24:
            aes192_encrypt(&m_192, 16, out, in);
            break;
        default:
            aes256_encrypt(&m_256, 16, out, in);
            break;
        }
    }

    void decrypt(const uint8_t* in, uint8_t* out) const
    {
        switch (m_keyLen) {
        case 16:
            aes128_decrypt(&m_128, 16, out, in);
            break;
        case 24:
            aes192_decrypt(&m_192, 16, out, in);
            break;
        default:
            aes256_decrypt(&m_256, 16, out, in);
            break;
        }
    }

private:
    int m_keyLen;
    aes128_ctx m_128 {};
    aes192_ctx m_192 {};
    aes256_ctx m_256 {};
};

void xorInto(uint8_t* target, const uint8_t* other, int length)
{
    for (int i = 0; i < length; ++i)
        target[i] ^= other[i];
}

uint8_t gfMultiply(uint8_t a, uint8_t b)
{
    uint8_t product = 0;
    while (b) {
        if (b & 1)
            product ^= a;
        a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
        b >>= 1;
    }
    return product;
}

uint8_t rotateLeft(uint8_t value, int shift)
{
    return static_cast<uint8_t>((value << shift) | (value >> (8 - shift)));
}

// The FIPS-197 S-box, derived from its definition (multiplicative inverse in
// GF(2^8) followed by the affine map) rather than typed in.
const std::array<uint8_t, 256>& sbox()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t {};
        for (int x = 0; x < 256; ++x) {
            uint8_t inverse = 0;
            for (int y = 1; y < 256 && x; ++y) {
                if (gfMultiply(static_cast<uint8_t>(x), static_cast<uint8_t>(y)) == 1) {
                    inverse = static_cast<uint8_t>(y);
                    break;
                }
            }
            t[x] = static_cast<uint8_t>(inverse ^ rotateLeft(inverse, 1) ^ rotateLeft(inverse, 2)
                ^ rotateLeft(inverse, 3) ^ rotateLeft(inverse, 4) ^ 0x63);
        }
        return t;
    }();
    return table;
}

} // namespace

QAESEncryption::QAESEncryption(Aes level, Mode mode, Padding padding)
    : m_level(level)
    , m_mode(mode)
    , m_padding(padding)
{
    switch (level) {
    case AES_192:
        m_nk = 6;
        m_keyLen = 24;
        m_nr = 12;
        break;
    case AES_256:
        m_nk = 8;
        m_keyLen = 32;
        m_nr = 14;
        break;
    default:
        m_nk = 4;
        m_keyLen = 16;
        m_nr = 10;
        break;
    }
}

bool QAESEncryption::accepts(const QByteArray& key, const QByteArray& iv) const
{
    if (m_mode != ECB && iv.size() != m_blockLen)
        return false;
    return key.size() == m_keyLen;
}

QByteArray QAESEncryption::pad(const QByteArray& rawText) const
{
    const int remainder = (m_blockLen - rawText.size() % m_blockLen) % m_blockLen;
    switch (m_padding) {
    case ZERO:
        return rawText + QByteArray(remainder, '\0');
    case PKCS7: {
        const int n = remainder ? remainder : m_blockLen;
        return rawText + QByteArray(n, static_cast<char>(n));
    }
    case ISO:
        if (!remainder)
            return rawText;
        return rawText + '\x80' + QByteArray(remainder - 1, '\0');
    }
    return rawText;
}

QByteArray QAESEncryption::encode(const QByteArray& rawText, const QByteArray& key, const QByteArray& iv)
{
    if (!accepts(key, iv))
        return QByteArray();
    QByteArray text = pad(rawText);
    const AesBlockCipher cipher(m_keyLen, key, false);
    auto* data = reinterpret_cast<uint8_t*>(text.data());
    Block chain {};
    if (m_mode != ECB)
        std::memcpy(chain.data(), iv.constData(), 16);
    Block keystream {};

    for (int offset = 0; offset < text.size(); offset += m_blockLen) {
        uint8_t* block = data + offset;
        switch (m_mode) {
        case ECB:
            cipher.encrypt(block, block);
            break;
        case CBC:
            xorInto(block, chain.data(), 16);
            cipher.encrypt(block, block);
            std::memcpy(chain.data(), block, 16);
            break;
        case CFB:
            cipher.encrypt(chain.data(), keystream.data());
            xorInto(block, keystream.data(), 16);
            std::memcpy(chain.data(), block, 16);
            break;
        case OFB:
            cipher.encrypt(chain.data(), chain.data());
            xorInto(block, chain.data(), 16);
            break;
        }
    }
    return text;
}

QByteArray QAESEncryption::decode(const QByteArray& rawText, const QByteArray& key, const QByteArray& iv)
{
    if (!accepts(key, iv) || rawText.size() % m_blockLen != 0)
        return QByteArray();
    // CFB and OFB run the cipher forwards in both directions.
    const bool inverse = m_mode == ECB || m_mode == CBC;
    const AesBlockCipher cipher(m_keyLen, key, inverse);
    QByteArray text = rawText;
    auto* data = reinterpret_cast<uint8_t*>(text.data());
    Block chain {};
    if (m_mode != ECB)
        std::memcpy(chain.data(), iv.constData(), 16);
    Block saved {};

    for (int offset = 0; offset < text.size(); offset += m_blockLen) {
        uint8_t* block = data + offset;
        switch (m_mode) {
        case ECB:
            cipher.decrypt(block, block);
            break;
        case CBC:
            std::memcpy(saved.data(), block, 16);
            cipher.decrypt(block, block);
            xorInto(block, chain.data(), 16);
            chain = saved;
            break;
        case CFB:
            std::memcpy(saved.data(), block, 16);
            cipher.encrypt(chain.data(), chain.data());
            xorInto(block, chain.data(), 16);
            chain = saved;
            break;
        case OFB:
            cipher.encrypt(chain.data(), chain.data());
            xorInto(block, chain.data(), 16);
            break;
        }
    }
    return text;
}

QByteArray QAESEncryption::removePadding(const QByteArray& rawText, Padding padding)
{
    if (rawText.isEmpty())
        return rawText;
    QByteArray text = rawText;
    switch (padding) {
    case ZERO:
        while (!text.isEmpty() && text.at(text.size() - 1) == '\0')
            text.chop(1);
        break;
    case PKCS7: {
        const int n = static_cast<signed char>(text.at(text.size() - 1));
        if (n > 0 && n <= text.size())
            text.chop(n);
        break;
    }
    case ISO: {
        int last = text.size() - 1;
        while (last >= 0 && text.at(last) == '\0')
            --last;
        if (last >= 0 && static_cast<uint8_t>(text.at(last)) == 0x80)
            text.truncate(last);
        break;
    }
    }
    return text;
}

QByteArray QAESEncryption::expandKey(const QByteArray& key)
{
    if (key.size() != m_keyLen)
        return QByteArray();
    const auto& s = sbox();
    const int words = m_nb * (m_nr + 1);
    QByteArray expanded(words * 4, '\0');
    auto* w = reinterpret_cast<uint8_t*>(expanded.data());
    std::memcpy(w, key.constData(), static_cast<size_t>(m_keyLen));

    uint8_t roundConstant = 1;
    for (int i = m_nk; i < words; ++i) {
        uint8_t temp[4];
        std::memcpy(temp, w + (i - 1) * 4, 4);
        if (i % m_nk == 0) {
            const uint8_t first = temp[0];
            temp[0] = static_cast<uint8_t>(s[temp[1]] ^ roundConstant);
            temp[1] = s[temp[2]];
            temp[2] = s[temp[3]];
            temp[3] = s[first];
            roundConstant = gfMultiply(roundConstant, 2);
        } else if (m_level == AES_256 && i % m_nk == 4) {
            for (uint8_t& byte : temp)
                byte = s[byte];
        }
        for (int j = 0; j < 4; ++j)
            w[i * 4 + j] = static_cast<uint8_t>(w[(i - m_nk) * 4 + j] ^ temp[j]);
    }
    return expanded;
}
