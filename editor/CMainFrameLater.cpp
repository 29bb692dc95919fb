// Commands whose canvas, document or online operations are not there yet.
// Each slot is declared and connected to its action, and does nothing (or
// only refreshes the action states, where it does so without a view) until
// the operation it forwards to exists. Replace the body, not the slot.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "SvgCodes.h"

// ---- Not yet forwarding: later work builds these ----------------------------

// The selection's attribute setter of the canvas.
void CMainFrame::setSelectionAttributes(const QStringList&, const QStringList&) { }

void CMainFrame::Delete() { }
void CMainFrame::Clear() { }
void CMainFrame::undo() { }
void CMainFrame::redo() { }
void CMainFrame::OnGroup() { }
void CMainFrame::OnUnGroup() { }
void CMainFrame::OnMergeShapes() { }
void CMainFrame::OnAutoGroup() { }
void CMainFrame::OnLock()
{
    updateActionStates();
}
void CMainFrame::OnUnlock()
{
    updateActionStates();
}
void CMainFrame::OnRepairData() { }
void CMainFrame::alignleft() { }
void CMainFrame::aligntop() { }
void CMainFrame::alignright() { }
void CMainFrame::alignbottom() { }
void CMainFrame::alignverline() { }
void CMainFrame::alignhorline() { }
void CMainFrame::alignhorspace() { }
void CMainFrame::alignverspace() { }
void CMainFrame::alignsamewidth() { }
void CMainFrame::alignsameheight() { }
void CMainFrame::alignsamesize() { }
void CMainFrame::OnAlignLeftTop() { }
void CMainFrame::OnAlignLeftBottom() { }
void CMainFrame::OnPositionColor(bool) { }
void CMainFrame::OnComment(bool) { }
void CMainFrame::OnFillUrl(std::wstring) { }
void CMainFrame::createTemplate() { }
void CMainFrame::createTearLine(bool)
{
    updateActionStates();
}
void CMainFrame::AutoPlace()
{
    updateActionStates();
}
void CMainFrame::OnImageContour() { }
void CMainFrame::OnVectorEngine() { }
void CMainFrame::drawimage() { }
void CMainFrame::expand() { }
void CMainFrame::ReLoadFile(QAction*) { }
void CMainFrame::filePlot() { }
void CMainFrame::filePrint() { }
void CMainFrame::fileSaveAs()
{
    updateActionStates();
}
void CMainFrame::fileSaveASDxf() { }
void CMainFrame::fileSaveASJpg() { }
void CMainFrame::fileSaveASPng() { }
void CMainFrame::layertop() { }
void CMainFrame::mirrorbottom() { }
void CMainFrame::mirrorright() { }
void CMainFrame::printimage() { }
void CMainFrame::offset() { }
void CMainFrame::preferences() { }
