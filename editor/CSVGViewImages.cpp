// Pictures: inserting, replacing, printing the selected ones, and tracing
// a photo into outlines.

#include "CSVGView.h"

#include "CActionAdd.h"
#include "CActionComposite.h"
#include "CSVGElementImage.h"
#include "CSVGElementPath.h"
#include "DouglasPeuckerSimplify.h"
#include "ImagePerspectiveDialog.h"
#include "PictureDecoder.h"
#include "Prompt.h"
#include "SvgCodes.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QUuid>
#include <QtConcurrent>

namespace {

// A picture file as the drawing takes it: its Base64 text and its pixels.
struct PreparedPicture
{
    QByteArray base64;
    QImage picture;
};

// Off the window's thread: a large picture takes seconds to decode. The
// decoder keeps the picture of the text, which every later read of the
// drawing's text then finds.
PreparedPicture preparePicture(const QString& path)
{
    PreparedPicture prepared;
    prepared.base64 = PictureDecoder::readFile(path).toBase64();
    if (!prepared.base64.isEmpty())
        prepared.picture = PictureDecoder::fromBase64(prepared.base64);
    return prepared;
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
    if (!path.isEmpty())
        insertImageFile(path);
}

// The window keeps answering while the picture is prepared; the view that
// asked for it takes it when it is ready, and a view that is gone by then
// takes nothing.
void CSVGView::insertImageFile(const QString& path)
{
    auto* watcher = new QFutureWatcher<PreparedPicture>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        const PreparedPicture prepared = watcher->result();
        if (prepared.picture.isNull()
            || !m_document.insertImage(QString::fromLatin1(prepared.base64).toStdWString(), prepared.picture)) {
            warnNotPicture(this, path);
            return;
        }
        afterCommand(true);
        repaint();
    });
    watcher->setFuture(QtConcurrent::run(preparePicture, path));
}

void CSVGView::OnReplaceImage()
{
    CSVGElement* image = m_document.getSelectedElement(false);
    if (!image || image->getType() != SvgType::Image)
        return;
    const QString path = askPictureFile();
    if (path.isEmpty())
        return;
    const QByteArray bytes = PictureDecoder::readFile(path);
    const QImage picture = PictureDecoder::decode(bytes);
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
    const QImage picture = PictureDecoder::decode(PictureDecoder::readFile(path));
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
