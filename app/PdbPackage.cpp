#include "PdbPackage.h"

#include <QDateTime>

#include <cstdlib>

QByteArray PdbPackage::randomPrefix()
{
    // Seeded anew for every package from the clock, so packages written
    // within the same millisecond share their letters; readers drop them.
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::srand(unsigned(QDateTime::currentMSecsSinceEpoch()));
    QByteArray prefix;
    for (int i = 0; i < kPrefixLength; ++i)
        prefix += kLetters[std::rand() % 52];
    return prefix;
}

QByteArray PdbPackage::pack(const QString& svgText)
{
    return randomPrefix() + svgText.toUtf8().toBase64();
}

QString PdbPackage::unpack(const QByteArray& package)
{
    return QString::fromUtf8(QByteArray::fromBase64(package.mid(kPrefixLength)));
}
