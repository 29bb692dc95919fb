// The document on its way to the online design store and to pictures.

#include "CSVGView.h"

#include "CMainFrame.h"
#include "Prompt.h"
#include "SaveFile.h"

#include <QPointer>
#include <QRegularExpression>

namespace {
const int kPreviewSize = 300;

// The preview shows the drawing's own box, not the part of it that the
// view box frames.
QString withoutViewBox(QString text)
{
    static const QRegularExpression viewBox(QStringLiteral("viewBox=\"(.*?)\""));
    const QRegularExpressionMatch match = viewBox.match(text);
    if (match.hasMatch())
        text.remove(match.capturedStart(), match.capturedLength());
    return text;
}
} // namespace

void CSVGView::saveToStore()
{
    const QString text = QString::fromStdWString(m_document.toSvgText());
    if (text.isEmpty())
        return;
    SaveFile dialog(this);
    dialog.setDesign(text, previewImage());
    dialog.setName(m_storeName);
    QPointer<CSVGView> self(this);
    dialog.setOnStored([self, text](const QString& name, const QString& address) {
        if (self)
            self->storedAs(name, address, text);
    });
    Prompt::exec(&dialog);
}

// The drawing bears the name it is stored under, and what the store holds
// is saved: the drawing is, unless it changed while the upload went. The
// tab is that design from now on, no longer the file it came from: reading
// the file again would show other content under the design's name.
void CSVGView::storedAs(const QString& name, const QString& address, const QString& text)
{
    setStoreOrigin(name, address);
    m_filePath.clear();
    if (m_mainFrame)
        m_mainFrame->nameDrawing(this, name, name);
    else
        setDisplayName(name);
    if (QString::fromStdWString(m_document.toSvgText()) == text) {
        setSaved();
    } else {
        // No step of the history is the stored design: none may pass for
        // it, least of all the file's.
        m_document.markUnsaved();
        if (m_mainFrame)
            m_mainFrame->updateTabTitle(this);
    }
}

QImage CSVGView::previewImage()
{
    const QString text = withoutViewBox(QString::fromStdWString(m_document.toSvgText()));
    QImage image;
    int count = 0;
    QRectF noPage;
    CSVGDocument::renderSvgToImage(image, count, text.toStdWString(), kPreviewSize, kPreviewSize, noPage, 0);
    return image;
}

bool CSVGView::writePng(const QString& path)
{
    return CSVGDocument::renderImageForSave(m_document.toSvgText(), L"png").save(path);
}
