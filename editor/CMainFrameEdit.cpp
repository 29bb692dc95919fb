// The editing commands and dialogs of the main window; each forwards to the
// current view and does nothing without one, unless said.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "DialogSettings.h"
#include "DlgSizeExpand.h"
#include "DlgSizeModify.h"
#include "Prompt.h"

void CMainFrame::Delete()
{
    onCurrentView(&CSVGView::OnDel);
}

void CMainFrame::Clear()
{
    onCurrentView(&CSVGView::OnClear);
}

void CMainFrame::undo()
{
    onCurrentView(&CSVGView::OnUndo);
}

void CMainFrame::redo()
{
    onCurrentView(&CSVGView::OnRedo);
}

void CMainFrame::OnGroup()
{
    onCurrentView(&CSVGView::group);
}

void CMainFrame::OnUnGroup()
{
    onCurrentView(&CSVGView::ungroup);
}

void CMainFrame::OnMergeShapes()
{
    onCurrentView(&CSVGView::mergeShapes);
}

void CMainFrame::OnAutoGroup()
{
    onCurrentView(&CSVGView::autoGroup);
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
    onCurrentView(&CSVGView::alignLeft);
}

void CMainFrame::aligntop()
{
    onCurrentView(&CSVGView::alignTop);
}

void CMainFrame::alignright()
{
    onCurrentView(&CSVGView::alignRight);
}

void CMainFrame::alignbottom()
{
    onCurrentView(&CSVGView::alignBottom);
}

void CMainFrame::alignverline()
{
    onCurrentView(&CSVGView::alignVerLine);
}

void CMainFrame::alignhorline()
{
    onCurrentView(&CSVGView::alignHorLine);
}

void CMainFrame::alignhorspace()
{
    onCurrentView(&CSVGView::alignHorSpace);
}

void CMainFrame::alignverspace()
{
    onCurrentView(&CSVGView::alignVerSpace);
}

void CMainFrame::alignsamewidth()
{
    onCurrentView(&CSVGView::alignSameWidth);
}

void CMainFrame::alignsameheight()
{
    onCurrentView(&CSVGView::alignSameHeight);
}

void CMainFrame::alignsamesize()
{
    onCurrentView(&CSVGView::alignSameSize);
}

void CMainFrame::OnAlignLeftTop()
{
    onCurrentView(&CSVGView::alignLeftTop);
}

void CMainFrame::OnAlignLeftBottom()
{
    onCurrentView(&CSVGView::alignLeftBottom);
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
    onCurrentView(&CSVGView::createTemplate);
}

void CMainFrame::createTearLine(bool create)
{
    if (m_currentView)
        m_currentView->createTearLine(create);
    updateActionStates();
}

void CMainFrame::OnImageContour()
{
    onCurrentView(&CSVGView::imageContour);
}

void CMainFrame::OnVectorEngine()
{
    onCurrentView(&CSVGView::traceImage);
}

void CMainFrame::drawimage()
{
    onCurrentView(&CSVGView::OnDrawImage);
}

void CMainFrame::layertop()
{
    onCurrentView(&CSVGView::bringToFront);
}

void CMainFrame::mirrorbottom()
{
    onCurrentView(&CSVGView::mirrorBottom);
}

void CMainFrame::mirrorright()
{
    onCurrentView(&CSVGView::mirrorRight);
}

void CMainFrame::printimage()
{
    onCurrentView(&CSVGView::OnPrintImage);
}

// The "Scale" action: the selection's box, as the size fields show it,
// changed in the dialog to the fraction of a millimetre.
void CMainFrame::expand()
{
    if (!m_currentView || !m_currentView->hasSelection())
        return;
    DlgSizeModify dialog(m_currentView->getDocument()->getSelectionRect().size(), this);
    if (Prompt::exec(&dialog) != QDialog::Accepted)
        return;
    const QSizeF result = dialog.getResultSize();
    m_currentView->OnZoomSize(result.width(), result.height(), true);
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
