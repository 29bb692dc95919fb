// Copy and paste between the window's documents.

#include "CMainFrame.h"

#include "CSVGView.h"
#include "SvgCodes.h"

void CMainFrame::copy()
{
    onCurrentView(&CSVGView::OnCopy);
}

void CMainFrame::paste()
{
    onCurrentView(&CSVGView::OnPaste);
}

// A tab that shows the clipboard's outline places it like the tab it was
// copied in.
void CMainFrame::startPasteTool(CSVGView* view)
{
    view->setDrawMode(EditMode::Copy);
}
