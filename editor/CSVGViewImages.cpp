// Pictures: inserting, replacing, printing the selected ones, and tracing
// a photo into outlines.

#include "CSVGView.h"

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CSVGElementImage.h"
#include "CSVGElementPath.h"
#include "DouglasPeuckerSimplify.h"
#include "ImagePerspectiveDialog.h"
#include "Prompt.h"
#include "SvgCodes.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QUuid>

namespace {
// Larger files are refused before they are read whole and encoded.
const qint64 kMaxImageFileBytes = 200LL * 1024 * 1024;

// A picture is checked by its header before its bytes are read whole.
QByteArray readPicture(const QString& path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    QFile file(path);
    if (!reader.canRead() || !size.isValid() || qint64(size.width()) * size.height() > CSVGElementImage::kMaxPixels
        || file.size() > kMaxImageFileBytes || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// One text for every refused picture, whatever refused it.
void warnNotPicture(QWidget* parent, const QString& path)
{
    Prompt::warning(
        parent, CSVGView::tr("Warning"), CSVGView::tr("The file %1 is not a picture that can be used.").arg(path));
}

} // namespace

QString CSVGView::askPictureFile()
{
    return Prompt::getOpenFileName(
        this, tr("Open File..."), QString(), QStringLiteral("image (*.png *.jpg *.bmp);;All(*.*)"));
}

void CSVGView::OnDrawImage()
{
    const QString path = askPictureFile();
    if (!path.isEmpty() && insertImageFile(path))
        afterCommand(true);
}

bool CSVGView::insertImageFile(const QString& path)
{
    const QByteArray bytes = readPicture(path);
    if (bytes.isEmpty() || !m_document.insertImage(QString::fromLatin1(bytes.toBase64()).toStdWString())) {
        warnNotPicture(this, path);
        return false;
    }
    repaint();
    return true;
}

void CSVGView::OnReplaceImage()
{
    CSVGElement* image = m_document.getSelectedElement(false);
    if (!image || image->getType() != SvgType::Image)
        return;
    const QString path = askPictureFile();
    if (path.isEmpty())
        return;
    const QByteArray bytes = readPicture(path);
    const QImage picture = QImage::fromData(bytes);
    if (picture.isNull()) {
        warnNotPicture(this, path);
        return;
    }
    const QString href = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
    m_document.clearSelection();
    m_document.selectElement(image, Qt::green);
    setSelectionAttributes(
        { QString::fromStdWString(image->getLinkName()), QStringLiteral("width"), QStringLiteral("height") },
        { href, QString::number(picture.width()), QString::number(picture.height()) }, false);
    m_document.clearSelection();
    m_document.selectElement(image, Qt::green);
    repaint();
}

void CSVGView::OnPrintImage()
{
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return;
    const QString folder = dialog.selectedFiles().value(0);
    if (!folder.isEmpty())
        m_document.printSelectedImages(folder);
}

void CSVGView::imageContour()
{
    traceFile(false);
}

void CSVGView::traceImage()
{
    traceFile(true);
}

// The dialog reads a copy in the temporary folder, which goes afterwards.
// Each traced outline becomes a path under the root with its holes as
// further sub-paths; the whole trace is one undo step.
void CSVGView::traceFile(bool perspective)
{
    const QString path = Prompt::getOpenFileName(this, tr("Open File..."), QString(), tr("Image") + "(*.png *.jpg)");
    if (path.isEmpty())
        return;
    const QImage picture = QImage::fromData(readPicture(path));
    const QString copy = QDir::tempPath() + "/IMG_" + QUuid::createUuid().toString() + ".jpg";
    if (picture.isNull() || !picture.save(copy, "JPG")) {
        warnNotPicture(this, path);
        return;
    }
    ImagePerspectiveDialog dialog(perspective, this);
    const bool accepted = dialog.setImage(copy) && Prompt::exec(&dialog) == QDialog::Accepted;
    QFile::remove(copy);
    CSVGElement* root = m_document.getOwnerSvg();
    if (!accepted || !root)
        return;
    const QList<HelmSystem::Polygon> polygons = dialog.getPolygons();
    if (polygons.isEmpty())
        return;
    // An outline and its holes are one piece: one path, a sub-path each.
    auto* step = new CActionComposite(&m_document);
    for (const HelmSystem::Polygon& polygon : polygons) {
        QVector<QPolygonF> rings { polygon.outer };
        for (const QPolygonF& inner : polygon.inners)
            rings.append(perspective ? DouglasPeuckerSimplify().simplify(inner) : inner);
        CSVGElementPath* piece = m_document.createPathElement(rings);
        root->appendChild(piece, true, true);
        step->addAction(new CActionAdd(&m_document, root, piece));
    }
    m_document.getHistory().push(step);
    m_document.setContentChanged(true);
    repaint();
}
