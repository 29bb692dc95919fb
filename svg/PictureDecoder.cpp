#include "PictureDecoder.h"

#include <QBuffer>
#include <QCache>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

struct Kept
{
    QMutex mutex;
    // Keyed by a digest of the Base64 text; the cost is in kilobytes.
    QCache<QByteArray, QImage> pictures { int(PictureDecoder::kCacheBytes / 1024) };
};

Kept& kept()
{
    static Kept instance;
    return instance;
}

// As Qt's SVG reader names them: with or without a prefix.
bool hasLocalName(const QStringRef& qualified, QLatin1String local)
{
    return qualified == local
        || (qualified.endsWith(local) && qualified.at(qualified.size() - local.size() - 1) == QLatin1Char(':'));
}

} // namespace

bool PictureDecoder::isSvg(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    return buffer.open(QIODevice::ReadOnly) && QImageReader::imageFormat(&buffer).startsWith("svg");
}

// Qt's SVG reader takes the text after the last "base64," of a link that
// starts with "data" as the picture, and any other link as a file name. The
// check reads no further than an XML error: neither does that reader.
bool PictureDecoder::isSelfContainedSvg(const QByteArray& bytes, qint64& pixels, int level)
{
    if (level > kMaxNesting)
        return false;
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.tokenType() != QXmlStreamReader::StartElement
            || !hasLocalName(xml.qualifiedName(), QLatin1String("image")))
            continue;
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (!hasLocalName(attribute.qualifiedName(), QLatin1String("href")))
                continue;
            const QString link = attribute.value().trimmed().toString();
            if (!link.startsWith(QLatin1String("data")))
                return false;
            const int base64 = link.lastIndexOf(QLatin1String("base64,"));
            if (base64 < 0)
                continue;
            const QByteArray inner = QByteArray::fromBase64(link.mid(base64 + 7).toLatin1());
            if (isSvg(inner) && !isSelfContainedSvg(inner, pixels, level + 1))
                return false;
            pixels += pixelsOf(inner);
            if (pixels > kMaxPixels)
                return false;
        }
    }
    return !xml.hasError() || xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
}

QImage PictureDecoder::decode(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer);
    // Only what the bytes are counts, never a name.
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    qint64 pixels = 0;
    if (format.startsWith("svg") && (format != "svg" || !isSelfContainedSvg(bytes, pixels)))
        return QImage();
    const QSize size = reader.size();
    if (size.isValid())
        pixels += qint64(size.width()) * size.height();
    if (pixels > kMaxPixels)
        return QImage();
    return reader.read();
}

qint64 PictureDecoder::pixelsOf(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return 0;
    const QSize size = QImageReader(&buffer).size();
    return size.isValid() ? qint64(size.width()) * size.height() : 0;
}

QImage PictureDecoder::fromBase64(const std::wstring& text)
{
    return fromBase64(QString::fromStdWString(text).toLatin1());
}

QImage PictureDecoder::fromBase64(const QByteArray& base64)
{
    const QByteArray key = QCryptographicHash::hash(base64, QCryptographicHash::Sha1);
    {
        QMutexLocker lock(&kept().mutex);
        if (const QImage* picture = kept().pictures.object(key))
            return *picture;
    }
    const QImage picture = decode(QByteArray::fromBase64(base64));
    const int cost = int(std::min<qint64>(picture.sizeInBytes() / 1024 + 1, kCacheBytes / 1024 + 1));
    QMutexLocker lock(&kept().mutex);
    kept().pictures.insert(key, new QImage(picture), cost);
    return picture;
}

QByteArray PictureDecoder::readFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > kMaxFileBytes || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(kMaxFileBytes);
}
