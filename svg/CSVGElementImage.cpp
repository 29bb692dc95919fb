#include "CSVGElementImage.h"

#include "CSVGDocument.h"
#include "SvgCodes.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPainter>

#include <functional>

CSVGElementImage::CSVGElementImage(CSVGDocument* document)
    : CSVGElementShape(document, L"image", SvgType::Image)
{
}

bool CSVGElementImage::readAttributeField(const std::wstring& name, const std::wstring& value)
{
    if (isLinkAttribute(name)) {
        m_href = getLink();
        m_linkChanged = true;
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
    return picture();
}

void CSVGElementImage::adoptPicture(const QImage& picture)
{
    m_hasSource = m_decoded = true;
    m_sourceFile.clear();
    m_sourceKey = m_decodedKey = std::hash<std::wstring>()(m_href);
    m_linkChanged = false;
    m_image = picture;
}

QImage CSVGElementImage::imageFromBase64(const std::wstring& text)
{
    return PictureDecoder::fromBase64(text);
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
        // A long link is hashed only when it has changed.
        if (m_linkChanged || !m_hasSource || !m_sourceFile.isEmpty())
            m_sourceKey = std::hash<std::wstring>()(m_href);
        m_hasSource = true;
        m_sourceFile.clear();
    } else if (const QString path = findFile(); !path.isEmpty()) {
        // A file written anew is a new source.
        const QFileInfo file(path);
        const QString stamp = QString::number(file.size()) + QLatin1Char('|')
            + QString::number(file.lastModified().toMSecsSinceEpoch());
        m_hasSource = true;
        m_sourceFile = path;
        m_sourceKey = std::hash<std::wstring>()((path + QLatin1Char('|') + stamp).toStdWString());
    }
    m_linkChanged = false;
    CSVGElementShape::updateGeometry();
}

const QImage& CSVGElementImage::picture()
{
    if (m_hasSource && (!m_decoded || m_decodedKey != m_sourceKey)) {
        m_image = m_sourceFile.isEmpty() ? PictureDecoder::fromBase64(getBase64Data())
                                         : PictureDecoder::fromFile(m_sourceFile);
        m_decoded = true;
        m_decodedKey = m_sourceKey;
    }
    return m_image;
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
    if (!(m_box.width > 0) || !(m_box.height > 0) || picture().isNull())
        return;
    painter->save();
    painter->setTransform(transform, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(m_box.toQRectF(), m_image);
    painter->restore();
}
