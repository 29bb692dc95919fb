// Copy and paste through the application's clipboard: the copy tool's
// outline under the mouse and the paste where it is placed.

#include "CSVGView.h"

#include "CSVGScene.h"
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
    if (!clipboard || !hasSelection())
        return;
    clipboard->copyFrom(&m_document);
    m_scene->addItem(clipboard->preview);
    setDrawMode(EditMode::Copy);
    updateMainFrameActions();
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
    setDrawMode(EditMode::Select);
    updateMainFrameActions();
}

// Leaving the copy tool (Escape, a right click, another tool) places
// nothing: the outline that this canvas shows goes with it.
void CSVGView::leavePasteMode()
{
    SVGClipboard* clipboard = applicationClipboard();
    if (m_document.getEditMode() == EditMode::Copy && clipboard && clipboard->preview
        && clipboard->preview->scene() == m_scene)
        clipboard->dropPreview();
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
