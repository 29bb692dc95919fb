#include "SvgTextCodec.h"

#include <QTextCodec>

#include <cstring>

namespace {

constexpr int kUtf8Mib = 106;

// The codec an XML declaration names; null for UTF-8 or none. A
// declaration read byte for byte as "<?xml" is in none of the encodings
// that write it otherwise (UTF-16 and UTF-32 among them): a file that names
// one of those is read as UTF-8, as XML readers take such a file.
QTextCodec* declaredCodec(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml"))
        return nullptr;
    const QByteArray declaration = bytes.left(bytes.indexOf("?>", 0));
    const int key = declaration.indexOf("encoding");
    if (key < 0)
        return nullptr;
    int at = key + 8;
    while (at < declaration.size() && (declaration[at] == ' ' || declaration[at] == '='))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return nullptr;
    const int close = declaration.indexOf(declaration[at], at + 1);
    QTextCodec* codec = close < 0 ? nullptr : QTextCodec::codecForName(declaration.mid(at + 1, close - at - 1));
    const bool fits = codec && codec->fromUnicode(QStringLiteral("<?xml")) == "<?xml";
    return fits && codec->mibEnum() != kUtf8Mib ? codec : nullptr;
}

// XML text starts with "<": in UTF-16 without a byte-order mark one of its
// two bytes is zero, which no UTF-8 text begins with.
QTextCodec* utf16ByFirstCharacter(const QByteArray& bytes)
{
    if (bytes.size() < 4)
        return nullptr;
    if (bytes[0] == '<' && bytes[1] == '\0' && bytes[2] != '\0' && bytes[3] == '\0')
        return QTextCodec::codecForName("UTF-16LE");
    if (bytes[0] == '\0' && bytes[1] == '<' && bytes[2] == '\0' && bytes[3] != '\0')
        return QTextCodec::codecForName("UTF-16BE");
    return nullptr;
}

// As QString::fromUtf8 reads a byte array, up to its first zero byte, but
// found with memchr rather than a byte at a time.
QString utf8UpToNul(const QByteArray& bytes)
{
    const void* nul = std::memchr(bytes.constData(), 0, static_cast<size_t>(bytes.size()));
    const int size = nul ? static_cast<int>(static_cast<const char*>(nul) - bytes.constData()) : bytes.size();
    return bytes.isNull() ? QString() : QString::fromUtf8(bytes.constData(), size);
}

} // namespace

QTextCodec* SvgTextCodec::wideCodec(const QByteArray& bytes)
{
    QTextCodec* codec = QTextCodec::codecForUtfText(bytes, nullptr);
    if (codec)
        return codec->mibEnum() == kUtf8Mib ? nullptr : codec;
    return utf16ByFirstCharacter(bytes);
}

QString SvgTextCodec::decode(const QByteArray& bytes)
{
    QTextCodec* codec = QTextCodec::codecForUtfText(bytes, nullptr);
    if (!codec)
        codec = utf16ByFirstCharacter(bytes);
    if (!codec)
        codec = declaredCodec(bytes);
    QString text = codec ? codec->toUnicode(bytes) : utf8UpToNul(bytes);
    const int nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    normalizeLineEnds(text);
    return text;
}

void SvgTextCodec::normalizeLineEnds(QString& text)
{
    const int first = text.indexOf(QLatin1Char('\r'));
    if (first < 0)
        return;
    QChar* data = text.data();
    const int size = text.size();
    int to = first;
    for (int from = first; from < size; ++from) {
        if (data[from] != QLatin1Char('\r')) {
            data[to++] = data[from];
            continue;
        }
        data[to++] = QLatin1Char('\n');
        if (from + 1 < size && data[from + 1] == QLatin1Char('\n'))
            ++from;
    }
    text.truncate(to);
}
