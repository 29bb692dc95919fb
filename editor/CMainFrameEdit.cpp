// The editing commands and dialogs of the main window; each forwards to the
// current view and does nothing without one, unless said.

#include "CMainFrame.h"

#include "CGlobalConfig.h"
#include "CSVGView.h"
#include "DialogSettings.h"
#include "DlgSizeExpand.h"
#include "DlgSizeModify.h"
#include "Prompt.h"

void CMainFrame::Delete()
{
    if (m_currentView)
        m_currentView->OnDel();
}

void CMainFrame::Clear()
{
    if (m_currentView)
        m_currentView->OnClear();
}

void CMainFrame::undo()
{
    if (m_currentView)
        m_currentView->OnUndo();
}

void CMainFrame::redo()
{
    if (m_currentView)
        m_currentView->OnRedo();
}

void CMainFrame::OnGroup()
{
    if (m_currentView)
        m_currentView->group();
}

void CMainFrame::OnUnGroup()
{
    if (m_currentView)
        m_currentView->ungroup();
}

void CMainFrame::OnMergeShapes()
{
    if (m_currentView)
        m_currentView->mergeShapes();
}

void CMainFrame::OnAutoGroup()
{
    if (m_currentView)
        m_currentView->autoGroup();
}

void CMainFrame::OnLock()
{
    if (m_currentView)
        m_currentView->lockSelection();
    updateActionStates();
}

void CMainFrame::OnUnlock()
{
    if (m_currentView)
        m_currentView->unlockAll();
    updateActionStates();
}

void CMainFrame::OnRepairData()
{
    if (m_currentView)
        m_currentView->OnRepairData(-1);
}

void CMainFrame::alignleft()
{
    if (m_currentView)
        m_currentView->alignLeft();
}

void CMainFrame::aligntop()
{
    if (m_currentView)
        m_currentView->alignTop();
}

void CMainFrame::alignright()
{
    if (m_currentView)
        m_currentView->alignRight();
}

void CMainFrame::alignbottom()
{
    if (m_currentView)
        m_currentView->alignBottom();
}

void CMainFrame::alignverline()
{
    if (m_currentView)
        m_currentView->alignVerLine();
}

void CMainFrame::alignhorline()
{
    if (m_currentView)
        m_currentView->alignHorLine();
}

void CMainFrame::alignhorspace()
{
    if (m_currentView)
        m_currentView->alignHorSpace();
}

void CMainFrame::alignverspace()
{
    if (m_currentView)
        m_currentView->alignVerSpace();
}

void CMainFrame::alignsamewidth()
{
    if (m_currentView)
        m_currentView->alignSameWidth();
}

void CMainFrame::alignsameheight()
{
    if (m_currentView)
        m_currentView->alignSameHeight();
}

void CMainFrame::alignsamesize()
{
    if (m_currentView)
        m_currentView->alignSameSize();
}

void CMainFrame::OnAlignLeftTop()
{
    if (m_currentView)
        m_currentView->alignLeftTop();
}

void CMainFrame::OnAlignLeftBottom()
{
    if (m_currentView)
        m_currentView->alignLeftBottom();
}

void CMainFrame::OnPositionColor(bool on)
{
    if (m_currentView)
        m_currentView->setShowPositionColor(on);
}

void CMainFrame::OnComment(bool on)
{
    if (m_currentView)
        m_currentView->setShowComment(on);
}

void CMainFrame::OnFillUrl(std::wstring markup)
{
    if (m_currentView)
        m_currentView->setFillUrl(markup);
}

void CMainFrame::createTemplate()
{
    if (m_currentView)
        m_currentView->createTemplate();
}

void CMainFrame::createTearLine(bool create)
{
    if (m_currentView)
        m_currentView->createTearLine(create);
    updateActionStates();
}

void CMainFrame::OnImageContour()
{
    if (m_currentView)
        m_currentView->imageContour();
}

void CMainFrame::OnVectorEngine()
{
    if (m_currentView)
        m_currentView->traceImage();
}

void CMainFrame::drawimage()
{
    if (m_currentView)
        m_currentView->OnDrawImage();
}

void CMainFrame::layertop()
{
    if (m_currentView)
        m_currentView->bringToFront();
}

void CMainFrame::mirrorbottom()
{
    if (m_currentView)
        m_currentView->mirrorBottom();
}

void CMainFrame::mirrorright()
{
    if (m_currentView)
        m_currentView->mirrorRight();
}

void CMainFrame::printimage()
{
    if (m_currentView)
        m_currentView->OnPrintImage();
}

// The "Scale" action: the selection's size, changed in the dialog.
void CMainFrame::expand()
{
    if (!m_currentView || !m_currentView->hasSelection())
        return;
    const QSizeF size(g_config.parseLength(m_currentView->getSelectionWidthText().toStdWString()),
        g_config.parseLength(m_currentView->getSelectionHeightText().toStdWString()));
    DlgSizeModify dialog(size, this);
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return;
    const QSizeF result = dialog.getResultSize();
    m_currentView->OnZoomSize(static_cast<int>(result.width()), static_cast<int>(result.height()), true);
}

void CMainFrame::offset()
{
    if (!m_currentView || !m_currentView->hasSelection())
        return;
    DlgSizeExpand dialog(true, this);
    dialog.setWindowTitle(tr("Expand"));
    if (Prompt::exec(&dialog) == QDialog::Accepted)
        m_currentView->OnOffsetSelection(
            dialog.getExpandValue().distance, 0.01, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
}

void CMainFrame::preferences()
{
    DialogSettings dialog(this);
    Prompt::exec(&dialog);
}
