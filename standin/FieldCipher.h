#pragma once

#include <QByteArray>
#include <QString>

namespace standin {

// Enciphers the fields that the web API sends to the pages enciphered:
// AES-128 in ECB mode, PKCS#7 padding, Base64, with the pages' fixed key.
class FieldCipher
{
public:
    static QString encrypt(const QString& text);
};

} // namespace standin
