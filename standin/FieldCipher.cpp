#include "FieldCipher.h"

#include <nettle/aes.h>

namespace standin {

QString FieldCipher::encrypt(const QString& text)
{
    static const QByteArray key = QByteArrayLiteral("7c3e91d04b6fa258");
    QByteArray plain = text.toUtf8();
    const int padding = AES_BLOCK_SIZE - plain.size() % AES_BLOCK_SIZE;
    plain.append(padding, char(padding));

    aes128_ctx context;
    aes128_set_encrypt_key(&context, reinterpret_cast<const uint8_t*>(key.constData()));
    QByteArray cipher(plain.size(), '\0');
    // ECB: nettle enciphers each block on its own.
    aes128_encrypt(&context, size_t(plain.size()), reinterpret_cast<uint8_t*>(cipher.data()),
        reinterpret_cast<const uint8_t*>(plain.constData()));
    return QString::fromLatin1(cipher.toBase64());
}

} // namespace standin
