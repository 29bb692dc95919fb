#pragma once

#include <QByteArray>

#include <nettle/blowfish.h>

// Blowfish as a counter-mode keystream: byte j of the data is XORed with byte
// j mod 8 of Blowfish(j div 8 as 8 little-endian bytes). Enciphering and
// deciphering are one operation; every call starts again at block 0, so one
// object serves any number of files. The output carries no header.
class BlowfishFileCipher
{
public:
    // Keys shorter than 8 bytes are padded with zeros, longer than 56 cut.
    explicit BlowfishFileCipher(const QByteArray& key);

    QByteArray encrypt(const QByteArray& data) const;
    QByteArray decrypt(const QByteArray& data) const;
    // One Blowfish encryption of an 8-byte block; empty for any other size.
    QByteArray encryptBlock(const QByteArray& block) const;

private:
    void setKey(const QByteArray& key);

    blowfish_ctx m_context {};
};
