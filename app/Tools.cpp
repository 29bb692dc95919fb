#include "Tools.h"

#include "QAESEncryption.h"

namespace {
const QByteArray kPageKey = QByteArrayLiteral("7c3e91d04b6fa258");
}

Tools::Tools(QObject* parent)
    : QObject(parent)
{
}

QString Tools::mydecrypt(QByteArray text)
{
    QAESEncryption aes(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    const QByteArray plain = aes.decode(QByteArray::fromBase64(text), kPageKey);
    return QString::fromUtf8(QAESEncryption::removePadding(plain, QAESEncryption::PKCS7));
}

QString Tools::myencrypt(QByteArray text)
{
    QAESEncryption aes(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    return QString::fromLatin1(aes.encode(text, kPageKey).toBase64());
}
