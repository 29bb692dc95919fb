// The window's own commands.

#include "CMainFrame.h"

#include "CDlgAbout.h"
#include "CSVGView.h"
#include "DlgCanvas.h"
#include "Prompt.h"

void CMainFrame::canvasSettings()
{
    DlgCanvas dialog(this);
    if (Prompt::exec(&dialog) == 1) {
        const QSize size = dialog.getCanvasSize();
        m_canvasRect = CSVGRect(m_canvasRect.x, m_canvasRect.y, size.width(), size.height());
    }
    if (m_currentView)
        m_currentView->setPageRect(m_canvasRect.toQRectF());
}

void CMainFrame::OnAbout()
{
    CDlgAbout dialog;
    Prompt::exec(&dialog);
}

void CMainFrame::OnShowRule()
{
    m_showRuler = !m_showRuler;
    if (m_currentView)
        m_currentView->toggleRuler();
}

void CMainFrame::OnShowGrid()
{
    m_showGrid = !m_showGrid;
    if (m_currentView)
        m_currentView->toggleGrid();
}
