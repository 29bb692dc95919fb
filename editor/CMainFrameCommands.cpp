// The window's own commands.

#include "CMainFrame.h"

#include "CDlgAbout.h"
#include "CSVGView.h"
#include "DlgCanvas.h"
#include "Prompt.h"

// The dialog starts from the page in use, so that OK alone changes nothing.
void CMainFrame::canvasSettings()
{
    DlgCanvas dialog(this);
    dialog.setCanvasSize(m_canvasRect.toQRectF().size());
    if (Prompt::exec(&dialog) != 1)
        return;
    const QSize size = dialog.getCanvasSize();
    if (QSizeF(size) != m_canvasRect.toQRectF().size())
        setCanvasRect(CSVGRect(m_canvasRect.x, m_canvasRect.y, size.width(), size.height()));
}

// One page for all tabs: a tab left with another would draw one page and
// cut to another once the user comes back to it.
void CMainFrame::setCanvasRect(const CSVGRect& rect)
{
    m_canvasRect = rect;
    for (CSVGView* view : views(0))
        view->setPageRect(rect.toQRectF());
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
