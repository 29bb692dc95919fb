// Opening again, saving, the picture and DXF exports and printing.

#include "CSVGView.h"

#include "CMainFrame.h"
#include "CSVGElementShape.h"
#include "Prompt.h"

#include <QDebug>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {
const double kMillimetresPerInch = 25.4;

// A name without suffix gets the export's own, so that the format is known.
QString withSuffix(const QString& name, const QString& suffix)
{
    return QFileInfo(name).suffix().isEmpty() ? name + QLatin1Char('.') + suffix : name;
}

// The safe writer would replace a read-only file; a file marked read-only is
// kept here, whoever runs the program.
bool isReadOnlyFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && (!info.isWritable() || !(info.permissions() & QFile::WriteOwner));
}
} // namespace

bool CSVGView::reloadFile()
{
    if (m_filePath.isEmpty() || (m_mainFrame && !m_mainFrame->confirmReloadView(this)))
        return false;
    bool reloaded = false;
    const QFileInfo info(m_filePath);
    // A file that no longer holds a drawing leaves the document as it is.
    CSVGDocument probe;
    const bool drawing = info.isFile() && info.isReadable() && probe.openFile(m_filePath.toStdWString());
    if (drawing) {
        reloaded = openFile(m_filePath.toStdWString());
        if (reloaded)
            setSaved();
    } else if (SvgInputCheck::refuses(probe.readCheck())) {
        Prompt::warning(this, tr("Warning"), SvgInputCheck::message(info.fileName(), probe.readCheck()));
    } else {
        Prompt::warning(this, tr("Warning"), tr("The file %1 cannot be read.").arg(m_filePath));
    }
    if (m_mainFrame)
        m_mainFrame->updateTabTitle(this);
    repaint();
    return reloaded;
}

// The document's writer goes through the safe writer: a failed write keeps
// the old file, and the document stays unsaved.
bool CSVGView::saveFile()
{
    if (m_filePath.isEmpty()) {
        QString name;
        return saveFileAs(name);
    }
    if (!writeChecked(m_filePath, [this] { return m_document.saveFile(m_filePath); }))
        return false;
    qDebug() << m_filePath;
    setSaved();
    return true;
}

// A failed save under the new name keeps the old one too: the tab should
// not name a file that was never written.
bool CSVGView::saveFileAs(QString& fileName)
{
    const QString start = m_filePath.isEmpty() ? m_document.getFilePath() : m_filePath;
    const QString chosen = Prompt::getSaveFileName(this, tr("save as"), start, QStringLiteral("svg(*.svg)"));
    if (chosen.isEmpty())
        return false;
    const QString old = m_filePath;
    m_filePath = withSuffix(chosen, QStringLiteral("svg"));
    if (!saveFile()) {
        m_filePath = old;
        return false;
    }
    fileName = QFileInfo(m_filePath).fileName();
    return true;
}

bool CSVGView::saveAsDxf()
{
    const QString path = askExportName(QStringLiteral("dxf(*.dxf)"), QStringLiteral("dxf"));
    if (path.isEmpty())
        return false;
    return writeChecked(path, [this, &path] { return m_document.saveDxf(path); });
}

QString CSVGView::askExportName(const QString& filter, const QString& suffix)
{
    const QString chosen = Prompt::getSaveFileName(this, tr("save as"), tr("new file"), filter);
    return chosen.isEmpty() ? chosen : withSuffix(chosen, suffix);
}

bool CSVGView::writeChecked(const QString& path, const std::function<bool()>& write)
{
    const bool saved = !isReadOnlyFile(path) && write();
    if (!saved)
        Prompt::warning(this, tr("Warning"), tr("The file %1 could not be saved.").arg(path));
    return saved;
}

// The picture is drawn only once a name is chosen: a cancelled question
// writes nothing.
bool CSVGView::saveAsJpg()
{
    const QString path = askExportName(QStringLiteral("jpg(*.jpg)"), QStringLiteral("jpg"));
    if (path.isEmpty())
        return false;
    return writeChecked(path, [this, &path] {
        return CSVGDocument::renderImageForSave(m_document.toSvgText(), L"jpg").save(path, "JPG", 100);
    });
}

bool CSVGView::saveAsPng()
{
    const QString path = askExportName(QStringLiteral("png(*.png)"), QStringLiteral("png"));
    if (path.isEmpty())
        return false;
    return writeChecked(path, [this, &path] { return writePng(path); });
}

bool CSVGView::print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return false;
    return printOn(&printer);
}

// The page's pieces, turned a quarter left so that the long page runs down
// the paper, start at the paper's corner at real size. The turn is the
// painter's: the document's own rotation refuses drawings with tear lines,
// which print all the same.
bool CSVGView::printOn(QPrinter* printer)
{
    CSVGDocument page;
    const std::wstring text = m_document.pageToSvgText(-1, 0.0, -1, -1, false);
    // Pieces that overlap or leave the page have been warned about; nothing
    // is printed then. An empty drawing prints an empty page.
    if (text.empty() && !m_document.getContentBoundingRect().isNull())
        return false;
    if (!text.empty())
        page.parseSvgText(text, false, false);
    QTransform turn;
    turn.rotate(-90);
    const QRectF turned = turn.mapRect(page.getContentBoundingRect());
    const double scale = printer->resolution() / kMillimetresPerInch;
    CSVGMatrix matrix;
    matrix.scale(scale, scale);
    matrix.translate(-turned.left(), -turned.top());
    matrix.rotate(-90);
    QPainter painter;
    if (!painter.begin(printer)) {
        Prompt::warning(this, tr("Warning"), tr("Printing failed."));
        return false;
    }
    page.paintElements(&painter, matrix);
    return painter.end();
}
