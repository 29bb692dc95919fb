#pragma once

#include <QByteArray>
#include <QObject>

// AES (FIPS-197) with the ECB, CBC, CFB and OFB modes and three paddings.
// One object serves one combination of key size, mode and padding; it keeps
// no key between calls. Refused keys, IVs or lengths give an empty result.
class QAESEncryption : public QObject
{
    Q_OBJECT
public:
    enum Aes { AES_128, AES_192, AES_256 };
    enum Mode { ECB, CBC, CFB, OFB };
    enum Padding { ZERO, PKCS7, ISO };

    QAESEncryption(Aes level, Mode mode, Padding padding = ISO);

    // Pads, then enciphers in the object's mode.
    QByteArray encode(const QByteArray& rawText, const QByteArray& key, const QByteArray& iv = QByteArray());
    // Deciphers in the object's mode; the padding stays.
    QByteArray decode(const QByteArray& rawText, const QByteArray& key, const QByteArray& iv = QByteArray());
    static QByteArray removePadding(const QByteArray& rawText, Padding padding = ISO);
    // The key schedule as (rounds + 1) x 16 bytes; empty for a key of the
    // wrong length.
    QByteArray expandKey(const QByteArray& key);

private:
    bool accepts(const QByteArray& key, const QByteArray& iv) const;
    QByteArray pad(const QByteArray& rawText) const;

    int m_nb = 4;
    int m_blockLen = 16;
    Aes m_level;
    Mode m_mode;
    int m_nk;
    int m_keyLen;
    int m_nr;
    Padding m_padding;
};
