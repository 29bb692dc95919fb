// Copy and paste through the application's clipboard: the copy tool's
// outline under the mouse and the paste where it is placed.

#include "CSVGView.h"

#include "CMainFrame.h"
#include "CSVGScene.h"
#include "Prompt.h"
#include "SVGApplication.h"
#include "SvgCodes.h"

#include <QGraphicsPathItem>
#include <QPen>

namespace {
SVGClipboard* applicationClipboard()
{
    SVGApplication* application = SVGApplication::instance();
    return application ? application->clipboard() : nullptr;
}
} // namespace

void CSVGView::OnCopy()
{
    SVGClipboard* clipboard = applicationClipboard();
    if (!clipboard)
        return;
    if (m_document.getSelection().isEmpty()) {
        Prompt::warning(this, tr("Warning"), tr("No selected pieces!"));
        return;
    }
    clipboard->copyFrom(&m_document);
    m_scene->addItem(clipboard->preview);
    m_document.setEditMode(EditMode::Copy);
    if (m_mainFrame)
        m_mainFrame->updateActionStates();
}

void CSVGView::OnPaste()
{
    pasteClipboardAt(m_copyPoint);
}

void CSVGView::copyToolPress(const QPointF& point)
{
    SVGClipboard* clipboard = applicationClipboard();
    if (!clipboard || clipboard->isEmpty())
        return;
    m_document.setEditMode(EditMode::ViewPress);
    m_copyPoint = point;
    pasteClipboardAt(point);
}

void CSVGView::pasteClipboardAt(const QPointF& point)
{
    SVGClipboard* clipboard = applicationClipboard();
    if (!clipboard)
        return;
    clipboard->pasteInto(&m_document, point);
    if (m_document.isContentChanged())
        repaint();
    m_document.setEditMode(EditMode::Select);
    if (m_mainFrame)
        m_mainFrame->updateActionStates();
}

// Half a screen millimetre wide at any zoom.
bool CSVGView::copyToolMove(const QPointF& point)
{
    SVGClipboard* clipboard = applicationClipboard();
    if (!clipboard || clipboard->isEmpty())
        return false;
    const double scale = displayScale();
    QPen pen = clipboard->preview->pen();
    pen.setWidthF(std::abs(scale) > 1e-5 ? 0.5 / scale : 0.0);
    clipboard->preview->setPen(pen);
    clipboard->movePreviewTo(point);
    return true;
}
