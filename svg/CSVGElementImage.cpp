#include "CSVGElementImage.h"

#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

CSVGElementImage::CSVGElementImage(CSVGDocument* document)
    : CSVGElementShape(document, L"image", SvgType::Image)
{
}

bool CSVGElementImage::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (isLinkAttribute(name)) {
        m_href = getLink();
        return true;
    }
    return readLengthField(
        name, value, { { L"x", &m_x }, { L"y", &m_y }, { L"width", &m_width }, { L"height", &m_height } });
}

std::set<std::wstring> CSVGElementImage::getAttributeNames() const
{
    std::set<std::wstring> names = CSVGElementShape::getAttributeNames();
    names.insert({ L"height", L"width", L"y", L"x" });
    return names;
}

bool CSVGElementImage::hitTest(double x, double y, std::wstring&, std::wstring& id)
{
    return hitTestBox(x, y, id);
}

bool CSVGElementImage::isDataUrl() const
{
    return m_href.find(L"data:image") != std::wstring::npos || m_href.find(L"data:metafile") != std::wstring::npos;
}

std::wstring CSVGElementImage::getBase64Data() const
{
    const std::wstring marker = L"base64,";
    const size_t found = m_href.find(marker);
    if (!isDataUrl() || found == std::wstring::npos)
        return std::wstring();
    return m_href.substr(found + marker.size());
}

QImage CSVGElementImage::getImage()
{
    updateGeometry();
    return m_image;
}

QImage CSVGElementImage::imageFromBase64(const std::wstring& text)
{
    QByteArray bytes = QByteArray::fromBase64(QString::fromStdWString(text).toLatin1());
    QBuffer buffer(&bytes);
    return buffer.open(QIODevice::ReadOnly) ? readImage(&buffer) : QImage();
}

QImage CSVGElementImage::readImage(QIODevice* device)
{
    QImageReader reader(device);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        return QImage();
    return reader.read();
}

QString CSVGElementImage::findFile() const
{
    const QString name = QString::fromStdWString(m_href);
    if (name.isEmpty())
        return QString();
    if (QFileInfo(name).isFile())
        return name;
    const QString beside = QString::fromStdWString(getDocument() ? getDocument()->getBaseDir() : std::wstring()) + name;
    return QFileInfo(beside).isFile() ? beside : QString();
}

void CSVGElementImage::updateGeometry()
{
    if (!isGeometryDirty())
        return;
    m_path = QPainterPath();
    if (isDataUrl()) {
        m_image = imageFromBase64(getBase64Data());
    } else if (const QString path = findFile(); !path.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_image = readImage(&file);
    }
    CSVGElementShape::updateGeometry();
}

void CSVGElementImage::computeBounds()
{
    m_box = CSVGRect(m_x, m_y, m_width, m_height);
}

// Into the box, where the element is hit and measured; through the
// painter's transform, so that a frame of any size costs no more memory than
// the picture itself.
void CSVGElementImage::drawPicture(QPainter* painter, const QTransform& transform)
{
    updateGeometry();
    if (m_image.isNull() || !(m_box.width > 0) || !(m_box.height > 0))
        return;
    painter->save();
    painter->setTransform(transform, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(m_box.toQRectF(), m_image);
    painter->restore();
}
