#include "SVGClipboard.h"

#include "CSVGDocument.h"
#include "CSVGElement.h"
#include "CSVGElementImage.h"
#include "CSVGElementShape.h"
#include "PictureDecoder.h"

#include <QBuffer>
#include <QClipboard>
#include <QDebug>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPen>

namespace {
// The bytes of a picture go through the decoder, like every picture: Qt's
// own conversion would hand SVG bytes to Qt's SVG reader, which follows the
// pictures they show, the picture itself too, without end. Pixels put there
// as such (a copy in this program) are taken as they are.
QImage pictureOf(const QMimeData* data)
{
    bool bytes = false;
    for (const QString& format : data ? data->formats() : QStringList()) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        bytes = true;
        const QImage picture = PictureDecoder::decode(data->data(format));
        if (!picture.isNull())
            return picture;
    }
    return bytes || !data ? QImage() : qvariant_cast<QImage>(data->imageData());
}

// A picture beyond what an image element draws is not embedded.
QImage systemImage()
{
    const QClipboard* system = QGuiApplication::clipboard();
    const QImage image = system ? pictureOf(system->mimeData()) : QImage();
    if (qint64(image.width()) * image.height() <= CSVGElementImage::kMaxPixels)
        return image;
    qWarning() << "Clipboard picture of" << image.size() << "not pasted: too large";
    return QImage();
}
} // namespace

SVGClipboard::~SVGClipboard()
{
    delete preview;
}

// The outlines are gathered as subpaths, not merged: a boolean union of ten
// thousand pieces would take minutes and only hide inner lines of a preview.
void SVGClipboard::copyFrom(CSVGDocument* document)
{
    delete preview;
    preview = nullptr;
    if (!document)
        return;
    QPainterPath outline;
    for (CSVGElement* element : document->getSelection()) {
        if (CSVGElementShape* shape = CSVGElementShape::asShape(element))
            outline.addPath(shape->getTransformedPath());
    }
    preview = new QGraphicsPathItem(outline);
    QPen pen = preview->pen();
    pen.setWidth(0);
    preview->setPen(pen);
    const std::wstring copied = document->selectionToSvgText();
    if (!copied.empty())
        text = QString::fromStdWString(copied);
}

void SVGClipboard::movePreviewTo(const QPointF& point)
{
    if (!preview)
        return;
    QPainterPath path = preview->path();
    path.translate(point - path.boundingRect().center());
    preview->setPath(path);
}

void SVGClipboard::pasteInto(CSVGDocument* document, const QPointF& point)
{
    if (!document)
        return;
    if (!text.isEmpty()) {
        document->pasteSvgTextAt(text.toStdWString(), point);
    } else if (const QImage image = systemImage(); !image.isNull()) {
        document->pasteSvgText(imageElementText(image, point).toStdWString());
    }
    dropPreview();
}

void SVGClipboard::dropPreview()
{
    delete preview;
    preview = nullptr;
}

void SVGClipboard::releaseFrom(QGraphicsScene* scene)
{
    if (preview && scene && preview->scene() == scene)
        scene->removeItem(preview);
}

QString SVGClipboard::imageElementText(const QImage& image, const QPointF& point)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral(
        "<image x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" xlink:href=\"data:image/png;base64,%5\"/>")
        .arg(QString::number(point.x(), 'g', 6), QString::number(point.y(), 'g', 6), QString::number(image.width()),
            QString::number(image.height()), QString::fromLatin1(png.toBase64()));
}
