// The cut and nesting entries of the main window.

#include "CMainFrame.h"

#include "CSVGView.h"

void CMainFrame::filePlot()
{
    onCurrentView(&CSVGView::plot);
}

void CMainFrame::AutoPlace()
{
    if (m_currentView)
        m_currentView->autoPlace();
    updateActionStates();
}
