#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// Deciphers and enciphers the fields that the web API sends to the QML pages
// enciphered (AES-128, ECB, PKCS#7, Base64) with the pages' fixed key.
// Published to QML as "$tools".
class Tools : public QObject
{
    Q_OBJECT
public:
    explicit Tools(QObject* parent = nullptr);

    Q_INVOKABLE QString mydecrypt(QByteArray text);
    Q_INVOKABLE QString myencrypt(QByteArray text);
};
