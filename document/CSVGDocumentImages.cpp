// Image elements: inserting a picture, and writing pictures clipped to the
// cut outlines drawn over them.

#include "CActionAdd.h"
#include "CGlobalConfig.h"
#include "CSVGDocument.h"
#include "CSVGElementImage.h"
#include "SvgCodes.h"

#include <QDir>
#include <QPainter>
#include <QTransform>

namespace {

// A picture without a usable resolution is taken at 96 dpi.
int pixelsPerMillimetre(int dotsPerMetre)
{
    const int pixels = dotsPerMetre / 1000;
    return pixels >= 1 ? pixels : 3780 / 1000;
}

// The file name must not leave the folder, whatever the id holds.
QString imageFileName(const std::wstring& id)
{
    QString name = QString::fromStdWString(id);
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return (name.isEmpty() ? QStringLiteral("image") : name) + QStringLiteral(".png");
}

} // namespace

bool CSVGDocument::insertImage(const std::wstring& base64)
{
    return insertImage(base64, CSVGElementImage::imageFromBase64(base64));
}

// The element takes the picture as it is: a large one is decoded once.
bool CSVGDocument::insertImage(const std::wstring& base64, const QImage& picture)
{
    CSVGElement* root = getOwnerSvg();
    if (!root || picture.isNull())
        return false;
    CSVGElement* image = createElement(L"image");
    root->appendChild(image, true, true);
    image->setAttribute(L"x", L"0", true);
    image->setAttribute(L"y", L"0", true);
    m_history.push(new CActionAdd(this, root, image));
    const int width = picture.width() / pixelsPerMillimetre(picture.dotsPerMeterX());
    const int height = picture.height() / pixelsPerMillimetre(picture.dotsPerMeterY());
    image->setAttribute(L"width", g_config.intToText(width), true);
    image->setAttribute(L"height", g_config.intToText(height), true);
    image->setAttribute(L"xlink:href", L"data:image/png;base64," + base64, true);
    static_cast<CSVGElementImage*>(image)->adoptPicture(picture);
    static_cast<CSVGElementImage*>(image)->updateGeometry();
    clearSelection();
    selectElement(image, Qt::green);
    m_overlayChanged = true;
    m_contentChanged = true;
    return true;
}

void CSVGDocument::printSelectedImages(const QString& folder)
{
    const QVector<CSVGElement*> selection = m_selection;
    for (CSVGElement* element : selection) {
        if (element && element->getType() == SvgType::Image)
            printImage(element, folder);
    }
}

// The picture fills the element's frame, which its matrix puts on the
// canvas: the outlines are taken back through that matrix into the frame and
// on into the picture's pixels, so a moved, scaled or turned picture is
// clipped where the outlines lie over it.
bool CSVGDocument::printImage(CSVGElement* element, const QString& folder)
{
    CSVGElement* root = getOwnerSvg();
    if (!root || !element || element->getType() != SvgType::Image)
        return false;
    auto* image = static_cast<CSVGElementImage*>(element);
    const QImage picture = CSVGElementImage::imageFromBase64(image->getBase64Data());
    const QRectF frame = image->getBoundingRect().toQRectF();
    bool invertible = false;
    const QTransform fromCanvas = image->getMatrix().toQTransform().inverted(&invertible);
    if (picture.isNull() || !invertible || !(frame.width() > 0) || !(frame.height() > 0))
        return false;
    const QTransform toPixels = fromCanvas * QTransform::fromTranslate(-frame.left(), -frame.top())
        * QTransform::fromScale(picture.width() / frame.width(), picture.height() / frame.height());

    const QRectF area = image->getTransformedBoundingRect().toQRectF();
    QPainterPath clip;
    for (int i = 0; i < root->getChildCount(); ++i) {
        CSVGElementShape* shape = CSVGElementShape::asShape(root->getChild(i));
        if (shape && shape != image && area.contains(shape->getTransformedBoundingRect().toQRectF()))
            clip.addPath(toPixels.map(shape->getTransformedPath()));
    }
    QImage clipped(picture.size(), QImage::Format_ARGB32);
    clipped.fill(Qt::transparent);
    QPainter painter(&clipped);
    painter.setClipPath(clip, Qt::ReplaceClip);
    painter.drawImage(0, 0, picture);
    painter.end();
    return clipped.save(QDir(folder).absoluteFilePath(imageFileName(image->getId())), "PNG");
}
