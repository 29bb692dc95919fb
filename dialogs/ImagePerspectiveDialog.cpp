#include "ImagePerspectiveDialog.h"

#include "CGlobalConfig.h"
#include "ImageTrace.h"
#include "ImageWidget.h"
#include "OpenCVTrace.h"
#include "PictureDecoder.h"
#include "Prompt.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFile>
#include <QHttpMultiPart>
#include <QImageReader>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kRequestTimeout = 30000;
}

ImagePerspectiveDialog::ImagePerspectiveDialog(bool perspective, QWidget* parent)
    : TranslatedDialog(parent)
    , m_perspective(perspective)
    , m_view(new ImageWidget(this))
    , m_removeButton(new QPushButton(this))
    , m_note(new QLabel(this))
    , m_network(new QNetworkAccessManager(this))
{
    m_view->setCornersVisible(perspective);
    m_note->setWordWrap(true);
    m_note->setVisible(perspective);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_removeButton, QDialogButtonBox::ActionRole);
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    m_okButton->setEnabled(false);
    m_removeButton->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_note);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImagePerspectiveDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImagePerspectiveDialog::reject);
    connect(m_removeButton, &QPushButton::clicked, this, &ImagePerspectiveDialog::removeBackground);
    retranslateUi();
}

void ImagePerspectiveDialog::retranslateUi()
{
    setWindowTitle(tr("Trace Image"));
    m_removeButton->setText(tr("Remove Background"));
    m_note->setText(tr("Drag the four corners onto the corners of a rectangle in the picture."));
}

bool ImagePerspectiveDialog::setImage(const QString& path)
{
    QFile file(path);
    QString message;
    const QImage image = file.open(QIODevice::ReadOnly) ? readImage(&file, message) : QImage();
    if (image.isNull()) {
        Prompt::warning(this, tr("Warning"), message.isEmpty() ? tr("The picture cannot be opened.") : message);
        return false;
    }
    showImage(image);
    return true;
}

void ImagePerspectiveDialog::showImage(const QImage& image)
{
    // Background removal keeps the picture's size, so the corners stay.
    const QPolygonF corners = m_view->corners();
    const bool sameSize = image.size() == m_view->image().size();
    m_view->setImage(image);
    if (sameSize)
        m_view->setCorners(corners);
    m_okButton->setEnabled(true);
    m_removeButton->setEnabled(true);
}

// The picture, from a file or from the background removal's reply, is
// decoded like every other picture: an SVG picture that shows files could
// show itself, and Qt's reader would follow it without end. Its size is
// asked of Qt's reader only for a picture that is no SVG, before the
// pixels are decoded.
QImage ImagePerspectiveDialog::readImage(QIODevice* device, QString& message)
{
    QByteArray bytes = device->read(PictureDecoder::kMaxFileBytes + 1);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const bool svg = reader.format().startsWith("svg");
    const QSize size = svg ? QSize() : reader.size();
    const auto tooLarge = [](const QSize& size) { return qint64(size.width()) * size.height() > kMaximumPixels; };
    QImage image;
    if (!(size.isValid() && tooLarge(size)) && bytes.size() <= PictureDecoder::kMaxFileBytes)
        image = PictureDecoder::decode(bytes);
    if ((size.isValid() && tooLarge(size)) || tooLarge(image.size())) {
        message
            = tr("The picture is too large: at most %1 million pixels can be traced.").arg(kMaximumPixels / 1000000);
        return QImage();
    }
    // Qt's reader tells what is wrong with a picture that is no SVG.
    if (image.isNull() && !svg)
        reader.read();
    if (image.isNull()) {
        // clang-format off
        const QString reason = svg ? tr("an SVG picture is read only when it is whole, not compressed, and holds every picture it shows")
                                   : reader.errorString();
        // clang-format on
        message = tr("The picture cannot be read: %1").arg(reason);
    }
    return image;
}

void ImagePerspectiveDialog::removeBackground()
{
    QString address = g_config.getSetting(QStringLiteral("ImageServer")).toString();
    if (!address.contains(QLatin1String("://")))
        address.prepend(QLatin1String("http://"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    m_view->image().save(&buffer, "PNG");

    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart part;
    part.setHeader(
        QNetworkRequest::ContentDispositionHeader, QStringLiteral("form-data; name=\"image\"; filename=\"image.png\""));
    part.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("image/png"));
    part.setBody(png);
    form->append(part);
    QNetworkRequest request(QUrl(address + QStringLiteral("/remove-background")));
    request.setTransferTimeout(kRequestTimeout);
    QNetworkReply* reply = m_network->post(request, form);
    form->setParent(reply);
    m_removeButton->setEnabled(false);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { backgroundRemoved(reply); });
}

void ImagePerspectiveDialog::backgroundRemoved(QNetworkReply* reply)
{
    reply->deleteLater();
    m_removeButton->setEnabled(true);
    QString message = reply->errorString();
    QImage image;
    if (reply->error() == QNetworkReply::NoError)
        image = readImage(reply, message);
    if (image.isNull()) {
        Prompt::warning(this, tr("Warning"), tr("The background could not be removed: %1").arg(message));
        emit backgroundRemovalFinished(false);
        return;
    }
    showImage(image);
    emit backgroundRemovalFinished(true);
}

QList<HelmSystem::Polygon> ImagePerspectiveDialog::trace() const
{
    const QImage image
        = m_perspective ? HelmSystem::OpenCVTrace::rectify(m_view->image(), m_view->corners()) : m_view->image();
    return HelmSystem::ImageTrace::trace(image, HelmSystem::TraceSetting());
}

void ImagePerspectiveDialog::accept()
{
    m_polygons = trace();
    if (m_polygons.isEmpty()) {
        Prompt::warning(this, tr("Warning"),
            m_perspective ? tr("Nothing to trace was found; the four corners must enclose the shapes.")
                          : tr("Nothing to trace was found in the picture."));
        return;
    }
    QDialog::accept();
}
